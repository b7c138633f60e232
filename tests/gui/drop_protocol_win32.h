// The drop injection shared by the GUI test inspector and the test-only hook
// in dirtree-testhook.exe: the names both sides must agree on, and owners of
// the kernel objects both use.
#pragma once

#include <windows.h>

#include <memory>

namespace drop_protocol {

// Registered message sent to the window; wParam: the list's length in bytes.
constexpr wchar_t kMessageName[] = L"dirtree.test.drop";
// Named shared memory holding the paths, UTF-8, one Windows path a line.
constexpr wchar_t kListMemory[] = L"dirtree.test.drop.list";
// Window property set once the drop was taken in.
constexpr wchar_t kDoneProperty[] = L"dirtree.test.drop.done";

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, HandleCloser>;

struct ViewUnmapper {
  void operator()(void* view) const { UnmapViewOfFile(view); }
};
using MappedView = std::unique_ptr<void, ViewUnmapper>;

}  // namespace drop_protocol
