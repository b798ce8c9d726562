// Owns the count of C++ heap allocations made by the benchmark process.
#pragma once

#include <cstdint>

namespace heraldix::bench {

// Calls of operator new so far, from any code in the process.
std::int64_t HeapAllocations();

}  // namespace heraldix::bench
