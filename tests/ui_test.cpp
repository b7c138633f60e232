// The main window without a display: its definition, loading and creation
// handler, event wiring, focus and tab order, radio groups, digits-only boxes
// and the window's keys, driven through the headless surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "ui/headless_surface.h"
#include "ui/main_window.h"
#include "ui/window_definition.h"

namespace dirtree {

// Test output in ASCII: "edit5", "radio0" ...
void PrintTo(ControlId id, std::ostream* os) {
  static const char* const kKinds[] = {"label", "edit", "button", "radio", "group"};
  *os << kKinds[static_cast<int>(Definition(id).kind)] << Definition(id).name.back();
}

namespace {

using enum ControlId;

// The names of the commands as they are called, with their arguments.
class RecordingCommands final : public WindowCommands {
 public:
  explicit RecordingCommands(WindowSurface& surface) : surface_(surface) {}

  void ChooseTargetDirectory() override { calls.push_back("ChooseTargetDirectory"); }
  void ChooseReportPath() override { calls.push_back("ChooseReportPath"); }
  void StartReport() override { calls.push_back("StartReport"); }
  // The depth box follows the depth radio buttons, as the real commands do.
  void DepthFollowsUnlimited() override {
    calls.push_back("DepthFollowsUnlimited");
    surface_.SetEnabled(编辑框4, !surface_.Checked(单选框5));
  }
  void DepthFollowsSpecified() override {
    calls.push_back("DepthFollowsSpecified");
    surface_.SetEnabled(编辑框4, surface_.Checked(单选框6));
  }
  std::optional<bool> PasteInto(ControlId box, const MouseRelease& r) override {
    calls.push_back("PasteInto " + std::string(Definition(box).name) + " " + std::to_string(r.x) + " " +
                    std::to_string(r.y) + " " + std::to_string(r.keys));
    return false;
  }
  void ShowAbout() override { calls.push_back("ShowAbout"); }

  std::vector<std::string> calls;

