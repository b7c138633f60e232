// dirtree.exe: the window program's entry routine. Prepares the platform,
// creates the program-wide objects, loads the main window, runs the message
// loop and ends the program, on the one user-interface thread.
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cfenv>
#include <iterator>
#include <string>
#include <string_view>

#include "app/program.h"
#include "fs/fs.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/services.h"
#include "ui/win32_surface.h"

namespace dirtree {
namespace {

constexpr UINT kGbkCodePage = 936;

// The lifecycle state, reachable from the allocation-failure handler, which
// gets no context of its own.
ProgramLifecycle* runningProgram = nullptr;

// Started and ended with the program; the folder browser needs it.
class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() { End(); }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  void End() {
    if (initialised_) OleUninitialize();
    initialised_ = false;
  }

 private:
  bool initialised_;
};

OleSession* oleSession = nullptr;

// Relative paths typed into the window resolve against the folder holding
// the program file, wherever the program was started from.
void EnterProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // cut short: try a larger buffer
  }
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return;
  path.resize(slash);
  // "C:" alone would mean the drive's current folder, not its root.
  if (path.size() == 2 && path[1] == L':') path += L'\\';
  SetCurrentDirectoryW(path.c_str());
}

// The error box of the fatal failure. Memory has run out: the message comes
// in storage of its own and is converted into a buffer on the stack, so the
// program makes no allocation of its own on this path (the box itself is the
// system's). The box has no owner but is modal to the whole task, so the
// failed command cannot be started again while the box is up.
void ShowFatalMessage(std::string_view message) {
  wchar_t text[512];
  const int length = MultiByteToWideChar(kGbkCodePage, 0, message.data(), static_cast<int>(message.size()), text,
                                         static_cast<int>(std::size(text)) - 1);
  text[length > 0 ? length : 0] = L'\0';
  MessageBoxW(nullptr, text, L"错误", MB_ICONERROR | MB_OK | MB_TASKMODAL);
}

[[noreturn]] void EndProcessAfterFailure(int exitCode) {
  if (oleSession != nullptr) oleSession->End();
  ExitProcess(static_cast<UINT>(exitCode));
}

// Made while memory is plentiful, so that the failure path only uses them.
const FatalFailureActions fatalActions{ShowFatalMessage, EndProcessAfterFailure};
ProgramLifecycle orphanLifecycle{nullptr};  // for a failure before start-up set the state
std::atomic_flag failing = ATOMIC_FLAG_INIT;

void OnAllocationFailure(std::int64_t bytes) {
  // A failure while the first one is being reported (on this thread or
  // another) ends the process at once.
  if (failing.test_and_set()) ExitProcess(static_cast<UINT>(-1));
  EndWithAllocationFailure(runningProgram != nullptr ? *runningProgram : orphanLifecycle, bytes, fatalActions);
  EndProcessAfterFailure(-1);
}

void FetchAndDispatch(Win32Surface& surface) {
  MSG message;
  // GetMessageW answers 0 for WM_QUIT and -1 on failure; both end the loop.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (surface.PreTranslateMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Run() {
  SetAllocationFailureHandler(OnAllocationFailure);
  OleSession ole;
  oleSession = &ole;
  EnterProgramFolder();
  // Round to nearest, every exception masked: a division by zero gives an
  // infinity or a NaN and never stops the program.
  std::fesetenv(FE_DFL_ENV);

  ProgramLifecycle lifecycle([](int exitCode) { PostQuitMessage(exitCode); });
  runningProgram = &lifecycle;

  FileSystem& fileSystem = PlatformFileSystem();
  CreateGlobalObjects({.makeDropRegistry = PlatformDropRegistry, .fileSystem = &fileSystem, .trace = {}});
  lifecycle.exitRoutines().Add(ReleaseGlobalObjects);
  RunStartRoutine();

  {
    GlobalObjects& objects = TheGlobalObjects();
    Win32Surface platformSurface;
    ProgramSurface surface(platformSurface, lifecycle);
    MainWindowCommands commands(surface, PlatformWindowServices(), *objects.treeWriter, fileSystem);
    MainWindow window(surface, commands, MainWindowDropHooks(*objects.dropRegistry, commands));
    window.Load();  // with no window the loop below returns at once
    lifecycle.RunMessageLoop([&] { FetchAndDispatch(platformSurface); });
  }

  lifecycle.exitRoutines().RunAll();
  runningProgram = nullptr;
  ole.End();
  oleSession = nullptr;
  return 0;
}

}  // namespace
}  // namespace dirtree

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return dirtree::Run(); }
