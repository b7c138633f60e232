// The window program's global operator new and delete. Texts already end
// through FailAllocation when memory runs out; these replacements make every
// other object do the same (a std::wstring for a Win32 call, a vector, a
// std::function), where the library's operator new would throw a
// std::bad_alloc that nothing in the program catches and that would end it
// without a word. Linked only into the window program: the libraries and
// their tests keep the library's own operators.
//
// The throwing forms report the size they could not get to FailAllocation,
// which does not come back; the nothrow forms answer nullptr. Plain C++ with
// malloc and free, so the same file serves every platform's tests.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#include "engine/text.h"

namespace {

[[noreturn]] void Fail(std::size_t size) {
  constexpr auto kLargest = static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max());
  dirtree::FailAllocation(static_cast<std::int64_t>(size < kLargest ? size : kLargest));
}

void* TryAllocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

// An aligned block is taken from malloc with room to spare; the address
// malloc gave is kept just below the aligned address, where the release finds
// it. Every aligned form goes this way, so each delete knows its block.
void* TryAllocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
  const auto align = static_cast<std::size_t>(alignment);
  const std::size_t spare = align + sizeof(void*);
  if (size > std::numeric_limits<std::size_t>::max() - spare) return nullptr;
  void* block = std::malloc(size + spare);
  if (block == nullptr) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(block) + sizeof(void*);
  const std::uintptr_t aligned = (start + align - 1) & ~static_cast<std::uintptr_t>(align - 1);
  reinterpret_cast<void**>(aligned)[-1] = block;
  return reinterpret_cast<void*>(aligned);
}

void ReleaseAligned(void* p) noexcept {
  if (p != nullptr) std::free(static_cast<void**>(p)[-1]);
}

void* Allocate(std::size_t size) {
  if (void* p = TryAllocate(size)) return p;
  Fail(size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  if (void* p = TryAllocateAligned(size, alignment)) return p;
  Fail(size);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return TryAllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return TryAllocateAligned(size, alignment);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

void operator delete(void* p, std::align_val_t) noexcept { ReleaseAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { ReleaseAligned(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { ReleaseAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { ReleaseAligned(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { ReleaseAligned(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { ReleaseAligned(p); }
