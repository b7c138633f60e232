// The main window's behaviour, written once against WindowSurface: loading,
// the creation handler, the event table, focus and tab order, radio groups,
// digits-only typing, the window's keys and its close query.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "ui/surface.h"
#include "ui/window_definition.h"

namespace dirtree {

// The commands behind the controls and the menu. Every member does nothing
// here; the command code derives from this and overrides them. Commands
// reach the controls through the WindowSurface they were given.
class WindowCommands {
 public:
  virtual ~WindowCommands() = default;
  // 按钮1 clicked, menu item "打开" selected.
  virtual void ChooseTargetDirectory() {}
  // 按钮2 clicked.
  virtual void ChooseReportPath() {}
  // 按钮3 clicked.
  virtual void StartReport() {}
  // 单选框5 clicked.
  virtual void DepthFollowsUnlimited() {}
  // 单选框6 clicked.
  virtual void DepthFollowsSpecified() {}
  // Right mouse button released over 编辑框1, 编辑框2 or 编辑框3 (`box`).
  // false keeps the box's own context menu shut.
  virtual std::optional<bool> PasteInto(ControlId box, const MouseRelease& release) {
    (void)box;
    (void)release;
    return std::nullopt;
  }
  // Menu item "关于" selected.
  virtual void ShowAbout() {}
};

// The drop intake's two steps in the window's life. Empty functions are
// skipped.
struct DropHooks {
  // Creation handler, after the margins and before the window is shown.
  std::function<void(WindowHandle)> registerWindow;
  // Close query: undo every registration.
  std::function<void()> unregisterAll;
};

// The window's event table: one handler per event that the program handles.
// An empty function means the event has no handler. Arrays are indexed by
// Index(ControlId) and Index(MenuItemId).
struct MainWindowEvents {
  std::function<void()> created;
  // Answer false keeps the window open; true or no answer lets it close.
  std::function<std::optional<bool>()> canBeClosed;
  std::array<std::function<void()>, kControlCount> clicked;
  // Answer false consumes the release before the box sees it.
  std::array<std::function<std::optional<bool>(const MouseRelease&)>, kControlCount> rightButtonReleased;
  std::array<std::function<void()>, kMenuItemCount> selected;
};

class MainWindow final : public SurfaceListener {
 public:
  // `surface` and `commands` must outlive the window.
  MainWindow(WindowSurface& surface, WindowCommands& commands, DropHooks dropHooks = {});
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window hidden and centred on the primary screen with every
  // control, then raises created (whose handler shows it). False when the
  // platform refused the window; no event is raised then.
  bool Load();

  // The event table, wired to the handlers below and to the commands. A
  // handler may be replaced, e.g. by a test.
  MainWindowEvents& Events() { return events_; }
  WindowSurface& Surface() { return surface_; }

  // The handlers of the window's own events.
  void OnCreated();
  std::optional<bool> OnCloseQuery();

  // Raises can-be-closed: true unless the handler answers false.
  bool CanClose();

  // SurfaceListener.
  bool KeyPressed(const KeyEvent& key) override;
  void Clicked(ControlId control) override;
  std::optional<bool> RightButtonReleased(ControlId control, const MouseRelease& release) override;
  void MenuSelected(MenuItemId item) override;
  void CloseRequested() override;
  bool EndSessionQueried() override;
  void Activated() override;
  void Deactivated() override;
  void Destroyed() override;

 private:
  MainWindowEvents WireEvents();
  bool Focusable(ControlId control) const;
  void MoveFocus(bool forward);
  void FocusFirstControlIfNone();
  void SelectRadio(ControlId radio);
  bool SelectNeighbourInGroup(ControlId radio, int step);
  void RaiseClicked(ControlId control);

  WindowSurface& surface_;
  WindowCommands& commands_;
  DropHooks dropHooks_;
  MainWindowEvents events_;
  std::optional<ControlId> rememberedFocus_;
};

}  // namespace dirtree
