// dirtree-cli on Linux: UTF-8 arguments become GBK; messages go out in UTF-8.
#include <unistd.h>

#include <string>

#include "cli/console.h"
#include "fs/encoding.h"

namespace dirtree {
namespace {

void WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

void PrintToOutput(const Text& message) { WriteAll(STDOUT_FILENO, GbkToUtf8(message)); }
void PrintToError(const Text& message) { WriteAll(STDERR_FILENO, GbkToUtf8(message)); }

}  // namespace dirtree

int main(int argc, char** argv) {
  std::vector<dirtree::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(dirtree::Utf8ToGbk(argv[i]));
  return dirtree::RunCommandLine(args);
}
