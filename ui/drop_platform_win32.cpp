// The drop registry's window calls on Windows: DragAcceptFiles, the window
// procedure swapped with SetWindowLongPtrW (pointer-sized, so a 64-bit build
// keeps the whole address), CallWindowProcW, DragQueryFileW and DragFinish.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "fs/encoding_win32.h"
#include "ui/drop_registry.h"

namespace dirtree {

LRESULT CALLBACK DropWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

// The records the drop procedure serves. A window procedure gets no context
// of its own, and every registry shares one list anyway.
DropRecordList* servedRecords = nullptr;

HWND AsWindow(DropWindow window) { return reinterpret_cast<HWND>(window); }
HDROP AsDrop(DropHandle drop) { return reinterpret_cast<HDROP>(drop); }

class Win32DropPlatform : public DropPlatform {
 public:
  void AcceptDrops(DropWindow window) override { DragAcceptFiles(AsWindow(window), TRUE); }

  ProcedureAddress InstallDropProcedure(DropWindow window) override {
    return static_cast<ProcedureAddress>(SetWindowLongPtrW(
        AsWindow(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DropWindowProcedure)));
  }

  void RestoreProcedure(DropWindow window, ProcedureAddress procedure) override {
    SetWindowLongPtrW(AsWindow(window), GWLP_WNDPROC, static_cast<LONG_PTR>(procedure));
  }

  std::intptr_t CallProcedure(ProcedureAddress procedure, DropWindow window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override {
    return CallWindowProcW(reinterpret_cast<WNDPROC>(procedure), AsWindow(window), message, wParam, lParam);
  }

  std::uint32_t DroppedItemCount(DropHandle drop) override {
    return DragQueryFileW(AsDrop(drop), 0xFFFFFFFF, nullptr, 0);
  }

  Text DroppedItemPath(DropHandle drop, std::uint32_t index) override {
    // The length first, so the whole path is read and never a cut one.
    UINT length = DragQueryFileW(AsDrop(drop), index, nullptr, 0);
    if (length == 0) return Text();
    std::wstring path(length + 1, L'\0');
    UINT copied = DragQueryFileW(AsDrop(drop), index, path.data(), length + 1);
    path.resize(copied < length ? copied : length);
    return WideToGbk(path);
  }

  void FinishDrop(DropHandle drop) override { DragFinish(AsDrop(drop)); }
};

Win32DropPlatform& ThePlatform() {
  static Win32DropPlatform platform;
  return platform;
}

}  // namespace

// The procedure every registered window gets; the program never calls it.
LRESULT CALLBACK DropWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (servedRecords == nullptr) return 0;
  DropFileRegistry registry(*servedRecords, ThePlatform());
  return registry.HandleMessage(reinterpret_cast<DropWindow>(window), message, wParam, lParam);
}

DropFileRegistry PlatformDropRegistry(DropRecordList& records) {
  servedRecords = &records;
  return DropFileRegistry(records, ThePlatform());
}

}  // namespace dirtree
