// The main window's commands and the drop intake, headless: the loaded
// window on the in-memory surface, scripted dialogs and boxes, the report
// writer on the in-memory file system and a scripted drop platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/convert.h"
#include "engine/tree_writer.h"
#include "tests/memory_fs.h"
#include "ui/commands.h"
#include "ui/drop_registry.h"
#include "ui/headless_surface.h"
#include "ui/main_window.h"
#include "ui/scripted_services.h"

namespace dirtree {
namespace {

using enum ControlId;
using Entry = MemoryFileSystem::Entry;

constexpr DropWindow kWindow = static_cast<DropWindow>(HeadlessSurface::kHandle);
constexpr ProcedureAddress kOwnProcedure = 0xAB0C;
constexpr DropHandle kDrop = 0x5150;
const Text kDesktop = "C:\\Users\\me\\Desktop";

// One log of what reaches the disk and the screen, in order.
using EventLog = std::vector<std::string>;

class LoggingFileSystem final : public MemoryFileSystem {
 public:
  explicit LoggingFileSystem(EventLog& log) : log_(log) {}
  std::uint32_t GetEntryAttributes(const Text& path) override {
    log_.push_back("attributes " + ToStdString(path));
    return MemoryFileSystem::GetEntryAttributes(path);
  }
  std::unique_ptr<Enumeration> OpenEnumeration(const Text& pattern) override {
    log_.push_back("enumerate " + ToStdString(pattern));
    return MemoryFileSystem::OpenEnumeration(pattern);
  }
  std::int32_t OpenReportFile(const Text& path) override {
    log_.push_back("open " + ToStdString(path));
    return MemoryFileSystem::OpenReportFile(path);
  }
  void CloseReportFile(std::int32_t number) override {
    log_.push_back("close");
    MemoryFileSystem::CloseReportFile(number);
  }

 private:
  EventLog& log_;
};

class LoggingServices final : public ScriptedServices {
 public:
  explicit LoggingServices(EventLog& log) : log_(log) {}
  void ShowMessage(const MessageRequest& request) override {
    log_.push_back("message " + ToStdString(request.text));
    ScriptedServices::ShowMessage(request);
  }

 private:
  EventLog& log_;
};

Entry File(const char* name, std::int64_t size) { return {name, 0x20, size, FileTimes{}}; }

// The window loaded with the real commands and drop hooks, as start-up
// builds it.
class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    services.desktop = kDesktop;
    dropPlatform.SetProcedure(kWindow, kOwnProcedure);
    fs.SetAttributes("D:\\Work", 0x10);
    fs.SetDirectory("D:\\Work\\", {File("a.txt", 100), File("b.txt", 2048)});
    EXPECT_TRUE(window.Load());
  }

  // Fills the two path boxes as a user would.
  void SetPaths(const Text& target, const Text& report) {
    surface.SetText(编辑框1, target);
    surface.SetText(编辑框2, report);
  }
  Text TextOf(ControlId box) const { return surface.GetText(box); }
  std::size_t CaretOf(ControlId box) const { return surface.State(box).caret; }
  // The one message box shown so far.
  const MessageRequest& OnlyMessage() const {
    EXPECT_EQ(services.messages.size(), 1u);
    return services.messages.back();
  }
  void Drop(std::vector<Text> items) {
    dropPlatform.drops = {{kDrop, std::move(items)}};
    EXPECT_EQ(registry.HandleMessage(kWindow, kDropFilesMessage, kDrop, 0), 0);
  }

  EventLog events;
  HeadlessSurface surface;
  LoggingServices services{events};
  LoggingFileSystem fs{events};
  DirectoryTreeWriter writer{fs};
  MainWindowCommands commands{surface, services, writer, fs};
  DropRecordList records;
  ScriptedDropPlatform dropPlatform;
  DropFileRegistry registry{records, dropPlatform};
  MainWindow window{surface, commands, MainWindowDropHooks(registry, commands)};
};

// --- the path helpers -------------------------------------------------------

