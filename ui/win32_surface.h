// The main window on Win32: a top-level window of its own class with child
// windows of the standard classes (EDIT, BUTTON, STATIC), built from the
// window definition and driven by the window logic through WindowSurface.
//
// Keys reach the logic before the focused control: the message loop hands
// every fetched message to PreTranslateMessage first, and typed characters
// are caught again in the edit boxes themselves, where every WM_CHAR arrives
// whether it was posted or sent by an input method. Space on a button is the
// exception: the button clicks itself, as it does for the mouse.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "ui/surface.h"
#include "ui/window_definition.h"

namespace dirtree {

// Owns one GDI object (font, brush) and deletes it.
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(HGDIOBJ object) : object_(object) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(HGDIOBJ object = nullptr) {
    if (object_ != nullptr) DeleteObject(object_);
    object_ = object;
  }
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_ = nullptr;
};

class Win32Surface final : public WindowSurface {
 public:
  Win32Surface() = default;
  // Destroys the window if it still exists, without a word to the listener.
  ~Win32Surface() override;
  Win32Surface(const Win32Surface&) = delete;
  Win32Surface& operator=(const Win32Surface&) = delete;

  // Gives the logic the keys of this window before the focused control sees
  // them. True: the message was consumed and must not be translated or
  // dispatched.
  bool PreTranslateMessage(const MSG& message);

  // WindowSurface.
  Size PrimaryScreenSize() const override;
  bool Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) override;
  WindowHandle Handle() const override;
  Colour WindowBackground() const override { return windowBackground_; }
  void ShowWindow() override;
  bool WindowVisible() const override;
  void DestroyWindow() override;
  Text GetText(ControlId control) const override;
  void SetText(ControlId control, const Text& text) override;
  void SetCaret(ControlId control, std::size_t offset) override;
  bool Enabled(ControlId control) const override;
  void SetEnabled(ControlId control, bool enabled) override;
  bool Checked(ControlId control) const override;
  void SetChecked(ControlId control, bool checked) override;
  bool Visible(ControlId control) const override;
  void SetVisible(ControlId control, bool visible) override;
  std::optional<ControlId> Focus() const override;
  void SetFocus(ControlId control) override;
  void SetBackground(ControlId control, Colour colour) override;
  void SetEditMargins(ControlId control, int left, int right) override;

  // The window procedures; public only so the file's static procedures can
  // reach them.
  LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleControlMessage(ControlId control, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  bool CreateControls(const WindowDefinition& definition);
  HWND ControlWindow(ControlId control) const { return controls_[Index(control)]; }
  std::optional<ControlId> ControlOf(HWND window) const;
  // The focus is on a push button or a radio button.
  bool FocusOnButton() const;
  bool IsOwnWindow(HWND window) const;
  LRESULT ColourControl(UINT message, HDC dc, HWND control);
  void Forget();

  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  std::array<WNDPROC, kControlCount> controlProcedures_{};
  std::array<Colour, kControlCount> backgrounds_{};
  // Brushes of labels given an RGB background; the face colour comes from
  // the system's brush and needs none.
  std::array<GdiObject, kControlCount> backgroundBrushes_;
  GdiObject font_;
  Colour windowBackground_;
  Colour textColour_ = Colour::Rgb(0, 0, 0);
  SurfaceListener* listener_ = nullptr;
  // Set while the logic moves the focus: a radio button that gets the focus
  // without a mouse click reports BN_CLICKED, which is no click of the user.
  bool movingFocus_ = false;
};

}  // namespace dirtree