 private:
  WindowSurface& surface_;
};

using Calls = std::vector<std::string>;

KeyEvent Press(Key key) { return {key}; }
KeyEvent ShiftTab() { return {Key::Tab, 0, false, true}; }
KeyEvent Ctrl(char letter, bool shift = false) { return {Key::Letter, static_cast<std::uint32_t>(letter), true, shift}; }

constexpr ControlId kRadios[] = {单选框5, 单选框6, 单选框1, 单选框3, 单选框0, 单选框2, 单选框4, 单选框7, 单选框8};

// ---------------------------------------------------------------------------
// The definition.

TEST(WindowDefinitionTest, CentredOnThePrimaryScreen) {
  struct Row {
    Size screen;
    Point expected;
  };
  const Row rows[] = {
      {{1920, 1080}, {702, 406}},
      {{1366, 768}, {425, 250}},
      {{1024, 768}, {254, 250}},
      // Smaller than the window: the divisions truncate toward zero.
      {{515, 267}, {0, 0}},
      {{500, 200}, {-8, -34}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.screen.width) + "x" + std::to_string(row.screen.height));
    EXPECT_EQ(CentredPosition(row.screen, MainWindowDefinition().outerSize), row.expected);
  }
}

TEST(WindowDefinitionTest, ControlsInWindowCoordinates) {
  struct Row {
    ControlId control;
    Rect expected;
  };
  const Row rows[] = {
      {编辑框3, {54, 88, 96, 24}},   {单选框5, {192, 88, 48, 24}}, {单选框6, {256, 88, 48, 24}},
      {编辑框4, {312, 88, 80, 24}},  {编辑框5, {450, 90, 46, 24}}, {单选框1, {16, 144, 80, 24}},
      {单选框3, {96, 144, 88, 24}},  {单选框0, {192, 144, 32, 24}}, {单选框2, {16, 168, 80, 24}},
      {单选框4, {96, 168, 80, 24}},  {单选框7, {264, 144, 80, 24}}, {单选框8, {264, 168, 80, 24}},
      {编辑框1, {80, 8, 392, 24}},   {按钮3, {408, 136, 96, 72}},   {分组框5, {406, 72, 98, 48}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.control));
    Rect r = WindowRect(row.control);
    EXPECT_EQ(r.left, row.expected.left);
    EXPECT_EQ(r.top, row.expected.top);
    EXPECT_EQ(r.width, row.expected.width);
    EXPECT_EQ(r.height, row.expected.height);
  }
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

TEST(WindowDefinitionTest, LayoutFitsItsContainersWithoutOverlap) {
  const auto& controls = MainWindowDefinition().controls;
  int right = 0, bottom = 0;
  for (const ControlDefinition& c : controls) {
    SCOPED_TRACE(testing::PrintToString(c.id));
    Rect r = WindowRect(c.id);
    right = std::max(right, r.Right());
    bottom = std::max(bottom, r.Bottom());
    if (c.container) {
      const Rect box = Definition(*c.container).bounds;
      EXPECT_EQ(Definition(*c.container).kind, ControlKind::GroupBox);
      EXPECT_LE(c.bounds.Right(), box.width);
      EXPECT_LE(c.bounds.Bottom(), box.height);
    }
    for (const ControlDefinition& other : controls) {
      if (other.id != c.id && other.container == c.container) {
        EXPECT_FALSE(Overlap(c.bounds, other.bounds)) << testing::PrintToString(other.id);
      }
    }
  }
  EXPECT_EQ(right, 505);
  EXPECT_EQ(bottom, 208);
}

TEST(WindowDefinitionTest, InitialStatesAndColours) {
  const std::set<ControlId> checked = {单选框5, 单选框1, 单选框7};
  const std::set<ControlId> digitsOnly = {编辑框4, 编辑框5};
  for (const ControlDefinition& c : MainWindowDefinition().controls) {
    SCOPED_TRACE(testing::PrintToString(c.id));
    EXPECT_EQ(c.disabled, c.id == 编辑框4);
    EXPECT_EQ(c.checked, checked.contains(c.id));
    EXPECT_EQ(c.digitsOnly, digitsOnly.contains(c.id));
    EXPECT_EQ(c.background,
              c.kind == ControlKind::EditBox ? Colour::Rgb(255, 255, 255) : Colour::Default());
  }
  EXPECT_EQ(Definition(编辑框3).text, "*");
  EXPECT_EQ(Definition(编辑框5).text, "12");
  EXPECT_EQ(Definition(按钮3).text, "开始");
}

// Every control that can take the focus is a stop exactly once, and each
// radio group lists its group box's radio buttons in tab order.
TEST(WindowDefinitionTest, TabOrderAndRadioGroupsCoverTheControls) {
  const WindowDefinition& w = MainWindowDefinition();
  std::vector<ControlId> stops(w.tabOrder.begin(), w.tabOrder.end());
  std::vector<ControlId> focusable;
  for (const ControlDefinition& c : w.controls)
    if (c.kind != ControlKind::Label && c.kind != ControlKind::GroupBox) focusable.push_back(c.id);
  EXPECT_EQ(std::set<ControlId>(stops.begin(), stops.end()), std::set<ControlId>(focusable.begin(), focusable.end()));
  EXPECT_EQ(stops.size(), focusable.size());

  for (const ControlDefinition& c : w.controls) {
    if (c.kind != ControlKind::RadioButton) continue;
    SCOPED_TRACE(testing::PrintToString(c.id));
    const RadioGroup* group = RadioGroupOf(c.id);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->groupBox, *c.container);
  }
  for (const RadioGroup& group : w.radioGroups) {
    std::vector<ControlId> inTabOrder;
    for (ControlId stop : stops)
      if (RadioGroupOf(stop) == &group) inTabOrder.push_back(stop);
    EXPECT_EQ(inTabOrder, std::vector<ControlId>(group.members.begin(), group.members.end()));
  }
}

TEST(WindowDefinitionTest, WindowMenuAndAccelerators) {
  const WindowDefinition& w = MainWindowDefinition();
  EXPECT_EQ(w.caption, "Velquor_目录树生成器");
  EXPECT_EQ(w.outerSize, (Size{516, 268}));
  ASSERT_EQ(w.menus.size(), 2u);
  EXPECT_EQ(w.menus[0].caption, "文件");
  EXPECT_EQ(w.menus[1].caption, "帮助");
  EXPECT_EQ(Definition(MenuItemId::Open).shown, "打开\tCtrl+O");
  EXPECT_EQ(Definition(MenuItemId::About).shown, "关于\tCtrl+A");
  EXPECT_EQ(AcceleratorItem('O', true, false), MenuItemId::Open);
  EXPECT_EQ(AcceleratorItem('A', true, false), MenuItemId::About);
  EXPECT_EQ(AcceleratorItem('A', true, true), std::nullopt);
  EXPECT_EQ(AcceleratorItem('O', false, false), std::nullopt);
}