TEST(ReportNameTest, LastComponentWithoutSeparatorsOrColons) {
  struct Row {
    const char* target;
    const char* name;
  };
  const Row rows[] = {
      {"D:\\Work\\src", "src"},
      {"D:\\Work\\src\\", "src"},
      {"C:\\", "C"},
      {"", ""},
      {"src", "src"},
      {"D:src", "src"},
      {"D:/Work/src", "src"},
      {"\\\\server\\share\\", "share"},
      // 乗 is 81 5C: its second byte is no separator, neither while looking
      // for the last component nor when the separators are removed.
      {"D:\\Work\\名乗", "名乗"},
      {"D:\\乗名", "乗名"},
      {"D:\\Work\\乗\\", "乗"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    EXPECT_EQ(ReportNameFor(row.target), Text(row.name));
  }
  EXPECT_EQ(LastPathComponent("D:\\Work\\src\\"), Text("src\\"));
}

TEST_F(CommandsTest, DefaultReportNameReadsTheTargetBox) {
  surface.SetText(编辑框1, "E:\\项目\\源码\\");
  EXPECT_EQ(DefaultReportName(surface), Text("源码"));
  EXPECT_EQ(DesktopDirectory(services), kDesktop);
}

// --- choosing the target and the report path ------------------------------

TEST_F(CommandsTest, ChosenFolderBecomesTargetWithDefaultReportOnTheDesktop) {
  services.folderAnswers = {"D:\\Work\\src"};
  surface.Click(按钮1);

  ASSERT_EQ(services.folderRequests.size(), 1u);
  EXPECT_EQ(services.folderRequests[0].title, Text("选择目录树的目标目录"));
  EXPECT_EQ(services.folderRequests[0].owner, HeadlessSurface::kHandle);
  EXPECT_EQ(TextOf(编辑框1), Text("D:\\Work\\src"));
  EXPECT_EQ(CaretOf(编辑框1), 11u);
  EXPECT_EQ(TextOf(编辑框2), kDesktop + "\\src.TXT");
  EXPECT_EQ(CaretOf(编辑框2), 0u);
}

TEST_F(CommandsTest, OpenMenuChoosesTheTargetToo) {
  services.folderAnswers = {"C:\\"};
  surface.SelectMenuItem(MenuItemId::Open);
  EXPECT_EQ(TextOf(编辑框1), Text("C:\\"));
  EXPECT_EQ(TextOf(编辑框2), kDesktop + "\\C.TXT");
}

TEST_F(CommandsTest, CancelledDialogsChangeNothing) {
  SetPaths("D:\\Old", "D:\\old.txt");
  surface.Click(按钮1);
  surface.Click(按钮2);
  EXPECT_EQ(services.folderRequests.size(), 1u);
  EXPECT_EQ(services.saveRequests.size(), 1u);
  EXPECT_EQ(TextOf(编辑框1), Text("D:\\Old"));
  EXPECT_EQ(TextOf(编辑框2), Text("D:\\old.txt"));
}

TEST_F(CommandsTest, SaveDialogOpensOnTheDesktopWithTheDefaultNameAndAsksBeforeOverwriting) {
  surface.SetText(编辑框1, "D:\\Work\\src\\");
  services.saveAnswers = {"D:\\tree"};
  surface.Click(按钮2);

  ASSERT_EQ(services.saveRequests.size(), 1u);
  const SaveDialogRequest& request = services.saveRequests[0];
  EXPECT_EQ(request.title, Text("选择文件保存位置"));
  EXPECT_EQ(request.filterName, Text("文本文件(*.txt)"));
  EXPECT_EQ(request.filterPattern, Text("*.txt"));
  EXPECT_EQ(request.initialDirectory, kDesktop);
  EXPECT_EQ(request.initialName, Text("src"));
  EXPECT_EQ(request.owner, WindowHandle::None);
  EXPECT_TRUE(request.promptOverwrite);
}

TEST_F(CommandsTest, ChosenReportPathGetsTxtOnlyWhenItHasNone) {
  struct Row {
    const char* chosen;
    const char* box;
  };
  const Row rows[] = {
      {"D:\\tree", "D:\\tree.TXT"},
      {"D:\\tree.txt", "D:\\tree.txt"},
      {"D:\\tree.TXT", "D:\\tree.TXT"},
      {"D:\\tree.tXt", "D:\\tree.tXt"},
      {"D:\\tree.txt.bak", "D:\\tree.txt.bak.TXT"},
      {"D:\\txt", "D:\\txt.TXT"},
      {"D:\\报告", "D:\\报告.TXT"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.chosen);
    services.saveAnswers = {row.chosen};
    surface.Click(按钮2);
    EXPECT_EQ(TextOf(编辑框2), Text(row.box));
    EXPECT_EQ(CaretOf(编辑框2), Text(row.box).size());
  }
}

TEST_F(CommandsTest, ExistingReportIsConfirmedUnderTheNameStartWillEmpty) {
  fs.SetAttributes("D:\\tree.TXT", 0x20);
  fs.SetAttributes("D:\\a.log.TXT", 0x20);
  fs.SetAttributes("D:\\old.txt", 0x20);
  struct Row {
    const char* chosen;
    bool yes;           // the answer to a question
    const char* asked;  // the path asked about; nullptr: no question
    const char* box;
  };
  const Row rows[] = {
      {"D:\\tree", true, "D:\\tree.TXT", "D:\\tree.TXT"},
      {"D:\\tree", false, "D:\\tree.TXT", "D:\\before.txt"},
      {"D:\\a.log", true, "D:\\a.log.TXT", "D:\\a.log.TXT"},
      {"D:\\a.log", false, "D:\\a.log.TXT", "D:\\before.txt"},
      // The dialog asked about this name itself, and it stays as chosen.
      {"D:\\old.txt", false, nullptr, "D:\\old.txt"},
      {"D:\\new", false, nullptr, "D:\\new.TXT"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.chosen) + (row.yes ? " yes" : " no"));
    surface.SetText(编辑框2, "D:\\before.txt");
    services.questions.clear();
    services.questionAnswers = {row.yes};
    services.saveAnswers = {row.chosen};
    surface.Click(按钮2);

    EXPECT_EQ(TextOf(编辑框2), Text(row.box));
    if (row.asked == nullptr) {
      EXPECT_TRUE(services.questions.empty());
      continue;
    }
    ASSERT_EQ(services.questions.size(), 1u);
    const MessageRequest& question = services.questions[0];
    EXPECT_EQ(question.owner, HeadlessSurface::kHandle);
    EXPECT_EQ(question.caption, Text("确认另存为"));
    EXPECT_EQ(question.text, Text(row.asked) + " 已存在。\r\n要替换它吗？");
    EXPECT_EQ(question.icon, MessageIcon::kWarning);
  }
}

