// Looks at the windows of another program from outside, for the GUI tests:
// run under Wine in the same prefix (and so on the same desktop) as the
// program under test, it prints what it finds as JSON in UTF-8.
//
//   inspect find  [--caption C] [--class K] [--text T] [--wait SECONDS] [--gone]
//       Every top-level window whose caption is C, whose class is K and one of
//       whose descendants shows a text containing T (each criterion optional):
//       outer and client rectangles, and for every descendant control its
//       class, text, rectangle in client coordinates of the top-level window,
//       enabled, visible, check state, selection of edit boxes and id; the
//       control with the focus.
//       --wait polls until one matches (or, with --gone, until none does).
//       Exit code 0 when the wait was met, 1 otherwise.
//   inspect press [criteria] --id N [--wait SECONDS]
//       Posts WM_COMMAND(N, BN_CLICKED) to the first matching window, as the
//       button with that id would (IDOK 1, IDCANCEL 2).
//   inspect drop  [criteria] --list FILE
//       Asks a test build of the program to take in a drop of the paths
//       listed in FILE (UTF-8, one Windows path a line), handed over in
//       named shared memory; see ui/drop_test_hook_win32.cpp. Exit code 0
//       once the drop was handled.
//   inspect hit   [criteria] --code N
//       Where on the screen the first matching window answers WM_NCHITTEST
//       with N along its title bar (HTCLOSE 20, HTMINBUTTON 8): the middle of
//       that stretch, for a real mouse click there.
//   inspect desktop
//       The current user's desktop folder.
//
// Another process's controls answer WM_GETTEXT (sent with a timeout, so a
// busy program cannot hang the inspector); GetWindowText would not ask them.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/gui/drop_protocol_win32.h"

namespace {

constexpr UINT kSendTimeoutMs = 2000;
using drop_protocol::KernelHandle;
using drop_protocol::MappedView;

struct Criteria {
  std::optional<std::wstring> caption;
  std::optional<std::wstring> windowClass;
  std::optional<std::wstring> containedText;
};

struct Options {
  std::wstring mode;
  Criteria criteria;
  double waitSeconds = 0;
  bool gone = false;
  std::optional<int> id;
  std::wstring listFile;
};

std::string ToUtf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string JsonString(const std::wstring& wide) {
  std::string out = "\"";
  for (char c : ToUtf8(wide)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonHandle(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return text;
}

std::string JsonBool(bool value) { return value ? "true" : "false"; }

std::string JsonRect(int left, int top, int width, int height) {
  char text[96];
  std::snprintf(text, sizeof text, "[%d, %d, %d, %d]", left, top, width, height);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// The text a window answers to WM_GETTEXT; the empty text when it does not
// answer in time.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &copied))
    return {};
  text.resize(copied <= length ? copied : length);
  return text;
}

std::wstring CaptionOf(HWND window) {
  wchar_t caption[512] = {};
  GetWindowTextW(window, caption, 512);
  return caption;
}

std::vector<HWND> Descendants(HWND top) {
  std::vector<HWND> found;
  EnumChildWindows(
      top,
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool IsButtonWithCheck(HWND control) {
  if (ClassOf(control) != L"Button") return false;
  LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
         type == BS_3STATE || type == BS_AUTO3STATE;
}

bool Matches(HWND window, const Criteria& criteria) {
  if (criteria.caption && CaptionOf(window) != *criteria.caption) return false;
  if (criteria.windowClass && ClassOf(window) != *criteria.windowClass) return false;
  if (criteria.containedText) {
    bool seen = CaptionOf(window).find(*criteria.containedText) != std::wstring::npos;
    for (HWND child : Descendants(window))
      if (!seen && TextOf(child).find(*criteria.containedText) != std::wstring::npos) seen = true;
    if (!seen) return false;
  }
  return true;
}

std::vector<HWND> FindTopLevel(const Criteria& criteria) {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> matching;
  for (HWND window : all)
    if (IsWindowVisible(window) && Matches(window, criteria)) matching.push_back(window);
  return matching;
}

// Polls until a window matches (or none does, for `gone`) or the time is up.
std::vector<HWND> Await(const Options& options, bool& met) {
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(options.waitSeconds * 1000);
  for (;;) {
    std::vector<HWND> found = FindTopLevel(options.criteria);
    met = options.gone ? found.empty() : !found.empty();
    if (met || GetTickCount64() >= deadline) return found;
    Sleep(50);
  }
}

std::string DescribeControl(HWND top, HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  RECT inTop = box;
  MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&inTop), 2);
  HWND parent = GetParent(control);
  RECT inParent = box;
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&inParent), 2);

  std::string checked = "null";
  if (IsButtonWithCheck(control)) {
    DWORD_PTR state = 0;
    if (SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state))
      checked = std::to_string(state);
  }
  // Edit boxes: the selection as start and end offsets (equal: a caret).
  std::string selection = "null";
  if (ClassOf(control) == L"Edit") {
    DWORD_PTR packed = 0;
    if (SendMessageTimeoutW(control, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &packed))
      selection = "[" + std::to_string(LOWORD(packed)) + ", " + std::to_string(HIWORD(packed)) + "]";
  }
  char style[16];
  std::snprintf(style, sizeof style, "\"0x%08lx\"", static_cast<unsigned long>(GetWindowLongW(control, GWL_STYLE)));

