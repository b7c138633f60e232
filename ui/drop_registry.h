// Makes windows accept files dropped from the shell: a registered window gets
// a replacement window procedure that hands every dropped path to the
// window's callback and passes all other messages on to the procedure the
// window had before.
//
// The logic here is platform-free; the few window-system calls it needs go
// through DropPlatform, whose Win32 implementation lives in
// ui/drop_platform_win32.cpp and whose scripted one serves the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/text.h"

namespace dirtree {

// A window handle, a window procedure's address and the message parameters,
// carried as pointer-sized integers so that 64-bit builds keep every bit.
using DropWindow = std::uintptr_t;
using ProcedureAddress = std::uintptr_t;
using DropHandle = std::uintptr_t;

inline constexpr std::uint32_t kDropFilesMessage = 0x0233;  // WM_DROPFILES

// Longest dropped path, in bytes, that is handed to a callback. A longer
// path is skipped whole: a cut path could name another folder.
inline constexpr std::size_t kMaxDroppedPathBytes = 259;

// Called once per accepted dropped item with the path's length in bytes and
// the path, zero-terminated. The bytes are valid only during the call.
using DropCallback = std::function<void(std::uint32_t count, const char* path)>;

struct DropRecord {
  DropWindow window = 0;
  ProcedureAddress previousProcedure = 0;
  DropCallback callback;
};

// In the order of registration; at most one record per window.
using DropRecordList = std::vector<DropRecord>;

// The window-system calls behind the registry.
class DropPlatform {
 public:
  virtual ~DropPlatform() = default;
  // Lets the shell drop files onto the window.
  virtual void AcceptDrops(DropWindow window) = 0;
  // Installs the drop procedure as the window's procedure; the one it had.
  virtual ProcedureAddress InstallDropProcedure(DropWindow window) = 0;
  // Puts `procedure` back as the window's procedure.
  virtual void RestoreProcedure(DropWindow window, ProcedureAddress procedure) = 0;
  // Passes a message on to `procedure`; its result.
  virtual std::intptr_t CallProcedure(ProcedureAddress procedure, DropWindow window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // Number of items in a drop.
  virtual std::uint32_t DroppedItemCount(DropHandle drop) = 0;
  // The whole path of one item as GBK text, however long it is.
  virtual Text DroppedItemPath(DropHandle drop, std::uint32_t index) = 0;
  // Releases the drop.
  virtual void FinishDrop(DropHandle drop) = 0;
};

// A registry works on a shared record list: every copy of it sees and changes
// the same records.
class DropFileRegistry {
 public:
  DropFileRegistry(DropRecordList& records, DropPlatform& platform) : records_(&records), platform_(&platform) {}

  // False, changing nothing, when the window is registered already.
  bool RegisterDropTarget(DropWindow window, DropCallback callback);
  // Restores the window's procedure and forgets its record; false when it has
  // none. Window 0 restores and forgets every record and returns true.
  bool UnregisterDropTarget(DropWindow window);

  // What the installed drop procedure does with one message.
  std::intptr_t HandleMessage(DropWindow window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);

  const DropRecordList& records() const { return *records_; }

 private:
  DropRecord* Find(DropWindow window);

  DropRecordList* records_;
  DropPlatform* platform_;
};

// A registry on `records` with the platform's window calls (Windows only).
// From then on the platform's drop procedure serves `records`, which must
// outlive every registered window's last message.
DropFileRegistry PlatformDropRegistry(DropRecordList& records);

}  // namespace dirtree