// --- paste and the depth box -------------------------------------------------

TEST_F(CommandsTest, RightButtonPastesClipboardTextAndKeepsTheMenuShut) {
  for (ControlId box : {编辑框1, 编辑框2, 编辑框3}) {
    SCOPED_TRACE(Definition(box).name);
    surface.SetText(box, "old");
    services.clipboard = "";
    EXPECT_EQ(surface.ReleaseRightButton(box), std::optional<bool>(false));
    EXPECT_EQ(TextOf(box), Text("old"));

    services.clipboard = "D:\\剪贴板";
    EXPECT_EQ(surface.ReleaseRightButton(box), std::optional<bool>(false));
    EXPECT_EQ(TextOf(box), Text("D:\\剪贴板"));
  }
}

TEST_F(CommandsTest, DepthBoxFollowsTheDepthButtons) {
  EXPECT_FALSE(surface.Enabled(编辑框4));
  surface.Click(单选框6);
  EXPECT_TRUE(surface.Enabled(编辑框4));
  surface.Click(单选框5);
  EXPECT_FALSE(surface.Enabled(编辑框4));

  // Each command reads its own button, not the other one.
  surface.SetChecked(单选框5, false);
  surface.SetChecked(单选框6, false);
  commands.DepthFollowsUnlimited();
  EXPECT_TRUE(surface.Enabled(编辑框4));
  commands.DepthFollowsSpecified();
  EXPECT_FALSE(surface.Enabled(编辑框4));
}

// --- Start -------------------------------------------------------------------