// ---------------------------------------------------------------------------
// Loading and the window's behaviour.

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest()
      : commands(surface),
        window(surface, commands,
               {.registerWindow =
                    [this](WindowHandle h) {
                      surface.log.push_back("register drop " + std::to_string(static_cast<std::uintptr_t>(h)));
                    },
                .unregisterAll = [this] { surface.log.push_back("unregister drops"); }}) {}

  void LoadAndForget() {
    ASSERT_TRUE(window.Load());
    surface.log.clear();
  }

  std::vector<ControlId> CheckedRadios() const {
    std::vector<ControlId> out;
    for (ControlId r : kRadios)
      if (surface.Checked(r)) out.push_back(r);
    return out;
  }

  HeadlessSurface surface;
  RecordingCommands commands;
  MainWindow window;
};

class LoadedWindowTest : public MainWindowTest {
 protected:
  void SetUp() override { LoadAndForget(); }
};

TEST_F(MainWindowTest, LoadCreatesCentredThenRunsTheCreationHandlerInOrder) {
  surface.SetPrimaryScreenSize({1366, 768});
  ASSERT_TRUE(window.Load());
  const std::string handle = std::to_string(static_cast<std::uintptr_t>(HeadlessSurface::kHandle));
  EXPECT_EQ(surface.log, (Calls{
                             "create 425 250",
                             "background 标签1 default",
                             "background 标签2 default",
                             "margins 编辑框1 5 5",
                             "margins 编辑框2 5 5",
                             "margins 编辑框3 5 5",
                             "margins 编辑框4 5 5",
                             "margins 编辑框5 5 5",
                             "register drop " + handle,
                             "show",
                             "focus 编辑框1",
                         }));
  EXPECT_TRUE(surface.WindowVisible());
  EXPECT_EQ(CheckedRadios(), (std::vector<ControlId>{单选框5, 单选框1, 单选框7}));
  EXPECT_FALSE(surface.Enabled(编辑框4));
  EXPECT_EQ(surface.GetText(编辑框5), "12");
}

TEST_F(MainWindowTest, RefusedWindowRaisesNoEvent) {
  surface.RefuseCreation(true);
  EXPECT_FALSE(window.Load());
  EXPECT_TRUE(surface.log.empty());
}

TEST_F(LoadedWindowTest, TabVisitsTheStopsInOrderPassingOverTheDisabledBox) {
  const std::vector<ControlId> expected = {按钮1,   编辑框2, 按钮2,   按钮3,   单选框1, 单选框3,
                                           单选框2, 单选框4, 单选框0, 编辑框3, 单选框5, 单选框6,
                                           编辑框5, 单选框7, 单选框8, 编辑框1};
  std::vector<ControlId> visited;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(surface.Press(Press(Key::Tab)));
    visited.push_back(*surface.Focus());
  }
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(visited[3], 按钮3);  // four Tabs from start-up
}

TEST_F(LoadedWindowTest, TabAndShiftTabFromAControl) {
  enum class Setup { None, EnableDepthBox, HideDepthGroup, HideButton3 };
  struct Row {
    ControlId from;
    KeyEvent key;
    Setup setup;
    ControlId expected;
  };
  const Row rows[] = {
      {编辑框3, Press(Key::Tab), Setup::None, 单选框5},
      {编辑框1, ShiftTab(), Setup::None, 单选框8},
      {单选框8, Press(Key::Tab), Setup::None, 编辑框1},
      {单选框5, ShiftTab(), Setup::None, 编辑框3},
      {编辑框3, Press(Key::Tab), Setup::EnableDepthBox, 编辑框4},
      {单选框5, ShiftTab(), Setup::EnableDepthBox, 编辑框4},
      {编辑框3, Press(Key::Tab), Setup::HideDepthGroup, 编辑框5},
      {按钮2, Press(Key::Tab), Setup::HideButton3, 单选框1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.from) + (row.key.shift ? " shift+tab" : " tab") + " setup " +
                 std::to_string(static_cast<int>(row.setup)));
    HeadlessSurface s;
    RecordingCommands c(s);
    MainWindow w(s, c);
    ASSERT_TRUE(w.Load());
    if (row.setup == Setup::EnableDepthBox) s.SetEnabled(编辑框4, true);
    if (row.setup == Setup::HideDepthGroup) s.SetVisible(分组框4, false);
    if (row.setup == Setup::HideButton3) s.SetVisible(按钮3, false);
    s.SetFocus(row.from);
    EXPECT_TRUE(s.Press(row.key));
    EXPECT_EQ(s.Focus(), row.expected);
  }
}

