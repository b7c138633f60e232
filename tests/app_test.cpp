// Start-up and shutdown without a display: the exit routines, the
// program-wide objects, the closing sequence of the main window on the
// headless surface, and the fatal memory failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "tests/memory_fs.h"
#include "ui/commands.h"
#include "ui/headless_surface.h"
#include "ui/main_window.h"
#include "ui/scripted_services.h"

namespace dirtree {
namespace {

constexpr DropWindow kWindow = static_cast<DropWindow>(HeadlessSurface::kHandle);
constexpr ProcedureAddress kOwnProcedure = 0xAB0C;

// Exit routines are plain functions; they report here.
std::vector<std::string> routineLog;
ExitRoutines* routinesUnderTest = nullptr;
void First() { routineLog.push_back("first"); }
void Second() { routineLog.push_back("second"); }
void AddsSecond() {
  routineLog.push_back("adds second");
  routinesUnderTest->Add(Second);
}

class ExitRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    routineLog.clear();
    routinesUnderTest = &routines;
  }
  ExitRoutines routines;
};

TEST_F(ExitRoutinesTest, AddedOnceRunInOrderThenEmptied) {
  routines.Add(Second);
  routines.Add(First);
  routines.Add(Second);
  EXPECT_EQ(routines.size(), 2u);
  routines.RunAll();
  EXPECT_EQ(routineLog, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(routines.size(), 0u);
  routines.RunAll();
  EXPECT_EQ(routineLog.size(), 2u);
}

TEST_F(ExitRoutinesTest, RoutineAddedWhileRunningAlsoRuns) {
  routines.Add(AddsSecond);
  routines.RunAll();
  EXPECT_EQ(routineLog, (std::vector<std::string>{"adds second", "second"}));
}

TEST_F(ExitRoutinesTest, FatalFailureShowsTheMessageAndSkipsTheRoutines) {
  ProgramLifecycle lifecycle(nullptr);
  lifecycle.exitRoutines().Add(First);
  std::vector<std::string> shown;
  std::vector<int> exitCodes;
  EndWithAllocationFailure(lifecycle, 1073741825,
                           {[&](std::string_view message) {
                              // The routines are still there while the box is up.
                              EXPECT_EQ(lifecycle.exitRoutines().size(), 1u);
                              shown.emplace_back(message);
                            },
                            [&](int exitCode) { exitCodes.push_back(exitCode); }});
  EXPECT_EQ(shown,
            (std::vector<std::string>{"运行时出错!\r\n\r\n错误信息：分配 1073741825 字节内存失败!\r\n"}));
  EXPECT_EQ(exitCodes, (std::vector<int>{-1}));
  lifecycle.exitRoutines().RunAll();
  EXPECT_TRUE(routineLog.empty());
}

class GlobalObjectsTest : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseGlobalObjects(); }

  void Create() {
    CreateGlobalObjects({.makeDropRegistry = [this](DropRecordList& records) {
                           return DropFileRegistry(records, platform);
                         },
                         .fileSystem = &fileSystem,
                         .trace = [this](std::string_view event) { trace.emplace_back(event); }});
  }

  ScriptedDropPlatform platform;
  MemoryFileSystem fileSystem;
  std::vector<std::string> trace;
};

TEST_F(GlobalObjectsTest, CreatedAndReleasedInOrder) {
  Create();
  GlobalObjects& objects = TheGlobalObjects();
  ASSERT_TRUE(objects.dropRegistry && objects.treeWriter);
  const DirectoryTreeWriter& writer = *objects.treeWriter;
  EXPECT_EQ(writer.outputFile, 0);
  EXPECT_EQ(writer.depthLimit, 0);
  EXPECT_EQ(writer.annotationPadding, 0);
  EXPECT_EQ(writer.entryAttributeMask, 0u);
  EXPECT_TRUE(writer.targetDirectory.empty() && writer.outputPath.empty() && writer.namePattern.empty());
  EXPECT_TRUE(objects.dropRecords.empty());

  // The registry works on the program's record list.
  platform.SetProcedure(kWindow, kOwnProcedure);
  EXPECT_TRUE(objects.dropRegistry->RegisterDropTarget(kWindow, nullptr));
  EXPECT_EQ(objects.dropRecords.size(), 1u);

  // Records still registered at exit are freed with the list.
  ReleaseGlobalObjects();
  EXPECT_EQ(trace, (std::vector<std::string>{"create dropRegistry", "create treeWriter", "create dropRecords",
                                             "release dropRegistry", "release treeWriter", "release dropRecords"}));
  EXPECT_FALSE(objects.dropRegistry || objects.treeWriter);
  EXPECT_TRUE(objects.dropRecords.empty());
  EXPECT_EQ(objects.dropRecords.capacity(), 0u);
}

TEST_F(GlobalObjectsTest, ReleasingTwiceReleasesOnce) {
  Create();
  ReleaseGlobalObjects();
  ReleaseGlobalObjects();
  EXPECT_EQ(trace.size(), 6u);
}