TEST_F(CommandsTest, StartWithTheDefaultsWritesExactSizesAfterTwelveBlanks) {
  SetPaths("D:\\Work", "R:\\tree.txt");
  events.clear();
  surface.Click(按钮3);

  EXPECT_EQ(fs.ReportBytes("R:\\tree.txt"),
            "D:\\Work\r\n"
            "├─a.txt            100 B\r\n"
            "└─b.txt            2048 B\r\n");
  // The walk's own questions about the entries are the engine's business.
  std::erase_if(events, [](const std::string& e) { return e.starts_with("attributes D:\\Work\\"); });
  EXPECT_EQ(events, (EventLog{"attributes D:\\Work", "open R:\\tree.txt", "enumerate D:\\Work\\*", "close",
                              "message 完成"}));
  EXPECT_EQ(writer.targetDirectory, Text("D:\\Work"));
  EXPECT_EQ(writer.outputPath, Text("R:\\tree.txt"));
  EXPECT_EQ(writer.entryAttributeMask, 55u);
  EXPECT_EQ(writer.namePattern, Text("*"));
  EXPECT_EQ(writer.annotationKind, kAnnotateSize);
  EXPECT_EQ(writer.depthLimit, -1);
  EXPECT_EQ(writer.annotationPadding, 12);
  EXPECT_EQ(writer.sizeStyle, kSizeBytes);

  const MessageRequest& done = OnlyMessage();
  EXPECT_EQ(done.caption, Text("信息："));
  EXPECT_EQ(done.owner, WindowHandle::None);
  EXPECT_EQ(done.icon, MessageIcon::kNone);
  EXPECT_TRUE(done.taskModal);
}

TEST_F(CommandsTest, AnnotationKindFollowsTheCaptionOfTheCheckedButton) {
  struct Row {
    ControlId radio;
    std::int32_t kind;
  };
  const Row rows[] = {
      {单选框0, kAnnotateNone},     {单选框1, kAnnotateSize},       {单选框2, kAnnotateCreation},
      {单选框3, kAnnotateLastWrite}, {单选框4, kAnnotateLastAccess},
  };
  SetPaths("D:\\Work", "R:\\tree.txt");
  for (const Row& row : rows) {
    SCOPED_TRACE(Definition(row.radio).text);
    surface.Click(row.radio);
    surface.Click(按钮3);
    EXPECT_EQ(writer.annotationKind, row.kind);
  }

  for (const Row& row : rows) surface.SetChecked(row.radio, false);
  surface.Click(按钮3);
  EXPECT_EQ(writer.annotationKind, kAnnotateNone);
}

TEST_F(CommandsTest, CreationTimeButtonWritesTheCreationStamp) {
  FileTimes times;
  times.creation = 36526.5;   // 2000-01-01 12:00
  times.lastWrite = 45000.0;  // 2023-03-15
  times.lastAccess = 45001.0;
  fs.SetDirectory("D:\\Work\\", {{"a.txt", 0x20, 1, times}});
  SetPaths("D:\\Work", "R:\\tree.txt");
  surface.SetText(编辑框5, "1");

  surface.Click(单选框2);
  surface.Click(按钮3);
  EXPECT_EQ(fs.ReportBytes("R:\\tree.txt"), "D:\\Work\r\n└─a.txt " + ToStdString(DateTimeToText(36526.5)) + "\r\n");

  surface.Click(单选框3);
  surface.Click(按钮3);
  EXPECT_EQ(fs.ReportBytes("R:\\tree.txt"), "D:\\Work\r\n└─a.txt " + ToStdString(DateTimeToText(45000.0)) + "\r\n");
}

TEST_F(CommandsTest, DepthPaddingAndSizeStyleComeFromTheBoxes) {
  struct Row {
    bool specified;
    const char* depth;
    const char* padding;
    bool readable;
    std::int32_t depthLimit;
    std::int32_t annotationPadding;
    std::uint8_t sizeStyle;
  };
  const Row rows[] = {
      {false, "3", "12", false, -1, 12, kSizeBytes},
      {true, "", "12", false, 0, 12, kSizeBytes},
      {true, "2", "0", true, 2, 0, kSizeReadable},
      {true, "-1", "-5", false, -1, -5, kSizeBytes},
      {true, "abc", "", true, TextToInteger("abc"), 0, kSizeReadable},
      {true, "１２", " 7", false, TextToInteger("１２"), TextToInteger(" 7"), kSizeBytes},
  };
  SetPaths("D:\\Work", "R:\\tree.txt");
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.depth) + " / " + row.padding);
    surface.Click(row.specified ? 单选框6 : 单选框5);
    surface.Click(row.readable ? 单选框8 : 单选框7);
    surface.SetText(编辑框4, row.depth);
    surface.SetText(编辑框5, row.padding);
    surface.Click(按钮3);
    EXPECT_EQ(writer.depthLimit, row.depthLimit);
    EXPECT_EQ(writer.annotationPadding, row.annotationPadding);
    EXPECT_EQ(writer.sizeStyle, row.sizeStyle);
  }
}

