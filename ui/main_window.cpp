// The main window's behaviour on an abstract surface: the same code runs
// behind the Win32 window and the headless one of the tests.
#include "ui/main_window.h"

#include <utility>

namespace dirtree {
namespace {

using enum ControlId;

constexpr ControlId kLabels[] = {标签1, 标签2};
constexpr ControlId kEditBoxes[] = {编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框5};

bool IsDigitsOnlyAccepted(std::uint32_t code) {
  // Control characters (Backspace, the one Ctrl+V makes) pass untouched.
  return code < 32 || (code >= '0' && code <= '9') || code == '-';
}

}  // namespace

MainWindow::MainWindow(WindowSurface& surface, WindowCommands& commands, DropHooks dropHooks)
    : surface_(surface), commands_(commands), dropHooks_(std::move(dropHooks)), events_(WireEvents()) {}

MainWindowEvents MainWindow::WireEvents() {
  MainWindowEvents e;
  e.created = [this] { OnCreated(); };
  e.canBeClosed = [this] { return OnCloseQuery(); };
  e.clicked[Index(按钮1)] = [this] { commands_.ChooseTargetDirectory(); };
  e.clicked[Index(按钮2)] = [this] { commands_.ChooseReportPath(); };
  e.clicked[Index(按钮3)] = [this] { commands_.StartReport(); };
  e.clicked[Index(单选框5)] = [this] { commands_.DepthFollowsUnlimited(); };
  e.clicked[Index(单选框6)] = [this] { commands_.DepthFollowsSpecified(); };
  for (ControlId box : {编辑框1, 编辑框2, 编辑框3})
    e.rightButtonReleased[Index(box)] = [this, box](const MouseRelease& r) { return commands_.PasteInto(box, r); };
  e.selected[Index(MenuItemId::Open)] = [this] { commands_.ChooseTargetDirectory(); };
  e.selected[Index(MenuItemId::About)] = [this] { commands_.ShowAbout(); };
  return e;
}

bool MainWindow::Load() {
  const WindowDefinition& definition = MainWindowDefinition();
  Point position = CentredPosition(surface_.PrimaryScreenSize(), definition.outerSize);
  if (!surface_.Create(definition, position, *this)) return false;
  if (events_.created) events_.created();
  return true;
}

void MainWindow::OnCreated() {
  for (ControlId label : kLabels) surface_.SetBackground(label, surface_.WindowBackground());
  for (ControlId box : kEditBoxes) surface_.SetEditMargins(box, kEditMargin, kEditMargin);
  if (dropHooks_.registerWindow) dropHooks_.registerWindow(surface_.Handle());
  surface_.ShowWindow();
  // Showing activates the window, which on a real window system already
  // puts the focus on the first control; a surface without activation
  // messages gets it here.
  FocusFirstControlIfNone();
}

std::optional<bool> MainWindow::OnCloseQuery() {
  if (dropHooks_.unregisterAll) dropHooks_.unregisterAll();
  return std::nullopt;
}

bool MainWindow::CanClose() {
  if (!events_.canBeClosed) return true;
  return events_.canBeClosed().value_or(true);
}

void MainWindow::CloseRequested() {
  if (CanClose()) surface_.DestroyWindow();
}

bool MainWindow::EndSessionQueried() { return CanClose(); }

bool MainWindow::Focusable(ControlId control) const {
  ControlKind kind = Definition(control).kind;
  if (kind == ControlKind::Label || kind == ControlKind::GroupBox) return false;
  return surface_.Enabled(control) && surface_.Visible(control);
}

void MainWindow::FocusFirstControlIfNone() {
  if (surface_.Focus()) return;
  for (ControlId control : MainWindowDefinition().tabOrder)
    if (Focusable(control)) {
      surface_.SetFocus(control);
      return;
    }
}

void MainWindow::MoveFocus(bool forward) {
  std::span<const ControlId> order = MainWindowDefinition().tabOrder;
  const int count = static_cast<int>(order.size());
  // Without a focused control in the order, start just outside either end.
  int at = forward ? -1 : count;
  if (auto focus = surface_.Focus())
    for (int i = 0; i < count; ++i)
      if (order[i] == *focus) at = i;
  const int step = forward ? 1 : count - 1;
  for (int tried = 0; tried < count; ++tried) {
    at = (at + step + count) % count;
    if (Focusable(order[at])) {
      surface_.SetFocus(order[at]);
      return;
    }
  }
}

void MainWindow::RaiseClicked(ControlId control) {
  if (auto& handler = events_.clicked[Index(control)]) handler();
}

void MainWindow::SelectRadio(ControlId radio) {
  surface_.SetChecked(radio, true);
  if (const RadioGroup* group = RadioGroupOf(radio))
    for (ControlId member : group->members)
      if (member != radio && surface_.Checked(member)) surface_.SetChecked(member, false);
  RaiseClicked(radio);
}

bool MainWindow::SelectNeighbourInGroup(ControlId radio, int step) {
  const RadioGroup* group = RadioGroupOf(radio);
  if (!group) return false;
  const int count = static_cast<int>(group->members.size());
  int at = 0;
  while (group->members[at] != radio) ++at;
  for (int tried = 1; tried < count; ++tried) {
    at = (at + step + count) % count;
    ControlId next = group->members[at];
    if (!Focusable(next)) continue;
    SelectRadio(next);
    surface_.SetFocus(next);
    return true;
  }
  return true;  // a group with no other selectable member keeps the key too
}

void MainWindow::Clicked(ControlId control) {
  switch (Definition(control).kind) {
    case ControlKind::RadioButton:
      SelectRadio(control);
      break;
    case ControlKind::PushButton:
      RaiseClicked(control);
      break;
    default:
      break;
  }
}

std::optional<bool> MainWindow::RightButtonReleased(ControlId control, const MouseRelease& release) {
  if (auto& handler = events_.rightButtonReleased[Index(control)]) return handler(release);
  return std::nullopt;
}

void MainWindow::MenuSelected(MenuItemId item) {
  if (auto& handler = events_.selected[Index(item)]) handler();
}

bool MainWindow::KeyPressed(const KeyEvent& key) {
  // Accelerators come first, whatever control has the focus.
  if (key.key == Key::Letter) {
    auto item = AcceleratorItem(static_cast<char>(key.code), key.ctrl, key.shift);
    if (!item) return false;
    MenuSelected(*item);
    return true;
  }

  std::optional<ControlId> focus = surface_.Focus();
  ControlKind focusKind = focus ? Definition(*focus).kind : ControlKind::Label;

  switch (key.key) {
    case Key::Escape:
      CloseRequested();
      return true;
    case Key::Enter:
    case Key::F1:
      return true;
    case Key::Tab:
      MoveFocus(!key.shift);
      return true;
    case Key::Left:
    case Key::Up:
    case Key::Right:
    case Key::Down:
      if (focusKind != ControlKind::RadioButton) return false;
      return SelectNeighbourInGroup(*focus, key.key == Key::Left || key.key == Key::Up ? -1 : 1);
    case Key::Space:
      if (focusKind == ControlKind::RadioButton || focusKind == ControlKind::PushButton) {
        Clicked(*focus);
        return true;
      }
      return false;
    case Key::Character:
      // A dropped character is consumed so that the box never sees it.
      return focus && Definition(*focus).digitsOnly && !IsDigitsOnlyAccepted(key.code);
    case Key::Letter:
      break;
  }
  return false;
}

void MainWindow::Activated() {
  if (rememberedFocus_ && Focusable(*rememberedFocus_)) surface_.SetFocus(*rememberedFocus_);
  rememberedFocus_.reset();
  FocusFirstControlIfNone();
}

void MainWindow::Deactivated() {
  if (auto focus = surface_.Focus()) rememberedFocus_ = focus;
}

void MainWindow::Destroyed() { rememberedFocus_.reset(); }

}  // namespace dirtree
