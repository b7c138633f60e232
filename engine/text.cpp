// Text allocation and the fatal out-of-memory path.
#include "engine/text.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace dirtree {
namespace {

void DefaultAllocationFailure(std::int64_t bytes) {
  std::string message = AllocationFailureMessage(bytes);
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fflush(stderr);
  std::_Exit(-1);
}

AllocationFailureHandler g_handler = DefaultAllocationFailure;

}  // namespace

void SetAllocationFailureHandler(AllocationFailureHandler handler) {
  g_handler = handler ? handler : DefaultAllocationFailure;
}

void FailAllocation(std::int64_t bytes) {
  g_handler(bytes);
  std::_Exit(-1);  // a handler that returns still ends the process
}

std::string AllocationFailureMessage(std::int64_t bytes) {
  // Built with std::string: this runs when text memory is exhausted.
  return "运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(bytes) + " 字节内存失败!\r\n";
}

void* AllocateTextBytes(std::size_t bytes) {
  void* p = std::malloc(bytes ? bytes : 1);
  if (!p) FailAllocation(static_cast<std::int64_t>(bytes));
  return p;
}

void ReleaseTextBytes(void* p) noexcept { std::free(p); }

}  // namespace dirtree