TEST_F(CommandsTest, StartTwiceWritesTheReportAfresh) {
  SetPaths("D:\\Work", "R:\\tree.txt");
  surface.Click(按钮3);
  const std::string first = fs.ReportBytes("R:\\tree.txt");
  surface.Click(按钮3);
  EXPECT_EQ(fs.ReportBytes("R:\\tree.txt"), first);
  EXPECT_EQ(services.messages.size(), 2u);
}

TEST_F(CommandsTest, TargetThatIsNoFolderStopsBeforeTheReportIsTouched) {
  // An earlier report that a mistake must not truncate.
  std::int32_t earlier = fs.OpenReportFile("R:\\tree.txt");
  fs.WriteTextLine(earlier, "earlier");
  fs.CloseReportFile(earlier);
  fs.SetAttributes("D:\\a.txt", 0x20);
  fs.SetAttributes("D:\\Hidden", 0x12);

  struct Row {
    const char* target;
    const char* error;
  };
  const Row rows[] = {
      {"", "请先选择目标目录"},
      {"D:\\Nope", "目标目录不存在：D:\\Nope"},
      {"D:\\a.txt", "目标目录不存在：D:\\a.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    services.messages.clear();
    events.clear();
    SetPaths(row.target, "R:\\tree.txt");
    surface.Click(按钮3);

    const MessageRequest& error = OnlyMessage();
    EXPECT_EQ(error.text, Text(row.error));
    EXPECT_EQ(error.caption, Text("错误"));
    EXPECT_EQ(error.icon, MessageIcon::kError);
    EXPECT_EQ(error.owner, HeadlessSurface::kHandle);
    for (const std::string& event : events) EXPECT_EQ(event.rfind("open", 0), std::string::npos) << event;
    EXPECT_EQ(fs.ReportBytes("R:\\tree.txt"), "earlier\r\n");
  }

  // Any folder word will do for a target, not only the plain one.
  services.messages.clear();
  fs.SetDirectory("D:\\Hidden\\", {File("x", 1)});
  SetPaths("D:\\Hidden", "R:\\tree.txt");
  surface.Click(按钮3);
  EXPECT_EQ(OnlyMessage().text, Text("完成"));
}

TEST_F(CommandsTest, ReportThatCannotBeCreatedIsReportedAndNothingIsWalked) {
  SetPaths("D:\\Work", "");
  events.clear();
  surface.Click(按钮3);

  EXPECT_EQ(events, (EventLog{"attributes D:\\Work", "open ", "message 无法创建报告文件："}));
  EXPECT_EQ(OnlyMessage().caption, Text("错误"));
  EXPECT_TRUE(fs.EnumeratedPatterns().empty());
}

TEST_F(CommandsTest, FailedWriteClosesTheReportAndSaysSo) {
  SetPaths("D:\\Work", "R:\\tree.txt");
  fs.FailWritesAfter(1);
  events.clear();
  surface.Click(按钮3);

  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "close");
  EXPECT_EQ(events.back(), "message 写入报告文件失败：R:\\tree.txt");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kError);
  EXPECT_EQ(fs.ReportBytes("R:\\tree.txt"), "D:\\Work\r\n");
}

// --- About -------------------------------------------------------------------

TEST_F(CommandsTest, AboutBoxIsOwnedByTheWindowWithTwoLines) {
  surface.SelectMenuItem(MenuItemId::About);
  const MessageRequest& about = OnlyMessage();
  EXPECT_EQ(about.caption, Text("Velquor目录树生成器 v1.0"));
  EXPECT_EQ(about.owner, HeadlessSurface::kHandle);
  EXPECT_EQ(about.icon, MessageIcon::kNone);
  EXPECT_TRUE(about.taskModal);

  const std::string text = ToStdString(about.text);
  const std::size_t lineEnd = text.find("\r\n");
  ASSERT_NE(lineEnd, std::string::npos);
  EXPECT_GT(lineEnd, 0u);
  EXPECT_LT(lineEnd + 2, text.size());
  EXPECT_EQ(text.find("\r\n", lineEnd + 2), std::string::npos);
  EXPECT_EQ(text.find('\n'), lineEnd + 1);
  EXPECT_NE(text.find("dirtree"), std::string::npos);
}

