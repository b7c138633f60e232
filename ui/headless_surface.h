// A window surface kept in memory: control states, focus and visibility
// without a display. It stands in for the window system in tests and on
// Linux, logs every change the logic makes (in order, with the controls'
// GBK names) and plays the user's part through the Press/Type/Click calls.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/surface.h"

namespace dirtree {

class HeadlessSurface final : public WindowSurface {
 public:
  struct ControlState {
    Text text;
    std::size_t caret = 0;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    Colour background;
    int leftMargin = 0;
    int rightMargin = 0;
  };

  HeadlessSurface();

  // Set up before loading.
  void SetPrimaryScreenSize(Size size) { screen_ = size; }
  void RefuseCreation(bool refuse) { refuseCreation_ = refuse; }

  // WindowSurface.
  Size PrimaryScreenSize() const override { return screen_; }
  bool Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) override;
  WindowHandle Handle() const override { return created_ ? kHandle : WindowHandle::None; }
  Colour WindowBackground() const override { return windowBackground_; }
  void ShowWindow() override;
  bool WindowVisible() const override { return windowVisible_; }
  // Reports Destroyed to the listener the first time. A test calls it
  // directly for a window destroyed without the logic asking.
  void DestroyWindow() override;
  Text GetText(ControlId control) const override { return State(control).text; }
  void SetText(ControlId control, const Text& text) override;
  void SetCaret(ControlId control, std::size_t offset) override;
  bool Enabled(ControlId control) const override { return State(control).enabled; }
  void SetEnabled(ControlId control, bool enabled) override;
  bool Checked(ControlId control) const override { return State(control).checked; }
  void SetChecked(ControlId control, bool checked) override;
  bool Visible(ControlId control) const override;
  void SetVisible(ControlId control, bool visible) override;
  std::optional<ControlId> Focus() const override { return focus_; }
  void SetFocus(ControlId control) override;
  void SetBackground(ControlId control, Colour colour) override;
  void SetEditMargins(ControlId control, int left, int right) override;

  // What the surface holds.
  const ControlState& State(ControlId control) const { return controls_[Index(control)]; }
  bool Created() const { return created_; }
  bool Destroyed() const { return destroyed_; }
  Point Position() const { return position_; }

  // The user's part, delivered through the listener given to Create. A key
  // the listener passes on gets the edit box's own handling: a character of
  // 32 or more goes in at the caret, Backspace (8) removes the byte before it.
  // Returns whether the listener consumed the key.
  bool Press(const KeyEvent& key);
  // Each byte of `typed` as a character key.
  void Type(std::string_view typed);
  // A mouse click: focuses the control as the window system does, then
  // reports the click. Disabled or hidden controls take no clicks.
  void Click(ControlId control);
  std::optional<bool> ReleaseRightButton(ControlId control, const MouseRelease& release = {});
  void SelectMenuItem(MenuItemId item);
  // The close box.
  void PressCloseBox();
  // Another window takes the activation (the focus leaves) and gives it back.
  void Deactivate();
  void Activate();

  // Every change made through the WindowSurface calls, in order, one line
  // each: "create 702 406", "background 标签1 default", "margins 编辑框1 5 5",
  // "show", "focus 编辑框1", "text 编辑框2", "caret 编辑框2 3",
  // "enabled 编辑框4 1", "checked 单选框6 0", "visible 分组框4 0",
  // "destroy". Names are GBK. Others (e.g. a test's hooks) may add lines.
  std::vector<std::string> log;

  static constexpr WindowHandle kHandle = static_cast<WindowHandle>(0x1F2E);

 private:
  ControlState& Mutable(ControlId control) { return controls_[Index(control)]; }
  void Log(std::string_view what, ControlId control, std::string_view value = {});

  std::array<ControlState, kControlCount> controls_;
  SurfaceListener* listener_ = nullptr;
  Size screen_{1920, 1080};
  Point position_;
  Colour windowBackground_;
  std::optional<ControlId> focus_;
  bool refuseCreation_ = false;
  bool created_ = false;
  bool windowVisible_ = false;
  bool destroyed_ = false;
};

}  // namespace dirtree
