// Scripted window services and drop platform for headless tests.
#include "ui/scripted_services.h"

namespace dirtree {

namespace {

Text TakeFront(std::deque<Text>& answers) {
  if (answers.empty()) return Text();
  Text answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

Text ScriptedServices::BrowseForFolder(const FolderBrowserRequest& request) {
  folderRequests.push_back(request);
  return TakeFront(folderAnswers);
}

Text ScriptedServices::ChooseSavePath(const SaveDialogRequest& request) {
  saveRequests.push_back(request);
  return TakeFront(saveAnswers);
}

bool ScriptedServices::AskYesNo(const MessageRequest& request) {
  questions.push_back(request);
  if (questionAnswers.empty()) return false;
  bool answer = questionAnswers.front();
  questionAnswers.pop_front();
  return answer;
}

ProcedureAddress ScriptedDropPlatform::ProcedureOf(DropWindow window) const {
  for (const auto& [w, procedure] : procedures)
    if (w == window) return procedure;
  return 0;
}

void ScriptedDropPlatform::SetProcedure(DropWindow window, ProcedureAddress procedure) {
  for (auto& [w, current] : procedures) {
    if (w == window) {
      current = procedure;
      return;
    }
  }
  procedures.emplace_back(window, procedure);
}

ProcedureAddress ScriptedDropPlatform::InstallDropProcedure(DropWindow window) {
  ProcedureAddress previous = ProcedureOf(window);
  SetProcedure(window, kDropProcedure);
  return previous;
}

std::intptr_t ScriptedDropPlatform::CallProcedure(ProcedureAddress procedure, DropWindow window,
                                                  std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  forwarded.push_back({procedure, window, message, wParam, lParam});
  return forwardedResult;
}

const std::vector<Text>* ScriptedDropPlatform::Items(DropHandle drop) const {
  for (const auto& [handle, items] : drops)
    if (handle == drop) return &items;
  return nullptr;
}

std::uint32_t ScriptedDropPlatform::DroppedItemCount(DropHandle drop) {
  const std::vector<Text>* items = Items(drop);
  return items ? static_cast<std::uint32_t>(items->size()) : 0;
}

Text ScriptedDropPlatform::DroppedItemPath(DropHandle drop, std::uint32_t index) {
  const std::vector<Text>* items = Items(drop);
  if (items == nullptr || index >= items->size()) return Text();
  return (*items)[index];
}

}  // namespace dirtree
