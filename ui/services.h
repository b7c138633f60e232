// The platform services that the window commands use beyond the window's own
// controls: the folder browser, the save dialog, the clipboard, the desktop
// folder, message boxes and Yes/No questions. ui/services_win32.cpp implements them with the
// shell and user32; ui/scripted_services.h answers from a script in tests.
#pragma once

#include <cstdint>

#include "engine/text.h"
#include "ui/surface.h"

namespace dirtree {

struct FolderBrowserRequest {
  WindowHandle owner = WindowHandle::None;
  Text title;
};

struct SaveDialogRequest {
  WindowHandle owner = WindowHandle::None;
  Text title;
  Text filterName;     // what the file-type list shows
  Text filterPattern;  // e.g. "*.txt"
  Text initialDirectory;
  Text initialName;
  bool promptOverwrite = false;
};

enum class MessageIcon { kNone, kError, kWarning };

struct MessageRequest {
  WindowHandle owner = WindowHandle::None;
  Text caption;
  Text text;
  MessageIcon icon = MessageIcon::kNone;
  // Modal to every window of the program (needed when there is no owner).
  bool taskModal = false;
};

class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // The chosen folder's full path; the empty text on cancel.
  virtual Text BrowseForFolder(const FolderBrowserRequest& request) = 0;
  // The full path the user confirmed; the empty text on cancel.
  virtual Text ChooseSavePath(const SaveDialogRequest& request) = 0;
  // The clipboard's text; the empty text when it holds none.
  virtual Text ClipboardText() = 0;
  // The current user's desktop folder, not created when missing.
  virtual Text DesktopFolder() = 0;
  // Shows an OK-only message box and returns when it is closed.
  virtual void ShowMessage(const MessageRequest& request) = 0;
  // Shows a box with Yes and No, No being the default button; true when
  // the user answers Yes.
  virtual bool AskYesNo(const MessageRequest& request) = 0;
};

// The services of the platform the program was built for (Windows only:
// there is no window on other platforms).
WindowServices& PlatformWindowServices();

}  // namespace dirtree