TEST_F(LoadedWindowTest, ArrowKeysMoveWithinTheRadioGroupAndWrap) {
  struct Row {
    ControlId from;
    Key key;
    ControlId expected;
  };
  const Row rows[] = {
      {单选框5, Key::Down, 单选框6}, {单选框6, Key::Down, 单选框5}, {单选框5, Key::Up, 单选框6},
      {单选框6, Key::Left, 单选框5}, {单选框1, Key::Right, 单选框3}, {单选框3, Key::Down, 单选框2},
      {单选框1, Key::Left, 单选框0}, {单选框0, Key::Right, 单选框1}, {单选框4, Key::Up, 单选框2},
      {单选框7, Key::Down, 单选框8}, {单选框8, Key::Right, 单选框7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.from) + " key " + std::to_string(static_cast<int>(row.key)));
    HeadlessSurface s;
    RecordingCommands c(s);
    MainWindow w(s, c);
    ASSERT_TRUE(w.Load());
    std::vector<ControlId> clicked;
    for (ControlId r : kRadios) w.Events().clicked[Index(r)] = [&clicked, r] { clicked.push_back(r); };
    s.SetFocus(row.from);
    std::vector<bool> before;
    for (ControlId r : kRadios) before.push_back(s.Checked(r));

    EXPECT_TRUE(s.Press(Press(row.key)));
    EXPECT_EQ(s.Focus(), row.expected);
    EXPECT_EQ(clicked, std::vector<ControlId>{row.expected});
    const RadioGroup* group = RadioGroupOf(row.expected);
    for (std::size_t i = 0; i < std::size(kRadios); ++i) {
      ControlId r = kRadios[i];
      if (RadioGroupOf(r) == group) {
        EXPECT_EQ(s.Checked(r), r == row.expected) << testing::PrintToString(r);
      } else {
        EXPECT_EQ(s.Checked(r), before[i]) << testing::PrintToString(r);
      }
    }
  }
}

TEST_F(LoadedWindowTest, ArrowKeysAreLeftToOtherControls) {
  for (ControlId control : {编辑框1, 按钮3}) {
    surface.SetFocus(control);
    surface.log.clear();
    for (Key key : {Key::Left, Key::Right, Key::Up, Key::Down}) EXPECT_FALSE(surface.Press(Press(key)));
    EXPECT_EQ(surface.Focus(), control);
    EXPECT_TRUE(surface.log.empty());
  }
}

TEST_F(LoadedWindowTest, DownOnTheDepthButtonsSwitchesTheDepthBox) {
  surface.SetFocus(单选框5);
  surface.Press(Press(Key::Down));
  EXPECT_TRUE(surface.Checked(单选框6));
  EXPECT_FALSE(surface.Checked(单选框5));
  EXPECT_TRUE(surface.Enabled(编辑框4));
  EXPECT_EQ(surface.Focus(), 单选框6);

  surface.Press(Press(Key::Down));
  EXPECT_TRUE(surface.Checked(单选框5));
  EXPECT_FALSE(surface.Enabled(编辑框4));
  EXPECT_EQ(surface.Focus(), 单选框5);
  EXPECT_EQ(commands.calls, (Calls{"DepthFollowsSpecified", "DepthFollowsUnlimited"}));
}

TEST_F(LoadedWindowTest, DigitsOnlyBoxesDropOtherTypedCharacters) {
  struct Row {
    std::uint32_t code;
    bool dropped;
  };
  const Row rows[] = {
      {'0', false}, {'9', false}, {'-', false}, {'a', true},  {'Z', true},  {' ', true}, {'.', true},
      {'+', true},  {0xB0, true}, {0xFF, true}, {8, false},  {22, false}, {31, false},
  };
  surface.SetEnabled(编辑框4, true);
  for (ControlId box : {编辑框4, 编辑框5})
    for (const Row& row : rows) {
      SCOPED_TRACE(testing::PrintToString(box) + " code " + std::to_string(row.code));
      surface.SetFocus(box);
      EXPECT_EQ(window.KeyPressed({Key::Character, row.code}), row.dropped);
    }
  // Other boxes take everything.
  surface.SetFocus(编辑框1);
  EXPECT_FALSE(window.KeyPressed({Key::Character, 'a'}));
  EXPECT_FALSE(window.KeyPressed({Key::Character, 0xB0}));
}

