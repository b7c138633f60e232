// The one text type of the program: a GBK byte string. Lengths and positions
// are in bytes; a byte of 0x80 or more starts a double-byte character.
//
// Every text allocation goes through TextAllocator, so that running out of
// memory ends the program through the fatal-failure hook with the number of
// bytes requested, whatever code asked for the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dirtree {

// Largest single text allocation. The program was laid out for a 32-bit
// address space where a request beyond this can never succeed; keeping the
// same ceiling on 64-bit builds makes a huge padding fail the same way
// everywhere instead of paging the machine to death.
inline constexpr std::size_t kMaxTextAllocation = std::size_t{1} << 30;

// Called with the number of bytes that could not be obtained. Must not return.
using AllocationFailureHandler = void (*)(std::int64_t bytes);

// Installs the program's reaction (a message box, a line on standard error).
// Passing nullptr restores the default, which writes to standard error and
// ends the process with exit code -1.
void SetAllocationFailureHandler(AllocationFailureHandler handler);

// Reports a failed allocation of `bytes` and ends the process.
[[noreturn]] void FailAllocation(std::int64_t bytes);

// The fatal message for a failed allocation, as GBK text:
// "运行时出错!\r\n\r\n错误信息：分配 N 字节内存失败!\r\n", in storage of its
// own: when memory has run out, building a string may fail again.
struct AllocationFailureText {
  char bytes[96];
  std::size_t size = 0;
  std::string_view view() const { return {bytes, size}; }
};
AllocationFailureText FormatAllocationFailure(std::int64_t bytes);

void* AllocateTextBytes(std::size_t bytes);
void ReleaseTextBytes(void* p) noexcept;

template <typename T>
struct TextAllocator {
  using value_type = T;
  TextAllocator() noexcept = default;
  template <typename U>
  TextAllocator(const TextAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > kMaxTextAllocation / sizeof(T)) FailAllocation(static_cast<std::int64_t>(n * sizeof(T)));
    return static_cast<T*>(AllocateTextBytes(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) noexcept { ReleaseTextBytes(p); }
  friend bool operator==(const TextAllocator&, const TextAllocator&) { return true; }
};

using Text = std::basic_string<char, std::char_traits<char>, TextAllocator<char>>;

// Whether `c` starts a double-byte character: a byte of 0x80 or more takes
// the byte after it along.
inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// The length in bytes of the character at byte `i` of `text`: 2 for a lead
// byte with a byte after it, else 1 (a lead byte at the very end stands alone).
inline std::size_t CharacterLength(std::string_view text, std::size_t i) {
  return IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

inline Text ToText(std::string_view s) { return Text(s.data(), s.size()); }
inline std::string ToStdString(const Text& t) { return std::string(t.data(), t.size()); }

}  // namespace dirtree