// --- dropped folders ---------------------------------------------------------

TEST_F(CommandsTest, DroppedItemsSetTheBoxesOnlyForFolderWords) {
  const Text longFolder = "D:\\" + Text(256, 'a');  // 259 bytes
  fs.SetAttributes("D:\\Work\\src", 0x10);
  fs.SetAttributes("D:\\ro", 0x11);
  fs.SetAttributes("D:\\sys", 0x14);
  fs.SetAttributes("D:\\hs", 0x16);
  fs.SetAttributes("D:\\archived", 0x30);
  fs.SetAttributes("D:\\hidden", 0x12);
  fs.SetAttributes("D:\\c.txt", 0x20);
  fs.SetAttributes("D:\\目录乗", 0x10);
  fs.SetAttributes(longFolder, 0x10);

  struct Row {
    std::vector<Text> items;
    const char* target;  // nullptr: the boxes keep their texts
    const char* name;
  };
  const Row rows[] = {
      {{"D:\\Work\\src"}, "D:\\Work\\src", "src"},
      {{"D:\\c.txt"}, nullptr, nullptr},
      {{"D:\\ro"}, "D:\\ro", "ro"},
      {{"D:\\sys"}, "D:\\sys", "sys"},
      {{"D:\\hs"}, "D:\\hs", "hs"},
      {{"D:\\archived"}, nullptr, nullptr},
      {{"D:\\hidden"}, nullptr, nullptr},
      {{"D:\\gone"}, nullptr, nullptr},
      {{""}, nullptr, nullptr},
      {{"D:\\目录乗"}, "D:\\目录乗", "目录乗"},
      {{"D:\\c.txt", "D:\\ro", "D:\\archived", "D:\\Work\\src", "D:\\c.txt"}, "D:\\Work\\src", "src"},
      {{longFolder}, longFolder.c_str(), longFolder.c_str() + 3},
      // One byte over: skipped whole, although its first 259 bytes name a folder.
      {{longFolder + "b"}, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToStdString(row.items.back()).substr(0, 40));
    SetPaths("keep1", "keep2");
    dropPlatform.finished.clear();
    Drop(row.items);
    EXPECT_EQ(dropPlatform.finished, std::vector<DropHandle>{kDrop});
    if (row.target == nullptr) {
      EXPECT_EQ(TextOf(编辑框1), Text("keep1"));
      EXPECT_EQ(TextOf(编辑框2), Text("keep2"));
      continue;
    }
    EXPECT_EQ(TextOf(编辑框1), Text(row.target));
    EXPECT_EQ(CaretOf(编辑框1), Text(row.target).size());
    EXPECT_EQ(TextOf(编辑框2), kDesktop + "\\" + row.name + ".TXT");
  }
  EXPECT_TRUE(dropPlatform.forwarded.empty());
}

TEST_F(CommandsTest, CallbackGetsEachPathWithItsLength) {
  std::vector<std::pair<std::uint32_t, std::string>> seen;
  DropRecordList otherRecords;
  DropFileRegistry other(otherRecords, dropPlatform);
  ASSERT_TRUE(other.RegisterDropTarget(0x99, [&](std::uint32_t count, const char* path) {
    seen.emplace_back(count, path);
  }));
  dropPlatform.drops = {{kDrop, {"D:\\一", "", Text(260, 'x'), "E:\\b"}}};
  EXPECT_EQ(other.HandleMessage(0x99, kDropFilesMessage, kDrop, 0), 0);
  EXPECT_EQ(seen, (std::vector<std::pair<std::uint32_t, std::string>>{{5, "D:\\一"}, {0, ""}, {4, "E:\\b"}}));
}

TEST_F(CommandsTest, CreationRegistersTheWindowAndTheCloseQueryRestoresIt) {
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].window, kWindow);
  EXPECT_EQ(records[0].previousProcedure, kOwnProcedure);
  EXPECT_EQ(dropPlatform.accepted, std::vector<DropWindow>{kWindow});
  EXPECT_EQ(dropPlatform.ProcedureOf(kWindow), ScriptedDropPlatform::kDropProcedure);

  surface.PressCloseBox();
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(dropPlatform.ProcedureOf(kWindow), kOwnProcedure);
  EXPECT_TRUE(surface.Destroyed());
}

