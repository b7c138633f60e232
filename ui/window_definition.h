// The main window as data: its properties, the control table, the menu with
// its accelerators, the tab order and the radio groups. The platform surface
// builds the window from this definition and the window logic reads its
// structure from it, so the layout lives in exactly one place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace dirtree {

// Every control of the main window, in the order of the control table.
// The enumerators carry the controls' own names.
enum class ControlId : std::uint8_t {
  标签1,
  编辑框1,
  按钮1,
  标签2,
  编辑框2,
  按钮2,
  分组框2,
  编辑框3,
  分组框4,
  单选框5,
  单选框6,
  编辑框4,
  分组框5,
  编辑框5,
  分组框1,
  单选框1,
  单选框3,
  单选框0,
  单选框2,
  单选框4,
  分组框3,
  单选框7,
  单选框8,
  按钮3,
};
inline constexpr std::size_t kControlCount = 24;

constexpr std::size_t Index(ControlId id) { return static_cast<std::size_t>(id); }

enum class ControlKind : std::uint8_t { Label, EditBox, PushButton, RadioButton, GroupBox };

// The items of the menu bar.
enum class MenuItemId : std::uint8_t { Open, About };
inline constexpr std::size_t kMenuItemCount = 2;

constexpr std::size_t Index(MenuItemId id) { return static_cast<std::size_t>(id); }

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A colour property: an RGB value, or the default marker, which stands for
// the platform's face colour read afresh at every paint.
struct Colour {
  bool isDefault = true;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  static constexpr Colour Default() { return {}; }
  static constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {false, r, g, b}; }
  friend bool operator==(const Colour&, const Colour&) = default;
};

struct FontDefinition {
  std::string_view face;  // GBK
  int height = 0;         // em height in pixels, internal leading not counted
  int weight = 0;
};

struct ControlDefinition {
  ControlId id;
  std::string_view name;  // GBK, e.g. "编辑框1"
  ControlKind kind;
  std::optional<ControlId> container;  // a group box; none: the window's client area
  Rect bounds;                         // relative to the container
  std::string_view text;               // caption or initial text, GBK
  bool disabled = false;
  bool checked = false;
  bool digitsOnly = false;             // typed characters limited to "0"-"9" and "-"
  Colour background = Colour::Default();
};

// Ctrl (and Shift) with a letter key "A".."Z".
struct Accelerator {
  char letter = 0;
  bool ctrl = false;
  bool shift = false;
};

struct MenuItemDefinition {
  MenuItemId id;
  std::string_view name;  // GBK, e.g. "打开"
  std::string_view shown;  // GBK, the item's text with its shortcut after a tab
  Accelerator accelerator;
};

struct MenuDefinition {
  std::string_view caption;  // GBK
  std::span<const MenuItemDefinition> items;
};

// A group box's exclusive radio buttons, in tab order.
struct RadioGroup {
  ControlId groupBox;
  std::span<const ControlId> members;
};

struct WindowDefinition {
  std::string_view caption;  // GBK
  Size outerSize;            // frame, title bar and menu bar included
  bool resizable = false;
  bool minimiseBox = true;
  bool maximiseBox = false;
  std::string_view iconResource;
  Colour background = Colour::Default();
  Colour textColour = Colour::Rgb(0, 0, 0);
  FontDefinition font;
  std::span<const ControlDefinition> controls;  // indexed by ControlId
  std::span<const MenuDefinition> menus;
  std::span<const ControlId> tabOrder;
  std::span<const RadioGroup> radioGroups;
};

// Inner left and right margin of every edit box, set by the creation handler.
inline constexpr int kEditMargin = 5;

const WindowDefinition& MainWindowDefinition();

const ControlDefinition& Definition(ControlId id);
const MenuItemDefinition& Definition(MenuItemId id);

// The control's rectangle in the coordinates of the window's client area.
Rect WindowRect(ControlId id);

// The radio group a radio button belongs to; none for other controls.
const RadioGroup* RadioGroupOf(ControlId id);

// The menu item whose accelerator is this key combination, if any.
std::optional<MenuItemId> AcceleratorItem(char letter, bool ctrl, bool shift);

// Outer top-left corner that centres a window of `window` size on a screen
// of `screen` size; each division truncates toward zero.
Point CentredPosition(Size screen, Size window);

}  // namespace dirtree
