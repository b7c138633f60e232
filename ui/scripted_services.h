// Window services that answer from queues a test fills, and keep a log of
// every dialog request and message box, so the commands run headless.
#pragma once

#include <deque>
#include <vector>

#include "ui/drop_registry.h"
#include "ui/services.h"

namespace dirtree {

class ScriptedServices : public WindowServices {
 public:
  // Answers handed out in order; an empty queue answers as a cancel.
  std::deque<Text> folderAnswers;
  std::deque<Text> saveAnswers;
  // Yes/No answers handed out in order; an empty queue answers No.
  std::deque<bool> questionAnswers;
  Text clipboard;
  Text desktop = "C:\\Users\\me\\Desktop";

  std::vector<FolderBrowserRequest> folderRequests;
  std::vector<SaveDialogRequest> saveRequests;
  std::vector<MessageRequest> messages;
  std::vector<MessageRequest> questions;

  Text BrowseForFolder(const FolderBrowserRequest& request) override;
  Text ChooseSavePath(const SaveDialogRequest& request) override;
  Text ClipboardText() override { return clipboard; }
  Text DesktopFolder() override { return desktop; }
  void ShowMessage(const MessageRequest& request) override { messages.push_back(request); }
  bool AskYesNo(const MessageRequest& request) override;
};

// A window system in miniature for the drop registry: each window has a
// current procedure, drops are lists of paths, and every call is logged.
class ScriptedDropPlatform : public DropPlatform {
 public:
  // The address the scripted "drop procedure" is known by.
  static constexpr ProcedureAddress kDropProcedure = 0xD0D0;

  struct ForwardedMessage {
    ProcedureAddress procedure;
    DropWindow window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  // The procedure each window has now; a window not listed has 0.
  std::vector<std::pair<DropWindow, ProcedureAddress>> procedures;
  // Drop handle → its items, in drop order.
  std::vector<std::pair<DropHandle, std::vector<Text>>> drops;

  std::vector<DropWindow> accepted;
  std::vector<ForwardedMessage> forwarded;
  std::vector<DropHandle> finished;
  // What a forwarded message answers.
  std::intptr_t forwardedResult = 7;

  ProcedureAddress ProcedureOf(DropWindow window) const;
  void SetProcedure(DropWindow window, ProcedureAddress procedure);

  void AcceptDrops(DropWindow window) override { accepted.push_back(window); }
  ProcedureAddress InstallDropProcedure(DropWindow window) override;
  void RestoreProcedure(DropWindow window, ProcedureAddress procedure) override { SetProcedure(window, procedure); }
  std::intptr_t CallProcedure(ProcedureAddress procedure, DropWindow window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override;
  std::uint32_t DroppedItemCount(DropHandle drop) override;
  Text DroppedItemPath(DropHandle drop, std::uint32_t index) override;
  void FinishDrop(DropHandle drop) override { finished.push_back(drop); }

 private:
  const std::vector<Text>* Items(DropHandle drop) const;
};

}  // namespace dirtree
