// Test-only drop injection, linked into dirtree-testhook.exe and never into
// dirtree.exe. A drop handle is memory of the receiving process, so another
// process cannot hand one over; instead the GUI tests send the registered
// message "dirtree.test.drop" with a global atom naming a file of paths
// (UTF-8, one Windows path a line). This hook, installed on the
// user-interface thread before the program starts, builds the drop handle
// here, exactly as the shell lays it out (DROPFILES with wide names), and
// delivers WM_DROPFILES to the window through its current window procedure,
// then marks the window with the property "dirtree.test.drop.done", so the
// sender knows the drop was taken in.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kDropMessageName[] = L"dirtree.test.drop";
constexpr wchar_t kDropDoneProperty[] = L"dirtree.test.drop.done";

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

struct GlobalFreer {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using GlobalMemory = std::unique_ptr<void, GlobalFreer>;

struct HookUnhooker {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using HookHandle = std::unique_ptr<HHOOK__, HookUnhooker>;

std::string ReadWholeFile(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return {};
  }
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

std::vector<std::wstring> PathsOf(const std::string& utf8) {
  std::vector<std::wstring> paths;
  std::size_t start = 0;
  while (start < utf8.size()) {
    std::size_t end = utf8.find('\n', start);
    if (end == std::string::npos) end = utf8.size();
    std::string line = utf8.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) {
      int size = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
      std::wstring wide(static_cast<std::size_t>(size), L'\0');
      MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(), size);
      paths.push_back(wide);
    }
    start = end + 1;
  }
  return paths;
}

// DROPFILES followed by the zero-terminated wide paths and a final zero.
GlobalMemory BuildDrop(const std::vector<std::wstring>& paths) {
  std::size_t characters = 1;
  for (const std::wstring& path : paths) characters += path.size() + 1;
  GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters * sizeof(wchar_t)));
  if (!memory) return memory;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory.get()));
  header->pFiles = sizeof(DROPFILES);
  header->pt = POINT{100, 100};
  header->fNC = FALSE;
  header->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
  for (const std::wstring& path : paths) {
    std::memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    names += path.size() + 1;
  }
  GlobalUnlock(memory.get());
  return memory;
}

void DeliverDrop(HWND window, ATOM listName) {
  wchar_t listPath[MAX_PATH] = {};
  if (GlobalGetAtomNameW(listName, listPath, MAX_PATH) == 0) return;
  std::vector<std::wstring> paths = PathsOf(ReadWholeFile(listPath));
  GlobalMemory drop = BuildDrop(paths);
  if (!drop) return;
  // The receiver owns the handle from here on: its DragFinish frees it.
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop.release()), 0);
  // One more than the number of items, so that an empty drop marks too.
  SetPropW(window, kDropDoneProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(paths.size() + 1)));
}

UINT DropMessage() {
  static const UINT message = RegisterWindowMessageW(kDropMessageName);
  return message;
}

LRESULT CALLBACK WatchSentMessages(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message != 0 && sent->message == DropMessage())
      DeliverDrop(sent->hwnd, static_cast<ATOM>(sent->wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Installed during static initialisation, which runs on the thread that
// later runs the message loop; a thread hook needs no module handle.
const HookHandle installedHook(SetWindowsHookExW(WH_CALLWNDPROC, &WatchSentMessages, nullptr, GetCurrentThreadId()));

}  // namespace
