// Counts the C++ heap allocations of the whole benchmark process, so a figure can show that a path
// allocates nothing. One increment per allocation costs every benchmark the same.
#include "bench/HeapCount.h"

#include <cstdlib>
#include <new>

namespace {
std::int64_t allocations = 0;
}

std::int64_t heraldix::bench::HeapAllocations() { return allocations; }

void* operator new(std::size_t size) {
  ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
