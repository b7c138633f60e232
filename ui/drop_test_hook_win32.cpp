// Test-only drop injection, linked into dirtree-testhook.exe and never into
// dirtree.exe. A drop handle is memory of the receiving process, so another
// process cannot hand one over; instead the GUI tests put the paths to drop
// (UTF-8, one Windows path a line) into the named shared memory
// "dirtree.test.drop.list" and send the registered message
// "dirtree.test.drop" with their length in bytes. Named memory, unlike a
// file name in an atom, has no length limit, so the drop works from a build
// folder of any depth. This hook, installed on the user-interface thread
// before the program starts, builds the drop handle here, exactly as the
// shell lays it out (DROPFILES with wide names), and delivers WM_DROPFILES to
// the window through its current window procedure, then marks the window
// with the property "dirtree.test.drop.done", so the sender knows the drop
// was taken in.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/gui/drop_protocol_win32.h"

namespace {

using drop_protocol::KernelHandle;
using drop_protocol::MappedView;

struct GlobalFreer {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using GlobalMemory = std::unique_ptr<void, GlobalFreer>;

struct HookUnhooker {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using HookHandle = std::unique_ptr<HHOOK__, HookUnhooker>;

// The list the sender left in the named memory; empty when there is none.
std::string ReadDropList(std::size_t size) {
  if (size == 0) return {};
  KernelHandle memory(OpenFileMappingW(FILE_MAP_READ, FALSE, drop_protocol::kListMemory));
  if (!memory) return {};
  MappedView view(MapViewOfFile(memory.get(), FILE_MAP_READ, 0, 0, size));
  if (!view) return {};
  return std::string(static_cast<const char*>(view.get()), size);
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

void DeliverDrop(HWND window, std::size_t listSize) {
  std::vector<std::wstring> paths = PathsOf(ReadDropList(listSize));
  GlobalMemory drop = BuildDrop(paths);
  if (!drop) return;
  // The receiver owns the handle from here on: its DragFinish frees it.
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop.release()), 0);
  // One more than the number of items, so that an empty drop marks too.
  SetPropW(window, drop_protocol::kDoneProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(paths.size() + 1)));
}

UINT DropMessage() {
  static const UINT message = RegisterWindowMessageW(drop_protocol::kMessageName);
  return message;
}

LRESULT CALLBACK WatchSentMessages(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message != 0 && sent->message == DropMessage())
      DeliverDrop(sent->hwnd, static_cast<std::size_t>(sent->wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Installed during static initialisation, which runs on the thread that
// later runs the message loop; a thread hook needs no module handle.
const HookHandle installedHook(SetWindowsHookExW(WH_CALLWNDPROC, &WatchSentMessages, nullptr, GetCurrentThreadId()));

}  // namespace