TEST_F(LoadedWindowTest, TypingIntoThePaddingBoxKeepsDigitsAndMinus) {
  surface.SetFocus(编辑框5);
  surface.SetCaret(编辑框5, 2);
  surface.Type("a1-b.2");
  EXPECT_EQ(surface.GetText(编辑框5), "121-2");

  surface.SetFocus(编辑框1);
  surface.Type("a1-b.2");
  EXPECT_EQ(surface.GetText(编辑框1), "a1-b.2");
}

TEST_F(LoadedWindowTest, AcceleratorsActBeforeTheFocusedControl) {
  for (ControlId focus : {编辑框1, 编辑框5, 单选框1, 按钮2}) {
    SCOPED_TRACE(testing::PrintToString(focus));
    surface.SetFocus(focus);
    const Text text = surface.GetText(focus);
    commands.calls.clear();
    EXPECT_TRUE(surface.Press(Ctrl('A')));
    EXPECT_TRUE(surface.Press(Ctrl('O')));
    EXPECT_EQ(commands.calls, (Calls{"ShowAbout", "ChooseTargetDirectory"}));
    EXPECT_EQ(surface.Focus(), focus);
    EXPECT_EQ(surface.GetText(focus), text);
  }
  commands.calls.clear();
  EXPECT_FALSE(surface.Press(Ctrl('A', true)));
  EXPECT_FALSE(surface.Press({Key::Letter, 'O'}));
  EXPECT_FALSE(surface.Press(Ctrl('V')));
  EXPECT_TRUE(commands.calls.empty());
}

TEST_F(LoadedWindowTest, EscapeAsksTheCloseQuery) {
  const std::optional<bool> answers[] = {std::nullopt, true, false};
  for (std::optional<bool> answer : answers) {
    SCOPED_TRACE(answer ? (*answer ? "true" : "false") : "no answer");
    HeadlessSurface s;
    RecordingCommands c(s);
    MainWindow w(s, c);
    ASSERT_TRUE(w.Load());
    int asked = 0;
    w.Events().canBeClosed = [&] {
      ++asked;
      return answer;
    };
    EXPECT_TRUE(s.Press(Press(Key::Escape)));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s.Destroyed(), answer != false);
    EXPECT_EQ(s.WindowVisible(), answer == false);
  }
}

TEST_F(LoadedWindowTest, CloseQueryUnregistersDropsThenTheWindowCloses) {
  surface.PressCloseBox();
  EXPECT_EQ(surface.log, (Calls{"unregister drops", "destroy"}));
}

TEST_F(LoadedWindowTest, EndOfSessionAsksWithoutDestroying) {
  window.Events().canBeClosed = [] { return std::optional<bool>(false); };
  EXPECT_FALSE(window.EndSessionQueried());
  window.Events().canBeClosed = [] { return std::optional<bool>(); };
  EXPECT_TRUE(window.EndSessionQueried());
  EXPECT_FALSE(surface.Destroyed());
}

TEST_F(LoadedWindowTest, EnterAndF1DoNothing) {
  for (ControlId focus : {编辑框1, 按钮3, 单选框5}) {
    surface.SetFocus(focus);
    surface.log.clear();
    EXPECT_TRUE(surface.Press(Press(Key::Enter)));
    EXPECT_TRUE(surface.Press(Press(Key::F1)));
    EXPECT_TRUE(surface.log.empty());
    EXPECT_EQ(surface.Focus(), focus);
  }
  EXPECT_TRUE(commands.calls.empty());
}

