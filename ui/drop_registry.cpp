// The drop registry's bookkeeping and the message handling of its window
// procedure, on top of the platform's drop calls.
#include "ui/drop_registry.h"

#include <algorithm>
#include <utility>

namespace dirtree {

DropRecord* DropFileRegistry::Find(DropWindow window) {
  auto it = std::find_if(records_->begin(), records_->end(),
                         [window](const DropRecord& record) { return record.window == window; });
  return it == records_->end() ? nullptr : &*it;
}

bool DropFileRegistry::RegisterDropTarget(DropWindow window, DropCallback callback) {
  if (Find(window) != nullptr) return false;
  platform_->AcceptDrops(window);
  ProcedureAddress previous = platform_->InstallDropProcedure(window);
  records_->push_back(DropRecord{window, previous, std::move(callback)});
  return true;
}

bool DropFileRegistry::UnregisterDropTarget(DropWindow window) {
  if (window == 0) {
    // Taken out of the list before the procedures go back, so a message sent
    // during a restore finds no half-removed record.
    DropRecordList all = std::move(*records_);
    records_->clear();
    for (const DropRecord& record : all) platform_->RestoreProcedure(record.window, record.previousProcedure);
    return true;
  }
  auto it = std::find_if(records_->begin(), records_->end(),
                         [window](const DropRecord& record) { return record.window == window; });
  if (it == records_->end()) return false;
  ProcedureAddress previous = it->previousProcedure;
  records_->erase(it);
  platform_->RestoreProcedure(window, previous);
  return true;
}

std::intptr_t DropFileRegistry::HandleMessage(DropWindow window, std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
  const DropRecord* record = Find(window);
  if (record == nullptr) return 0;
  if (message != kDropFilesMessage) {
    // The previous procedure may close the window, whose close query empties
    // the list: nothing of the record is touched after this call.
    ProcedureAddress previous = record->previousProcedure;
    return platform_->CallProcedure(previous, window, message, wParam, lParam);
  }
  // A callback may change the registry; it runs from a copy.
  DropCallback callback = record->callback;
  DropHandle drop = wParam;
  std::uint32_t items = platform_->DroppedItemCount(drop);
  for (std::uint32_t i = 0; i < items; ++i) {
    Text path = platform_->DroppedItemPath(drop, i);
    if (path.size() > kMaxDroppedPathBytes) continue;
    if (callback) callback(static_cast<std::uint32_t>(path.size()), path.c_str());
  }
  platform_->FinishDrop(drop);
  return 0;
}

}  // namespace dirtree
