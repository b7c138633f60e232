// The seam between the window logic and a window system. The logic drives a
// WindowSurface (create the window, read and set control states); the surface
// reports what the user does to a SurfaceListener (keys, clicks, menu, close,
// activation). A Win32 surface implements it on Windows, HeadlessSurface in
// memory for tests and for Linux.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/text.h"
#include "ui/window_definition.h"

namespace dirtree {

// The platform's handle of the window, opaque to the logic (an HWND on
// Windows). Handed to the drop registration and used as dialog owner.
enum class WindowHandle : std::uintptr_t { None = 0 };

// Keys as the logic sees them, before the focused control does.
enum class Key : std::uint8_t {
  Tab,
  Left,
  Right,
  Up,
  Down,
  Escape,
  Enter,
  F1,
  Space,
  Letter,     // a letter key pressed, `code` "A".."Z" (upper case), for accelerators
  Character,  // a character typed into the focused control, `code` its byte
};

struct KeyEvent {
  Key key;
  std::uint32_t code = 0;
  bool ctrl = false;
  bool shift = false;
};

// Key set of a mouse event.
enum : unsigned { kKeyCtrl = 1, kKeyShift = 2, kKeyAlt = 4 };

// Right mouse button released over an edit box: position relative to the
// box's client area (inside its border) and the keys held down.
struct MouseRelease {
  int x = 0;
  int y = 0;
  unsigned keys = 0;
};

// What the surface reports. Implemented by MainWindow.
class SurfaceListener {
 public:
  virtual ~SurfaceListener() = default;
  // A key for the window or one of its controls, before the control sees it.
  // True: consumed, the control must not see it (and it makes no character).
  virtual bool KeyPressed(const KeyEvent& key) = 0;
  // A push button or radio button was clicked with the mouse. For a radio
  // button the surface changes no check mark itself: the logic does.
  virtual void Clicked(ControlId control) = 0;
  // false: the release is consumed before the edit box sees it.
  virtual std::optional<bool> RightButtonReleased(ControlId control, const MouseRelease& release) = 0;
  // Chosen in the menu (accelerators come through KeyPressed).
  virtual void MenuSelected(MenuItemId item) = 0;
  // The window is asked to close (close box, system menu, Alt+F4). The logic
  // destroys it through the surface when the close may proceed.
  virtual void CloseRequested() = 0;
  // Log-off or shutdown: whether it may proceed.
  virtual bool EndSessionQueried() = 0;
  virtual void Activated() = 0;
  virtual void Deactivated() = 0;
  // The window is gone, whoever destroyed it (the logic, the system, the
  // end of the program). Nothing more is reported after this.
  virtual void Destroyed() = 0;
};

class WindowSurface {
 public:
  virtual ~WindowSurface() = default;

  virtual Size PrimaryScreenSize() const = 0;

  // Builds the menu bar and its accelerators, the window hidden with its
  // outer top-left corner at `position`, and every control with its geometry,
  // font, colours, text and initial states; a window given another outer
  // size than the definition's is set to it again. From then on user actions
  // go to `listener`. False when the platform refuses the window; nothing
  // (menu, accelerators) is left behind then.
  virtual bool Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) = 0;

  virtual WindowHandle Handle() const = 0;
  virtual Colour WindowBackground() const = 0;
  // Shows the window normally and activates it.
  virtual void ShowWindow() = 0;
  virtual bool WindowVisible() const = 0;
  // Destroys the window and its controls; the listener hears Destroyed.
  virtual void DestroyWindow() = 0;

  virtual Text GetText(ControlId control) const = 0;
  virtual void SetText(ControlId control, const Text& text) = 0;
  // Edit boxes: caret at this byte offset, nothing selected.
  virtual void SetCaret(ControlId control, std::size_t offset) = 0;
  virtual bool Enabled(ControlId control) const = 0;
  virtual void SetEnabled(ControlId control, bool enabled) = 0;
  virtual bool Checked(ControlId control) const = 0;
  virtual void SetChecked(ControlId control, bool checked) = 0;
  // Shown, together with every group box it lies in.
  virtual bool Visible(ControlId control) const = 0;
  virtual void SetVisible(ControlId control, bool visible) = 0;
  // The control with the keyboard focus, if it is one of the window's.
  virtual std::optional<ControlId> Focus() const = 0;
  virtual void SetFocus(ControlId control) = 0;
  // Labels.
  virtual void SetBackground(ControlId control, Colour colour) = 0;
  // Edit boxes: inner margins in pixels.
  virtual void SetEditMargins(ControlId control, int left, int right) = 0;
};

}  // namespace dirtree
