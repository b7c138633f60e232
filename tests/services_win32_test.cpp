// The Windows halves of the drop registry and the window services: the
// swapped procedure of a real window (message-only, so no display is needed),
// a drop handle built the way the shell builds one, the Unicode clipboard and
// the desktop folder.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fs/fs.h"
#include "ui/drop_registry.h"
#include "ui/services.h"

namespace dirtree {
namespace {

constexpr UINT kProbeMessage = WM_APP + 7;

struct SeenMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<SeenMessage> ownProcedureSaw;

LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbeMessage || message == WM_DROPFILES) {
    ownProcedureSaw.push_back({message, wParam, lParam});
    return 1234;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class TestWindow {
 public:
  TestWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OwnProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"DirtreeDropTest";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"DirtreeDropTest", L"drop", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~TestWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

// A drop handle as the shell hands one over: DROPFILES followed by the wide
// paths, each zero-terminated, and a final zero. DragFinish frees it.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::size_t chars = 1;
  for (const std::wstring& path : paths) chars += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& path : paths) {
    std::memcpy(out, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    out += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

ProcedureAddress ProcedureOf(HWND window) {
  return static_cast<ProcedureAddress>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

TEST(DropPlatformWin32Test, DropsReachTheCallbackOtherMessagesTheOwnProcedure) {
  TestWindow window;
  ASSERT_NE(window.get(), nullptr);
  const DropWindow handle = reinterpret_cast<DropWindow>(window.get());
  const ProcedureAddress own = ProcedureOf(window.get());
  ownProcedureSaw.clear();

  DropRecordList records;
  DropFileRegistry registry = PlatformDropRegistry(records);
  std::vector<std::pair<std::uint32_t, std::string>> seen;
  ASSERT_TRUE(registry.RegisterDropTarget(handle, [&](std::uint32_t count, const char* path) {
    seen.emplace_back(count, path);
  }));
  EXPECT_FALSE(registry.RegisterDropTarget(handle, nullptr));
  EXPECT_NE(ProcedureOf(window.get()), own);
  EXPECT_EQ(records.at(0).previousProcedure, own);

  // Pointer-sized parameters pass through unchanged.
  const WPARAM wide = static_cast<WPARAM>(~std::uintptr_t{0} - 5);
  EXPECT_EQ(SendMessageW(window.get(), kProbeMessage, wide, -9), 1234);
  ASSERT_EQ(ownProcedureSaw.size(), 1u);
  EXPECT_EQ(ownProcedureSaw[0].wParam, wide);
  EXPECT_EQ(ownProcedureSaw[0].lParam, -9);

  const std::wstring longPath = L"C:\\" + std::wstring(300, L'x');
  HDROP drop = MakeDrop({L"C:\\目录\\子目录", longPath, L"D:\\a.txt"});
  EXPECT_EQ(SendMessageW(window.get(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 0);
  EXPECT_EQ(seen, (std::vector<std::pair<std::uint32_t, std::string>>{{14, "C:\\目录\\子目录"}, {8, "D:\\a.txt"}}));
  EXPECT_EQ(ownProcedureSaw.size(), 1u);  // the drop is not passed on

  EXPECT_TRUE(registry.UnregisterDropTarget(0));
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(ProcedureOf(window.get()), own);
  EXPECT_EQ(SendMessageW(window.get(), kProbeMessage, 1, 2), 1234);
  EXPECT_EQ(ownProcedureSaw.size(), 2u);
}

class Clipboard {
 public:
  Clipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
  ~Clipboard() {
    if (open_) CloseClipboard();
  }
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

void SetClipboardText(const std::wstring* text) {
  Clipboard clipboard;
  ASSERT_TRUE(clipboard.IsOpen());
  EmptyClipboard();
  if (text == nullptr) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text->size() + 1) * sizeof(wchar_t));
  std::memcpy(GlobalLock(memory), text->c_str(), (text->size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
}

TEST(WindowServicesWin32Test, ClipboardTextInGbkOrEmpty) {
  WindowServices& services = PlatformWindowServices();
  const std::wstring text = L"D:\\剪贴板\\目录";
  SetClipboardText(&text);
  EXPECT_EQ(services.ClipboardText(), Text("D:\\剪贴板\\目录"));
  SetClipboardText(nullptr);
  EXPECT_EQ(services.ClipboardText(), Text());
}

TEST(WindowServicesWin32Test, DesktopFolderIsAFolder) {
  const Text desktop = PlatformWindowServices().DesktopFolder();
  ASSERT_FALSE(desktop.empty());
  const std::uint32_t attributes = PlatformFileSystem().GetEntryAttributes(desktop);
  EXPECT_NE(attributes, kInvalidAttributes);
  EXPECT_NE(attributes & 0x10, 0u);
}

}  // namespace
}  // namespace dirtree
