// The program's life from start to end, as far as it does not depend on the
// platform: the exit routines, the message loop's start and end condition,
// the set of the program's windows, the three program-wide objects and the
// fatal memory failure. app/main_win32.cpp puts it together with the window
// system.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tree_writer.h"
#include "fs/fs.h"
#include "ui/drop_registry.h"
#include "ui/surface.h"

namespace dirtree {

using ExitRoutine = void (*)();

// Routines run once, in the order added, when the program ends normally.
class ExitRoutines {
 public:
  // A routine already in the list is not added again.
  void Add(ExitRoutine routine);
  // Runs every routine in the order added, then empties the list. A routine
  // added while they run is run too.
  void RunAll();
  // Forgets every routine without running it (the fatal path).
  void Discard() { routines_.clear(); }
  std::size_t size() const { return routines_.size(); }

 private:
  std::vector<ExitRoutine> routines_;
};

// The lifecycle state: exit routines, the loop-started flag and the number
// of the program's windows that exist.
class ProgramLifecycle {
 public:
  // `postQuit` posts the quit message with the given exit code.
  explicit ProgramLifecycle(std::function<void(int)> postQuit) : postQuit_(std::move(postQuit)) {}

  ExitRoutines& exitRoutines() { return exitRoutines_; }

  // One of the program's windows was loaded, or has been destroyed. When
  // the last one is gone and the message loop runs, the quit message (exit
  // code 0) is posted.
  void WindowLoaded() { ++windows_; }
  void WindowDestroyed();
  bool AnyWindow() const { return windows_ > 0; }

  bool LoopStarted() const { return loopStarted_; }
  // Sets the loop-started flag; returns at once when no window of the
  // program exists, otherwise runs `fetchAndDispatch`, which returns when
  // the quit message has been fetched.
  void RunMessageLoop(const std::function<void()>& fetchAndDispatch);

 private:
  std::function<void(int)> postQuit_;
  ExitRoutines exitRoutines_;
  int windows_ = 0;
  bool loopStarted_ = false;
};

// A window surface whose window counts among the program's windows: a
// successful Create adds it, its destruction removes it (which may post the
// quit message). The destruction is the one the platform's surface reports,
// so it counts however the window was destroyed. Everything else goes to the
// platform's surface, and its reports on to the window's own listener.
class ProgramSurface final : public WindowSurface, private SurfaceListener {
 public:
  ProgramSurface(WindowSurface& surface, ProgramLifecycle& lifecycle) : surface_(surface), lifecycle_(lifecycle) {}

  Size PrimaryScreenSize() const override { return surface_.PrimaryScreenSize(); }
  bool Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) override;
  WindowHandle Handle() const override { return surface_.Handle(); }
  Colour WindowBackground() const override { return surface_.WindowBackground(); }
  void ShowWindow() override { surface_.ShowWindow(); }
  bool WindowVisible() const override { return surface_.WindowVisible(); }
  void DestroyWindow() override { surface_.DestroyWindow(); }
  Text GetText(ControlId control) const override { return surface_.GetText(control); }
  void SetText(ControlId control, const Text& text) override { surface_.SetText(control, text); }
  void SetCaret(ControlId control, std::size_t offset) override { surface_.SetCaret(control, offset); }
  bool Enabled(ControlId control) const override { return surface_.Enabled(control); }
  void SetEnabled(ControlId control, bool enabled) override { surface_.SetEnabled(control, enabled); }
  bool Checked(ControlId control) const override { return surface_.Checked(control); }
  void SetChecked(ControlId control, bool checked) override { surface_.SetChecked(control, checked); }
  bool Visible(ControlId control) const override { return surface_.Visible(control); }
  void SetVisible(ControlId control, bool visible) override { surface_.SetVisible(control, visible); }
  std::optional<ControlId> Focus() const override { return surface_.Focus(); }
  void SetFocus(ControlId control) override { surface_.SetFocus(control); }
  void SetBackground(ControlId control, Colour colour) override { surface_.SetBackground(control, colour); }
  void SetEditMargins(ControlId control, int left, int right) override {
    surface_.SetEditMargins(control, left, right);
  }

 private:
  // SurfaceListener: the platform surface's reports, passed on.
  bool KeyPressed(const KeyEvent& key) override { return listener_->KeyPressed(key); }
  void Clicked(ControlId control) override { listener_->Clicked(control); }
  std::optional<bool> RightButtonReleased(ControlId control, const MouseRelease& release) override {
    return listener_->RightButtonReleased(control, release);
  }
  void MenuSelected(MenuItemId item) override { listener_->MenuSelected(item); }
  void CloseRequested() override { listener_->CloseRequested(); }
  bool EndSessionQueried() override { return listener_->EndSessionQueried(); }
  void Activated() override { listener_->Activated(); }
  void Deactivated() override { listener_->Deactivated(); }
  void Destroyed() override;

  WindowSurface& surface_;
  ProgramLifecycle& lifecycle_;
  SurfaceListener* listener_ = nullptr;
  bool exists_ = false;
};

// The program-wide objects. `dropRecords` is part of this holder, so the
// registry, which keeps only the list's address, can be made before the list
// is set up; the list is empty and unused until CreateGlobalObjects has run.
struct GlobalObjects {
  std::optional<DropFileRegistry> dropRegistry;
  std::optional<DirectoryTreeWriter> treeWriter;
  DropRecordList dropRecords;
  bool dropRecordsCreated = false;
};

// What the objects are made of on this platform.
struct GlobalObjectsSetup {
  // The registry on the given record list, with the platform's window calls.
  std::function<DropFileRegistry(DropRecordList&)> makeDropRegistry;
  FileSystem* fileSystem = nullptr;
  // Told "create <name>" and "release <name>" as each object is created and
  // released; for tests, may be empty.
  std::function<void(std::string_view)> trace;
};

GlobalObjects& TheGlobalObjects();

// Creates dropRegistry, then treeWriter (every number 0, every text empty),
// then the empty dropRecords.
void CreateGlobalObjects(const GlobalObjectsSetup& setup);
// Releases them in the same order: the registry, the writer (its texts; a
// report file it holds is not closed), then every record and the list.
// An exit routine.
void ReleaseGlobalObjects();

// The start routine; it has nothing to do in this program.
int RunStartRoutine();

// What the fatal failure does on the platform: show the message (GBK) in an
// error box without owner; end the process with `exitCode` (never returns).
// Set up before memory can run out: the failure itself then copies nothing.
struct FatalFailureActions {
  std::function<void(std::string_view message)> show;
  std::function<void(int exitCode)> endProcess;
};

// The fatal memory failure: the error box, then the exit routines are
// discarded without being run and the process ends with exit code -1. It
// allocates nothing itself: the message is built in storage of its own.
void EndWithAllocationFailure(ProgramLifecycle& lifecycle, std::int64_t bytes, const FatalFailureActions& actions);

}  // namespace dirtree
