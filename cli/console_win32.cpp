// dirtree-cli on Windows: the wide command line becomes GBK (code page 936,
// whatever the system code page); messages go to a console as UTF-16 and to
// a redirected stream as UTF-8.
#include <windows.h>

#include <string>

#include "cli/console.h"
#include "fs/encoding.h"
#include "fs/encoding_win32.h"

namespace dirtree {
namespace {

void Print(DWORD which, const Text& message) {
  HANDLE h = ::GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(h, &mode)) {
    const std::wstring wide = GbkToWide(message);
    ::WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    const std::string utf8 = GbkToUtf8(message);
    ::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
}

}  // namespace

void PrintToOutput(const Text& message) { Print(STD_OUTPUT_HANDLE, message); }
void PrintToError(const Text& message) { Print(STD_ERROR_HANDLE, message); }

}  // namespace dirtree

int wmain(int argc, wchar_t** argv) {
  std::vector<dirtree::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(dirtree::WideToGbk(argv[i]));
  return dirtree::RunCommandLine(args);
}
