// The window program's global operator new and delete, linked into this test
// as into dirtree.exe: a failed allocation of any object reaches the
// allocation-failure handler with the size asked for, the nothrow forms
// answer nullptr, and ordinary and aligned blocks work.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "engine/text.h"

namespace dirtree {
namespace {

// No allocator can give this much; malloc refuses it at once.
constexpr std::size_t kHuge = std::size_t{1} << 62;

// The handler must not return; in this test it leaves by an exception that
// carries the size back to the test.
struct AllocationFailed {
  std::int64_t bytes;
};
void ThrowFailure(std::int64_t bytes) { throw AllocationFailed{bytes}; }

// Keeps the compiler from dropping an allocation whose result goes unused.
void* volatile sink = nullptr;

struct alignas(64) Line {
  char bytes[64];
};

class OperatorNewTest : public ::testing::Test {
 protected:
  void SetUp() override { SetAllocationFailureHandler(ThrowFailure); }
  void TearDown() override { SetAllocationFailureHandler(nullptr); }
};

TEST_F(OperatorNewTest, FailedAllocationOfAnyObjectReachesTheHandlerWithItsSize) {
  struct Row {
    const char* what;
    std::function<void()> allocate;
    std::size_t bytes;
  };
  const Row rows[] = {
      {"operator new", [] { sink = ::operator new(kHuge); }, kHuge},
      {"new[]", [] { sink = new char[kHuge]; }, kHuge},
      {"aligned new[]", [] { sink = new Line[kHuge / sizeof(Line)]; }, kHuge},
      {"aligned operator new", [] { sink = ::operator new(kHuge, std::align_val_t{4096}); }, kHuge},
      {"vector", [] { std::vector<char>().reserve(kHuge); }, kHuge},
      {"wstring", [] { std::wstring().reserve(kHuge / sizeof(wchar_t)); }, kHuge + sizeof(wchar_t)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::int64_t failed = 0;
    try {
      row.allocate();
    } catch (const AllocationFailed& failure) {
      failed = failure.bytes;
    }
    EXPECT_EQ(failed, static_cast<std::int64_t>(row.bytes));
  }
}

TEST_F(OperatorNewTest, NothrowFormsAnswerNullWithoutTheHandler) {
  EXPECT_EQ(new (std::nothrow) char[kHuge], nullptr);
  EXPECT_EQ(::operator new(kHuge, std::nothrow), nullptr);
  EXPECT_EQ(::operator new(kHuge, std::align_val_t{64}, std::nothrow), nullptr);
  EXPECT_EQ(new (std::nothrow) Line[kHuge / sizeof(Line)], nullptr);
}

TEST_F(OperatorNewTest, BlocksAreUsableAndAlignedBlocksAligned) {
  std::vector<std::string> strings(100, std::string(1000, 'x'));
  EXPECT_EQ(strings[99][999], 'x');
  for (std::size_t align : {std::size_t{16}, std::size_t{64}, std::size_t{4096}}) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{100000}}) {
      SCOPED_TRACE(std::to_string(align) + " " + std::to_string(size));
      void* p = ::operator new(size, std::align_val_t{align});
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % align, 0u);
      if (size > 0) static_cast<char*>(p)[size - 1] = 1;
      ::operator delete(p, std::align_val_t{align});
    }
  }
  auto* lines = new Line[3];
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(lines) % alignof(Line), 0u);
  delete[] lines;
}

}  // namespace
}  // namespace dirtree