TEST_F(LoadedWindowTest, SpaceClicksButtonsSelectsRadiosAndTypesInBoxes) {
  surface.SetFocus(按钮3);
  EXPECT_TRUE(surface.Press(Press(Key::Space)));
  surface.SetFocus(单选框6);
  EXPECT_TRUE(surface.Press(Press(Key::Space)));
  EXPECT_EQ(commands.calls, (Calls{"StartReport", "DepthFollowsSpecified"}));
  EXPECT_TRUE(surface.Checked(单选框6));
  EXPECT_FALSE(surface.Checked(单选框5));
  EXPECT_TRUE(surface.Enabled(编辑框4));

  surface.SetFocus(编辑框1);
  EXPECT_FALSE(surface.Press(Press(Key::Space)));
}

TEST_F(LoadedWindowTest, EveryEventReachesItsCommand) {
  struct Row {
    const char* what;
    std::function<void(HeadlessSurface&)> act;
    Calls expected;
  };
  const Row rows[] = {
      {"按钮1", [](HeadlessSurface& s) { s.Click(按钮1); }, {"ChooseTargetDirectory"}},
      {"按钮2", [](HeadlessSurface& s) { s.Click(按钮2); }, {"ChooseReportPath"}},
      {"按钮3", [](HeadlessSurface& s) { s.Click(按钮3); }, {"StartReport"}},
      {"单选框5", [](HeadlessSurface& s) { s.Click(单选框5); }, {"DepthFollowsUnlimited"}},
      {"单选框6", [](HeadlessSurface& s) { s.Click(单选框6); }, {"DepthFollowsSpecified"}},
      {"打开", [](HeadlessSurface& s) { s.SelectMenuItem(MenuItemId::Open); }, {"ChooseTargetDirectory"}},
      {"关于", [](HeadlessSurface& s) { s.SelectMenuItem(MenuItemId::About); }, {"ShowAbout"}},
      {"编辑框1", [](HeadlessSurface& s) { s.ReleaseRightButton(编辑框1, {3, 4, kKeyCtrl}); }, {"PasteInto 编辑框1 3 4 1"}},
      {"编辑框2", [](HeadlessSurface& s) { s.ReleaseRightButton(编辑框2, {0, 0, 0}); }, {"PasteInto 编辑框2 0 0 0"}},
      {"编辑框3", [](HeadlessSurface& s) { s.ReleaseRightButton(编辑框3, {9, 1, kKeyAlt}); }, {"PasteInto 编辑框3 9 1 4"}},
      {"编辑框4", [](HeadlessSurface& s) { s.ReleaseRightButton(编辑框4); }, {}},
      {"编辑框5", [](HeadlessSurface& s) { s.ReleaseRightButton(编辑框5); }, {}},
      {"单选框7", [](HeadlessSurface& s) { s.Click(单选框7); }, {}},
      {"单选框0", [](HeadlessSurface& s) { s.Click(单选框0); }, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    commands.calls.clear();
    row.act(surface);
    EXPECT_EQ(commands.calls, row.expected);
  }
}

TEST_F(LoadedWindowTest, RightButtonAnswersReachThePlatform) {
  EXPECT_EQ(surface.ReleaseRightButton(编辑框1), false);
  EXPECT_EQ(surface.ReleaseRightButton(编辑框5), std::nullopt);
}

TEST_F(LoadedWindowTest, ClickingARadioButtonTouchesOnlyItsGroup) {
  surface.Click(单选框8);
  EXPECT_EQ(CheckedRadios(), (std::vector<ControlId>{单选框5, 单选框1, 单选框8}));
  surface.Click(单选框4);
  EXPECT_EQ(CheckedRadios(), (std::vector<ControlId>{单选框5, 单选框4, 单选框8}));
  // Clicking the checked one again changes nothing.
  surface.Click(单选框4);
  EXPECT_EQ(CheckedRadios(), (std::vector<ControlId>{单选框5, 单选框4, 单选框8}));
}

TEST_F(LoadedWindowTest, FocusComesBackAfterDeactivation) {
  surface.SetFocus(按钮2);
  surface.Deactivate();
  EXPECT_EQ(surface.Focus(), std::nullopt);
  surface.Activate();
  EXPECT_EQ(surface.Focus(), 按钮2);

  // A remembered control that can no longer take the focus gives way to the
  // first stop of the tab order.
  surface.SetEnabled(编辑框4, true);
  surface.SetFocus(编辑框4);
  surface.Deactivate();
  surface.SetEnabled(编辑框4, false);
  surface.Activate();
  EXPECT_EQ(surface.Focus(), 编辑框1);
}

}  // namespace
}  // namespace dirtree
