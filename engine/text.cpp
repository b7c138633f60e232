// Text allocation and the fatal out-of-memory path.
#include "engine/text.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace dirtree {
namespace {

void DefaultAllocationFailure(std::int64_t bytes) {
  const AllocationFailureText message = FormatAllocationFailure(bytes);
  std::fwrite(message.bytes, 1, message.size, stderr);
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

AllocationFailureText FormatAllocationFailure(std::int64_t bytes) {
  AllocationFailureText text;
  auto append = [&text](std::string_view part) {
    std::memcpy(text.bytes + text.size, part.data(), part.size());
    text.size += part.size();
  };
  append("运行时出错!\r\n\r\n错误信息：分配 ");
  // The parts take 46 bytes and a 64-bit number at most 20: the buffer holds
  // every message.
  char digits[24];
  const auto converted = std::to_chars(digits, digits + sizeof digits, bytes);
  append(std::string_view(digits, static_cast<std::size_t>(converted.ptr - digits)));
  append(" 字节内存失败!\r\n");
  return text;
}

void* AllocateTextBytes(std::size_t bytes) {
  void* p = std::malloc(bytes ? bytes : 1);
  if (!p) FailAllocation(static_cast<std::int64_t>(bytes));
  return p;
}

void ReleaseTextBytes(void* p) noexcept { std::free(p); }

}  // namespace dirtree
