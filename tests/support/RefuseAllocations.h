// Makes memory run out on purpose: while a RefuseAllocationsOver lives, every operator new
// asking for more than its limit throws std::bad_alloc, as it would with memory exhausted.
// Replaces the global operator new and delete: include it in one source file of a test
// program only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> gRefuseOver{SIZE_MAX};

class RefuseAllocationsOver {
 public:
  explicit RefuseAllocationsOver(std::size_t bytes) { gRefuseOver = bytes; }
  ~RefuseAllocationsOver() { gRefuseOver = SIZE_MAX; }
  RefuseAllocationsOver(const RefuseAllocationsOver&) = delete;
  RefuseAllocationsOver& operator=(const RefuseAllocationsOver&) = delete;
};

}  // namespace

// The replacements pair malloc with free; GCC cannot see that through the inlined operators.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  if (size > gRefuseOver.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The library's nothrow allocations (temporary buffers of stable_sort) are freed by the
// operator delete above: they must come from malloc too.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (size > gRefuseOver.load(std::memory_order_relaxed)) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
