// The in-memory window surface.
#include "ui/headless_surface.h"

#include <algorithm>
#include <string>

namespace dirtree {

HeadlessSurface::HeadlessSurface() = default;

bool HeadlessSurface::Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) {
  if (refuseCreation_) return false;
  for (const ControlDefinition& control : definition.controls) {
    ControlState& state = Mutable(control.id);
    state = ControlState{};
    state.text = ToText(control.text);
    state.enabled = !control.disabled;
    state.checked = control.checked;
    state.background = control.background;
  }
  listener_ = &listener;
  position_ = position;
  windowBackground_ = definition.background;
  created_ = true;
  log.push_back("create " + std::to_string(position.x) + " " + std::to_string(position.y));
  return true;
}

void HeadlessSurface::Log(std::string_view what, ControlId control, std::string_view value) {
  std::string line(what);
  line.append(" ").append(Definition(control).name);
  if (!value.empty()) line.append(" ").append(value);
  log.push_back(std::move(line));
}

void HeadlessSurface::ShowWindow() {
  windowVisible_ = true;
  log.push_back("show");
}

void HeadlessSurface::DestroyWindow() {
  const bool existed = created_ && !destroyed_;
  destroyed_ = true;
  windowVisible_ = false;
  focus_.reset();
  log.push_back("destroy");
  if (existed && listener_) listener_->Destroyed();
}

void HeadlessSurface::SetText(ControlId control, const Text& text) {
  // Like an edit box given new contents, the caret goes back to the start.
  Mutable(control).text = text;
  Mutable(control).caret = 0;
  Log("text", control);
}

void HeadlessSurface::SetCaret(ControlId control, std::size_t offset) {
  ControlState& state = Mutable(control);
  state.caret = std::min(offset, state.text.size());
  Log("caret", control, std::to_string(state.caret));
}

void HeadlessSurface::SetEnabled(ControlId control, bool enabled) {
  Mutable(control).enabled = enabled;
  Log("enabled", control, enabled ? "1" : "0");
}

void HeadlessSurface::SetChecked(ControlId control, bool checked) {
  Mutable(control).checked = checked;
  Log("checked", control, checked ? "1" : "0");
}

bool HeadlessSurface::Visible(ControlId control) const {
  for (std::optional<ControlId> c = control; c; c = Definition(*c).container)
    if (!State(*c).visible) return false;
  return true;
}

void HeadlessSurface::SetVisible(ControlId control, bool visible) {
  Mutable(control).visible = visible;
  Log("visible", control, visible ? "1" : "0");
}

void HeadlessSurface::SetFocus(ControlId control) {
  focus_ = control;
  Log("focus", control);
}

void HeadlessSurface::SetBackground(ControlId control, Colour colour) {
  Mutable(control).background = colour;
  std::string value = colour.isDefault ? std::string("default")
                                       : std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
                                             std::to_string(colour.blue);
  Log("background", control, value);
}

void HeadlessSurface::SetEditMargins(ControlId control, int left, int right) {
  Mutable(control).leftMargin = left;
  Mutable(control).rightMargin = right;
  Log("margins", control, std::to_string(left) + " " + std::to_string(right));
}

bool HeadlessSurface::Press(const KeyEvent& key) {
  if (!listener_ || destroyed_) return false;
  if (listener_->KeyPressed(key)) return true;
  if (key.key != Key::Character || !focus_ || Definition(*focus_).kind != ControlKind::EditBox) return false;
  ControlState& box = Mutable(*focus_);
  if (key.code >= 32 && key.code <= 0xFF) {
    box.text.insert(box.caret, 1, static_cast<char>(key.code));
    ++box.caret;
  } else if (key.code == 8 && box.caret > 0) {
    box.text.erase(--box.caret, 1);
  }
  return false;
}

void HeadlessSurface::Type(std::string_view typed) {
  for (char c : typed) Press({Key::Character, static_cast<unsigned char>(c)});
}

void HeadlessSurface::Click(ControlId control) {
  if (!listener_ || destroyed_ || !Enabled(control) || !Visible(control)) return;
  ControlKind kind = Definition(control).kind;
  if (kind == ControlKind::Label || kind == ControlKind::GroupBox) return;
  if (focus_ != control) SetFocus(control);
  listener_->Clicked(control);
}

std::optional<bool> HeadlessSurface::ReleaseRightButton(ControlId control, const MouseRelease& release) {
  if (!listener_ || destroyed_) return std::nullopt;
  return listener_->RightButtonReleased(control, release);
}

void HeadlessSurface::SelectMenuItem(MenuItemId item) {
  if (listener_ && !destroyed_) listener_->MenuSelected(item);
}

void HeadlessSurface::PressCloseBox() {
  if (listener_ && !destroyed_) listener_->CloseRequested();
}

void HeadlessSurface::Deactivate() {
  if (!listener_ || destroyed_) return;
  listener_->Deactivated();
  focus_.reset();
}

void HeadlessSurface::Activate() {
  if (listener_ && !destroyed_) listener_->Activated();
}

}  // namespace dirtree
