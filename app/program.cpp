// The platform-free half of start-up and shutdown.
#include "app/program.h"

#include <algorithm>
#include <utility>

namespace dirtree {
namespace {

GlobalObjects globalObjects;
std::function<void(std::string_view)> globalObjectsTrace;

void Trace(std::string_view event) {
  if (globalObjectsTrace) globalObjectsTrace(event);
}

}  // namespace

void ExitRoutines::Add(ExitRoutine routine) {
  if (std::find(routines_.begin(), routines_.end(), routine) == routines_.end()) routines_.push_back(routine);
}

void ExitRoutines::RunAll() {
  // By index: a routine may add another, which then runs as well.
  for (std::size_t i = 0; i < routines_.size(); ++i) routines_[i]();
  routines_.clear();
}

void ProgramLifecycle::WindowDestroyed() {
  if (windows_ > 0) --windows_;
  if (windows_ == 0 && loopStarted_ && postQuit_) postQuit_(0);
}

void ProgramLifecycle::RunMessageLoop(const std::function<void()>& fetchAndDispatch) {
  loopStarted_ = true;
  if (!AnyWindow()) return;
  fetchAndDispatch();
}

bool ProgramSurface::Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) {
  listener_ = &listener;
  if (!surface_.Create(definition, position, *this)) return false;
  exists_ = true;
  lifecycle_.WindowLoaded();
  return true;
}

void ProgramSurface::Destroyed() {
  listener_->Destroyed();
  if (!exists_) return;
  exists_ = false;
  lifecycle_.WindowDestroyed();
}

GlobalObjects& TheGlobalObjects() { return globalObjects; }

void CreateGlobalObjects(const GlobalObjectsSetup& setup) {
  GlobalObjects& objects = globalObjects;
  globalObjectsTrace = setup.trace;
  objects.dropRegistry.emplace(setup.makeDropRegistry(objects.dropRecords));
  Trace("create dropRegistry");
  objects.treeWriter.emplace(*setup.fileSystem);
  Trace("create treeWriter");
  objects.dropRecords.clear();
  objects.dropRecordsCreated = true;
  Trace("create dropRecords");
}

void ReleaseGlobalObjects() {
  GlobalObjects& objects = globalObjects;
  if (objects.dropRegistry) {
    objects.dropRegistry.reset();
    Trace("release dropRegistry");
  }
  if (objects.treeWriter) {
    objects.treeWriter.reset();
    Trace("release treeWriter");
  }
  if (objects.dropRecordsCreated) {
    // Every record left and the list's own storage.
    DropRecordList().swap(objects.dropRecords);
    objects.dropRecordsCreated = false;
    Trace("release dropRecords");
  }
  globalObjectsTrace = nullptr;
}

int RunStartRoutine() { return 0; }

void EndWithAllocationFailure(ProgramLifecycle& lifecycle, std::int64_t bytes, const FatalFailureActions& actions) {
  const AllocationFailureText message = FormatAllocationFailure(bytes);
  if (actions.show) actions.show(message.view());
  lifecycle.exitRoutines().Discard();
  if (actions.endProcess) actions.endProcess(-1);
}

}  // namespace dirtree