// The program put together as the entry routine does, on the headless
// surface: the global objects, the window with its commands and drop hooks,
// and a lifecycle whose quit message lands in the surface's log.
class ClosingTest : public ::testing::Test {
 protected:
  ClosingTest()
      : lifecycle([this](int exitCode) { headless.log.push_back("quit " + std::to_string(exitCode)); }),
        surface(headless, lifecycle) {
    CreateGlobalObjects({.makeDropRegistry = [this](DropRecordList& records) {
                           return DropFileRegistry(records, platform);
                         },
                         .fileSystem = &fileSystem,
                         .trace = [this](std::string_view event) { headless.log.emplace_back(event); }});
    lifecycle.exitRoutines().Add(ReleaseGlobalObjects);
    platform.SetProcedure(kWindow, kOwnProcedure);
    GlobalObjects& objects = TheGlobalObjects();
    commands.emplace(surface, services, *objects.treeWriter, fileSystem);
    DropHooks hooks = MainWindowDropHooks(*objects.dropRegistry, *commands);
    // Note the moment the registration is undone, and what it left.
    hooks.unregisterAll = [this, undo = hooks.unregisterAll] {
      undo();
      headless.log.push_back("unregistered, " + std::to_string(TheGlobalObjects().dropRecords.size()) +
                             " records, own procedure " +
                             (platform.ProcedureOf(kWindow) == kOwnProcedure ? "back" : "missing"));
    };
    window.emplace(surface, *commands, hooks);
  }
  ~ClosingTest() override { ReleaseGlobalObjects(); }

  // The log from the first line that starts with `first` on.
  std::vector<std::string> LogFrom(std::string_view first) const {
    auto it = std::find_if(headless.log.begin(), headless.log.end(),
                           [first](const std::string& line) { return line.starts_with(first); });
    return {it, headless.log.end()};
  }

  HeadlessSurface headless;
  ProgramLifecycle lifecycle;
  ProgramSurface surface;
  ScriptedDropPlatform platform;
  MemoryFileSystem fileSystem;
  ScriptedServices services;
  std::optional<MainWindowCommands> commands;
  std::optional<MainWindow> window;
};

TEST_F(ClosingTest, CloseBoxUnregistersDestroysQuitsThenReleases) {
  ASSERT_TRUE(window->Load());
  EXPECT_TRUE(lifecycle.AnyWindow());
  EXPECT_EQ(TheGlobalObjects().dropRecords.size(), 1u);
  EXPECT_EQ(platform.ProcedureOf(kWindow), ScriptedDropPlatform::kDropProcedure);

  bool looped = false;
  lifecycle.RunMessageLoop([&] {
    looped = true;
    headless.PressCloseBox();
  });
  EXPECT_TRUE(looped);
  EXPECT_FALSE(lifecycle.AnyWindow());
  lifecycle.exitRoutines().RunAll();

  EXPECT_EQ(LogFrom("unregistered"),
            (std::vector<std::string>{"unregistered, 0 records, own procedure back", "destroy", "quit 0",
                                      "release dropRegistry", "release treeWriter", "release dropRecords"}));
}

TEST_F(ClosingTest, EscapeClosesLikeTheCloseBox) {
  ASSERT_TRUE(window->Load());
  lifecycle.RunMessageLoop([&] { headless.Press({Key::Escape}); });
  EXPECT_EQ(LogFrom("unregistered"),
            (std::vector<std::string>{"unregistered, 0 records, own procedure back", "destroy", "quit 0"}));
}

TEST_F(ClosingTest, NoQuitMessageBeforeTheLoopStarted) {
  ASSERT_TRUE(window->Load());
  headless.PressCloseBox();
  EXPECT_EQ(LogFrom("unregistered"),
            (std::vector<std::string>{"unregistered, 0 records, own procedure back", "destroy"}));
  // With no window left the loop returns at once.
  bool looped = false;
  lifecycle.RunMessageLoop([&] { looped = true; });
  EXPECT_FALSE(looped);
  EXPECT_TRUE(lifecycle.LoopStarted());
}

TEST_F(ClosingTest, WindowDestroyedWithoutTheLogicAskingStillEndsTheLoop) {
  ASSERT_TRUE(window->Load());
  lifecycle.RunMessageLoop([&] {
    // Destroyed by the platform surface itself, not through the program's.
    headless.DestroyWindow();
    surface.DestroyWindow();
  });
  EXPECT_FALSE(lifecycle.AnyWindow());
  EXPECT_EQ(LogFrom("destroy"), (std::vector<std::string>{"destroy", "quit 0", "destroy"}));
}

TEST_F(ClosingTest, WindowThatCannotBeCreatedEndsTheLoopAtOnce) {
  headless.RefuseCreation(true);
  EXPECT_FALSE(window->Load());
  EXPECT_FALSE(lifecycle.AnyWindow());
  bool looped = false;
  lifecycle.RunMessageLoop([&] { looped = true; });
  EXPECT_FALSE(looped);
  EXPECT_TRUE(TheGlobalObjects().dropRecords.empty());
}

}  // namespace
}  // namespace dirtree