  std::string out = "{";
  out += "\"hwnd\": " + JsonHandle(control);
  out += ", \"parent\": " + JsonHandle(parent == top ? nullptr : parent);
  out += ", \"id\": " + std::to_string(GetDlgCtrlID(control));
  out += ", \"class\": " + JsonString(ClassOf(control));
  out += ", \"text\": " + JsonString(TextOf(control));
  out += ", \"rect\": " + JsonRect(inTop.left, inTop.top, box.right - box.left, box.bottom - box.top);
  out += ", \"parentRect\": " + JsonRect(inParent.left, inParent.top, box.right - box.left, box.bottom - box.top);
  out += ", \"enabled\": " + JsonBool(IsWindowEnabled(control));
  out += ", \"visible\": " + JsonBool(IsWindowVisible(control));
  out += ", \"checked\": " + checked;
  out += ", \"selection\": " + selection;
  out += ", \"style\": " + std::string(style);
  return out + "}";
}

std::string DescribeWindow(HWND top) {
  RECT outer{};
  GetWindowRect(top, &outer);
  RECT client{};
  GetClientRect(top, &client);
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  DWORD process = 0;
  DWORD thread = GetWindowThreadProcessId(top, &process);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);

  std::string out = "{";
  out += "\"hwnd\": " + JsonHandle(top);
  out += ", \"caption\": " + JsonString(CaptionOf(top));
  out += ", \"class\": " + JsonString(ClassOf(top));
  out += ", \"pid\": " + std::to_string(process);
  out += ", \"outer\": " + JsonRect(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
  out += ", \"client\": " + JsonRect(origin.x, origin.y, client.right, client.bottom);
  out += ", \"enabled\": " + JsonBool(IsWindowEnabled(top));
  out += ", \"owner\": " + JsonHandle(GetWindow(top, GW_OWNER));
  out += ", \"foreground\": " + JsonBool(GetForegroundWindow() == top);
  out += ", \"focus\": " + JsonHandle(gui.hwndFocus);
  out += ", \"active\": " + JsonHandle(gui.hwndActive);
  out += ", \"controls\": [";
  bool first = true;
  for (HWND control : Descendants(top)) {
    out += first ? "\n  " : ",\n  ";
    first = false;
    out += DescribeControl(top, control);
  }
  return out + "]}";
}

