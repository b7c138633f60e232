// The window services on Windows: the shell's folder browser and save
// dialog, the Unicode clipboard, the desktop folder, message boxes and Yes/No
// questions, all through the wide-character API. Texts cross as GBK and are
// converted with code page 936, whatever the system's ANSI code page is.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "fs/encoding_win32.h"
#include "ui/services.h"

namespace dirtree {
namespace {

// An item list handed out by the shell, freed with the task allocator.
class ItemList {
 public:
  explicit ItemList(LPITEMIDLIST list) : list_(list) {}
  ~ItemList() {
    if (list_ != nullptr) CoTaskMemFree(list_);
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  LPITEMIDLIST get() const { return list_; }

 private:
  LPITEMIDLIST list_;
};

class ClipboardLock {
 public:
  ClipboardLock() : open_(OpenClipboard(nullptr) != FALSE) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

class GlobalMemoryLock {
 public:
  explicit GlobalMemoryLock(HGLOBAL memory)
      : memory_(memory), data_(memory != nullptr ? GlobalLock(memory) : nullptr) {}
  ~GlobalMemoryLock() {
    if (data_ != nullptr) GlobalUnlock(memory_);
  }
  GlobalMemoryLock(const GlobalMemoryLock&) = delete;
  GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;
  const void* data() const { return data_; }
  SIZE_T size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

HWND AsWindow(WindowHandle owner) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(owner)); }

class Win32WindowServices : public WindowServices {
 public:
  Text BrowseForFolder(const FolderBrowserRequest& request) override {
    std::wstring title = GbkToWide(request.title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = AsWindow(request.owner);
    info.pidlRoot = nullptr;  // the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    ItemList chosen(SHBrowseForFolderW(&info));
    if (chosen.get() == nullptr) return Text();
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return Text();
    return WideToGbk(path);
  }

  Text ChooseSavePath(const SaveDialogRequest& request) override {
    std::wstring title = GbkToWide(request.title);
    std::wstring initialDirectory = GbkToWide(request.initialDirectory);
    std::wstring filter = GbkToWide(request.filterName);
    filter.push_back(L'\0');
    filter += GbkToWide(request.filterPattern);
    filter.push_back(L'\0');  // the list ends with an empty pair
    std::wstring initialName = GbkToWide(request.initialName);
    // Room for the initial name and 255 more characters, plus the end.
    std::vector<wchar_t> file(initialName.size() + 256, L'\0');
    initialName.copy(file.data(), initialName.size());

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = AsWindow(request.owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | (request.promptOverwrite ? OFN_OVERWRITEPROMPT : 0);
    if (!GetSaveFileNameW(&dialog)) return Text();
    return WideToGbk(file.data());
  }

  Text ClipboardText() override {
    ClipboardLock clipboard;
    if (!clipboard.IsOpen()) return Text();
    GlobalMemoryLock memory(GetClipboardData(CF_UNICODETEXT));
    const auto* chars = static_cast<const wchar_t*>(memory.data());
    if (chars == nullptr) return Text();
    // The block may lack its terminating zero; never read past its end.
    std::size_t limit = memory.size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < limit && chars[length] != L'\0') ++length;
    return WideToGbk(std::wstring_view(chars, length));
  }

  Text DesktopFolder() override {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOP, FALSE)) return Text();
    return WideToGbk(path);
  }

  void ShowMessage(const MessageRequest& request) override { Show(request, MB_OK); }

  bool AskYesNo(const MessageRequest& request) override {
    // No is the default: a stray Enter keeps the file.
    return Show(request, MB_YESNO | MB_DEFBUTTON2) == IDYES;
  }

 private:
  static int Show(const MessageRequest& request, UINT style) {
    if (request.icon == MessageIcon::kError) style |= MB_ICONERROR;
    if (request.icon == MessageIcon::kWarning) style |= MB_ICONWARNING;
    if (request.taskModal) style |= MB_TASKMODAL;
    return MessageBoxW(AsWindow(request.owner), GbkToWide(request.text).c_str(), GbkToWide(request.caption).c_str(),
                       style);
  }
};

}  // namespace

WindowServices& PlatformWindowServices() {
  static Win32WindowServices services;
  return services;
}

}  // namespace dirtree
