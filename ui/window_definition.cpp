// The main window's definition tables and the geometry derived from them.
#include "ui/window_definition.h"

namespace dirtree {
namespace {

using enum ControlId;
using K = ControlKind;

constexpr Colour kFace = Colour::Default();
constexpr Colour kWhite = Colour::Rgb(255, 255, 255);
constexpr std::optional<ControlId> kWindow;

// Columns: id, name, kind, container, left/top/width/height, caption or
// initial text, disabled, checked, digits only, background.
constexpr ControlDefinition kControls[] = {
    {标签1, "标签1", K::Label, kWindow, {8, 8, 64, 24}, "目标目录：", false, false, false, kFace},
    {编辑框1, "编辑框1", K::EditBox, kWindow, {80, 8, 392, 24}, "", false, false, false, kWhite},
    {按钮1, "按钮1", K::PushButton, kWindow, {476, 8, 29, 24}, "...", false, false, false, kFace},
    {标签2, "标签2", K::Label, kWindow, {8, 40, 64, 24}, "保存路径：", false, false, false, kFace},
    {编辑框2, "编辑框2", K::EditBox, kWindow, {80, 40, 392, 24}, "", false, false, false, kWhite},
    {按钮2, "按钮2", K::PushButton, kWindow, {476, 40, 29, 24}, "...", false, false, false, kFace},
    {分组框2, "分组框2", K::GroupBox, kWindow, {8, 72, 152, 48}, "过滤", false, false, false, kFace},
    {编辑框3, "编辑框3", K::EditBox, 分组框2, {46, 16, 96, 24}, "*", false, false, false, kWhite},
    {分组框4, "分组框4", K::GroupBox, kWindow, {168, 72, 232, 48}, "深度", false, false, false, kFace},
    {单选框5, "单选框5", K::RadioButton, 分组框4, {24, 16, 48, 24}, "无限", false, true, false, kFace},
    {单选框6, "单选框6", K::RadioButton, 分组框4, {88, 16, 48, 24}, "指定", false, false, false, kFace},
    {编辑框4, "编辑框4", K::EditBox, 分组框4, {144, 16, 80, 24}, "", true, false, true, kWhite},
    {分组框5, "分组框5", K::GroupBox, kWindow, {406, 72, 98, 48}, "附加空白数", false, false, false, kFace},
    {编辑框5, "编辑框5", K::EditBox, 分组框5, {44, 18, 46, 24}, "12", false, false, true, kWhite},
    {分组框1, "分组框1", K::GroupBox, kWindow, {8, 128, 240, 80}, "附加", false, false, false, kFace},
    {单选框1, "单选框1", K::RadioButton, 分组框1, {8, 16, 80, 24}, "文件大小", false, true, false, kFace},
    {单选框3, "单选框3", K::RadioButton, 分组框1, {88, 16, 88, 24}, "修改时间", false, false, false, kFace},
    {单选框0, "单选框0", K::RadioButton, 分组框1, {184, 16, 32, 24}, "空", false, false, false, kFace},
    {单选框2, "单选框2", K::RadioButton, 分组框1, {8, 40, 80, 24}, "创建时间", false, false, false, kFace},
    {单选框4, "单选框4", K::RadioButton, 分组框1, {88, 40, 80, 24}, "访问时间", false, false, false, kFace},
    {分组框3, "分组框3", K::GroupBox, kWindow, {256, 128, 144, 80}, "文件大小样式", false, false, false, kFace},
    {单选框7, "单选框7", K::RadioButton, 分组框3, {8, 16, 80, 24}, "字节", false, true, false, kFace},
    {单选框8, "单选框8", K::RadioButton, 分组框3, {8, 40, 80, 24}, "常规", false, false, false, kFace},
    {按钮3, "按钮3", K::PushButton, kWindow, {408, 136, 96, 72}, "开始", false, false, false, kFace},
};
static_assert(std::size(kControls) == kControlCount);

constexpr bool RowsFollowIds() {
  for (std::size_t i = 0; i < std::size(kControls); ++i)
    if (Index(kControls[i].id) != i) return false;
  return true;
}
static_assert(RowsFollowIds(), "the control table is indexed by ControlId");

constexpr MenuItemDefinition kFileItems[] = {
    {MenuItemId::Open, "打开", "打开\tCtrl+O", {'O', true, false}},
};
constexpr MenuItemDefinition kHelpItems[] = {
    {MenuItemId::About, "关于", "关于\tCtrl+A", {'A', true, false}},
};
constexpr MenuDefinition kMenus[] = {
    {"文件", kFileItems},
    {"帮助", kHelpItems},
};

constexpr ControlId kTabOrder[] = {
    编辑框1, 按钮1, 编辑框2, 按钮2, 按钮3, 单选框1, 单选框3, 单选框2, 单选框4,
    单选框0, 编辑框3, 编辑框4, 单选框5, 单选框6, 编辑框5, 单选框7, 单选框8,
};

constexpr ControlId kAnnotationGroup[] = {单选框1, 单选框3, 单选框2, 单选框4, 单选框0};
constexpr ControlId kDepthGroup[] = {单选框5, 单选框6};
constexpr ControlId kSizeStyleGroup[] = {单选框7, 单选框8};
constexpr RadioGroup kRadioGroups[] = {
    {分组框1, kAnnotationGroup},
    {分组框4, kDepthGroup},
    {分组框3, kSizeStyleGroup},
};

constexpr WindowDefinition kMainWindow = {
    .caption = "Velquor_目录树生成器",
    .outerSize = {516, 268},
    .resizable = false,
    .minimiseBox = true,
    .maximiseBox = false,
    .iconResource = "DEFAULT_ICON",
    .background = kFace,
    .textColour = Colour::Rgb(0, 0, 0),
    .font = {"黑体", 13, 400},
    .controls = kControls,
    .menus = kMenus,
    .tabOrder = kTabOrder,
    .radioGroups = kRadioGroups,
};

}  // namespace

const WindowDefinition& MainWindowDefinition() { return kMainWindow; }

const ControlDefinition& Definition(ControlId id) { return kControls[Index(id)]; }

const MenuItemDefinition& Definition(MenuItemId id) {
  for (const MenuDefinition& menu : kMenus)
    for (const MenuItemDefinition& item : menu.items)
      if (item.id == id) return item;
  return kFileItems[0];  // unreachable: every item is in the menu table
}

Rect WindowRect(ControlId id) {
  Rect rect = Definition(id).bounds;
  // Group boxes may in principle nest; follow the chain to the client area.
  for (auto container = Definition(id).container; container; container = Definition(*container).container) {
    rect.left += Definition(*container).bounds.left;
    rect.top += Definition(*container).bounds.top;
  }
  return rect;
}

const RadioGroup* RadioGroupOf(ControlId id) {
  for (const RadioGroup& group : kRadioGroups)
    for (ControlId member : group.members)
      if (member == id) return &group;
  return nullptr;
}

std::optional<MenuItemId> AcceleratorItem(char letter, bool ctrl, bool shift) {
  for (const MenuDefinition& menu : kMenus)
    for (const MenuItemDefinition& item : menu.items) {
      const Accelerator& a = item.accelerator;
      if (a.letter == letter && a.ctrl == ctrl && a.shift == shift) return item.id;
    }
  return std::nullopt;
}

Point CentredPosition(Size screen, Size window) {
  // Integer division in C++ truncates toward zero, also for a screen
  // smaller than the window.
  return {(screen.width - window.width) / 2, (screen.height - window.height) / 2};
}

}  // namespace dirtree