void Print(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

int Find(const Options& options) {
  bool met = false;
  std::vector<HWND> found = Await(options, met);
  std::string out = "{\"met\": " + JsonBool(met) + ", \"windows\": [";
  for (std::size_t i = 0; i < found.size(); ++i) out += (i ? ",\n" : "\n") + DescribeWindow(found[i]);
  Print(out + "]}\n");
  return met ? 0 : 1;
}

int Press(const Options& options) {
  bool met = false;
  std::vector<HWND> found = Await(options, met);
  if (found.empty() || !options.id) {
    Print("{\"pressed\": false}\n");
    return 1;
  }
  HWND button = GetDlgItem(found.front(), *options.id);
  PostMessageW(found.front(), WM_COMMAND, MAKEWPARAM(*options.id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  Print("{\"pressed\": true}\n");
  return 0;
}

// The whole file; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return std::nullopt;
  }
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

int Drop(const Options& options) {
  std::optional<std::string> list = ReadWholeFile(options.listFile);
  if (!list) {
    Print("{\"dropped\": false, \"why\": \"the list file cannot be read\"}\n");
    return 1;
  }
  bool met = false;
  std::vector<HWND> found = Await(options, met);
  if (found.empty()) {
    Print("{\"dropped\": false, \"why\": \"no window\"}\n");
    return 1;
  }
  HWND target = found.front();
  // The named memory lives as long as this handle: until the hook, which
  // reads it while this send waits, has answered.
  KernelHandle memory(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(list->size() + 1), drop_protocol::kListMemory));
  MappedView view(memory ? MapViewOfFile(memory.get(), FILE_MAP_WRITE, 0, 0, list->size() + 1) : nullptr);
  if (!view) {
    Print("{\"dropped\": false, \"why\": \"no shared memory for the list\"}\n");
    return 1;
  }
  std::memcpy(view.get(), list->data(), list->size());
  UINT message = RegisterWindowMessageW(drop_protocol::kMessageName);
  RemovePropW(target, drop_protocol::kDoneProperty);
  DWORD_PTR ignored = 0;
  // Sent, not posted: the hook delivers the drop before this returns.
  bool answered = SendMessageTimeoutW(target, message, list->size(), 0, SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
  // The hook leaves one more than the number of items it delivered.
  auto mark = reinterpret_cast<UINT_PTR>(GetPropW(target, drop_protocol::kDoneProperty));
  bool handled = answered && mark != 0;
  Print("{\"dropped\": " + JsonBool(handled) + ", \"items\": " + std::to_string(handled ? mark - 1 : 0) + "}\n");
  return handled ? 0 : 1;
}

// Hit-test codes are answered by the window's own procedure, so this asks
// the window rather than guessing from system metrics where its frame
// buttons are drawn.
int Hit(const Options& options) {
  bool met = false;
  std::vector<HWND> found = Await(options, met);
  if (found.empty() || !options.id) {
    Print("{\"found\": false}\n");
    return 1;
  }
  HWND window = found.front();
  RECT outer{};
  GetWindowRect(window, &outer);
  POINT client{0, 0};
  ClientToScreen(window, &client);
  auto answer = [&](int x, int y) {
    DWORD_PTR code = 0;
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kSendTimeoutMs, &code);
    return static_cast<int>(code);
  };
  // The first row above the client area that shows the code gives the
  // stretch's columns; going down its middle column gives its rows.
  for (int y = outer.top; y < client.y; ++y) {
    int first = -1, last = -1;
    for (int x = outer.left; x < outer.right; ++x)
      if (answer(x, y) == *options.id) {
        if (first < 0) first = x;
        last = x;
      }
    if (first < 0) continue;
    int x = (first + last) / 2, bottom = y;
    while (bottom + 1 < client.y && answer(x, bottom + 1) == *options.id) ++bottom;
    Print("{\"found\": true, \"x\": " + std::to_string(x) + ", \"y\": " + std::to_string((y + bottom) / 2) +
          "}\n");
    return 0;
  }
  Print("{\"found\": false}\n");
  return 1;
}

int Desktop() {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return 1;
  Print("{\"desktop\": " + JsonString(path) + "}\n");
  return 0;
}

bool Parse(int argc, wchar_t** argv, Options& options) {
  if (argc < 2) return false;
  options.mode = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::wstring arg = argv[i];
    auto value = [&]() -> std::optional<std::wstring> {
      if (i + 1 >= argc) return std::nullopt;
      return std::wstring(argv[++i]);
    };
    if (arg == L"--gone") {
      options.gone = true;
      continue;
    }
    std::optional<std::wstring> v = value();
    if (!v) return false;
    if (arg == L"--caption") options.criteria.caption = *v;
    else if (arg == L"--class") options.criteria.windowClass = *v;
    else if (arg == L"--text") options.criteria.containedText = *v;
    else if (arg == L"--wait") options.waitSeconds = _wtof(v->c_str());
    else if (arg == L"--id" || arg == L"--code") options.id = _wtoi(v->c_str());
    else if (arg == L"--list") options.listFile = *v;
    else return false;
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fputs("usage: inspect find|press|drop|hit|desktop [--caption C] [--class K] [--text T] [--wait S] [--gone] "
               "[--id N] [--code N] [--list FILE]\n",
               stderr);
    return 2;
  }
  if (options.mode == L"find") return Find(options);
  if (options.mode == L"press") return Press(options);
  if (options.mode == L"drop") return Drop(options);
  if (options.mode == L"hit") return Hit(options);
  if (options.mode == L"desktop") return Desktop();
  return 2;
}
