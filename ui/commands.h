// What the main window does when the user acts on it: choosing the target
// folder and the report path, pasting with the right button, switching the
// depth box, running a report, the About box, and taking in a folder dropped
// from the shell. Platform-free: the controls are reached through the
// WindowSurface, dialogs and boxes through WindowServices.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/text.h"
#include "engine/tree_writer.h"
#include "fs/fs.h"
#include "ui/drop_registry.h"
#include "ui/main_window.h"
#include "ui/services.h"
#include "ui/surface.h"

namespace dirtree {

// The last component of a path as the shell finds it: what follows the last
// "\", "/" or ":" that has a further character other than a separator after
// it, so a trailing "\" stays with the component ("D:\a\b\" gives "b\").
// The path is walked by characters, so the second byte of a double-byte
// character is never taken for a separator.
Text LastPathComponent(const Text& path);

// The report's default name for a target folder: its last component without
// any "\" or ":". "D:\Work\src\" gives "src", "C:\" gives "C".
Text ReportNameFor(const Text& target);

// The current user's desktop folder.
Text DesktopDirectory(WindowServices& services);
// The report's default name for the folder in 编辑框1.
Text DefaultReportName(const WindowSurface& surface);
// The folder browser; the chosen folder or the empty text.
Text ChooseTargetDirectory(WindowServices& services, WindowHandle owner);
// The save dialog, opening on the desktop with `initialName`; the chosen path
// or the empty text.
Text ChooseReportPath(WindowServices& services, const Text& initialName);

// The annotation kind that the checked radio button of 分组框1 selects.
std::int32_t CheckedAnnotationKind(const WindowSurface& surface);

class MainWindowCommands final : public WindowCommands {
 public:
  // Everything given must outlive the commands.
  MainWindowCommands(WindowSurface& surface, WindowServices& services, DirectoryTreeWriter& writer,
                     FileSystem& fileSystem)
      : surface_(surface), services_(services), writer_(writer), fileSystem_(fileSystem) {}

  void ChooseTargetDirectory() override;
  void ChooseReportPath() override;
  void StartReport() override;
  void DepthFollowsUnlimited() override;
  void DepthFollowsSpecified() override;
  std::optional<bool> PasteInto(ControlId box, const MouseRelease& release) override;
  void ShowAbout() override;

  // A dropped item: a folder becomes the target, anything else is ignored.
  void ApplyDroppedPath(std::uint32_t count, const char* path);

 private:
  // Puts the target in 编辑框1 and the default report path in 编辑框2.
  void SetTarget(const Text& target);
  void ShowError(const Text& text);
  // Asks whether the existing file `path` may be replaced.
  bool ConfirmReplace(const Text& path);

  WindowSurface& surface_;
  WindowServices& services_;
  DirectoryTreeWriter& writer_;
  FileSystem& fileSystem_;
};

// The main window's drop hooks: the creation handler registers the window
// with `registry` for ApplyDroppedPath, the close query unregisters every
// window. `commands` must outlive the window.
DropHooks MainWindowDropHooks(DropFileRegistry registry, MainWindowCommands& commands);

}  // namespace dirtree