// --- the registry ------------------------------------------------------------

class DropRegistryTest : public ::testing::Test {
 protected:
  DropRegistryTest() {
    for (DropWindow w : {1, 2, 3}) platform.SetProcedure(w, 0x100 + w);
  }
  std::vector<DropWindow> Windows() const {
    std::vector<DropWindow> windows;
    for (const DropRecord& record : records) windows.push_back(record.window);
    return windows;
  }
  static void Ignore(std::uint32_t, const char*) {}

  DropRecordList records;
  ScriptedDropPlatform platform;
  DropFileRegistry registry{records, platform};
};

TEST_F(DropRegistryTest, SecondRegistrationOfAWindowChangesNothing) {
  EXPECT_TRUE(registry.RegisterDropTarget(1, Ignore));
  EXPECT_FALSE(registry.RegisterDropTarget(1, Ignore));
  EXPECT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].previousProcedure, 0x101u);
  EXPECT_EQ(platform.accepted, std::vector<DropWindow>{1});

  // A copy works on the same records.
  DropFileRegistry copy = registry;
  EXPECT_FALSE(copy.RegisterDropTarget(1, Ignore));
}

TEST_F(DropRegistryTest, OtherMessagesGoToThePreviousProcedure) {
  registry.RegisterDropTarget(2, Ignore);
  platform.forwardedResult = -42;
  const std::uintptr_t wide = ~std::uintptr_t{0} - 1;  // every bit of a pointer-sized value survives
  EXPECT_EQ(registry.HandleMessage(2, 0x0010, wide, -3), -42);
  ASSERT_EQ(platform.forwarded.size(), 1u);
  const auto& call = platform.forwarded[0];
  EXPECT_EQ(call.procedure, 0x102u);
  EXPECT_EQ(call.window, 2u);
  EXPECT_EQ(call.message, 0x0010u);
  EXPECT_EQ(call.wParam, wide);
  EXPECT_EQ(call.lParam, -3);

  // A window without a record gets 0 and nothing is passed on.
  EXPECT_EQ(registry.HandleMessage(3, 0x0010, 0, 0), 0);
  EXPECT_EQ(registry.HandleMessage(3, kDropFilesMessage, kDrop, 0), 0);
  EXPECT_EQ(platform.forwarded.size(), 1u);
  EXPECT_TRUE(platform.finished.empty());
}

TEST_F(DropRegistryTest, UnregisteringRestoresTheProcedureAndKeepsTheOrder) {
  for (DropWindow w : {1, 2, 3}) registry.RegisterDropTarget(w, Ignore);
  EXPECT_TRUE(registry.UnregisterDropTarget(2));
  EXPECT_EQ(Windows(), (std::vector<DropWindow>{1, 3}));
  EXPECT_EQ(platform.ProcedureOf(2), 0x102u);
  EXPECT_EQ(platform.ProcedureOf(1), ScriptedDropPlatform::kDropProcedure);
  EXPECT_FALSE(registry.UnregisterDropTarget(2));

  EXPECT_TRUE(registry.UnregisterDropTarget(0));
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(platform.ProcedureOf(1), 0x101u);
  EXPECT_EQ(platform.ProcedureOf(3), 0x103u);
  EXPECT_TRUE(registry.UnregisterDropTarget(0));

  // Accepting drops at the shell's level is never switched off.
  EXPECT_EQ(platform.accepted, (std::vector<DropWindow>{1, 2, 3}));
}

TEST_F(DropRegistryTest, CallbackMayUnregisterDuringADrop) {
  std::vector<std::string> seen;
  registry.RegisterDropTarget(1, [&](std::uint32_t, const char* path) {
    seen.emplace_back(path);
    registry.UnregisterDropTarget(1);
  });
  platform.drops = {{kDrop, {"a", "b"}}};
  EXPECT_EQ(registry.HandleMessage(1, kDropFilesMessage, kDrop, 0), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(platform.finished, std::vector<DropHandle>{kDrop});
  EXPECT_TRUE(records.empty());
}

}  // namespace
}  // namespace dirtree
