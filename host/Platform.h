// Owns the platform clock: the one operating-system service the host provides, so time can be simulated.
#pragma once

#include <cstdint>

#include "host/Export.h"

namespace Platform {

// Wall-clock time in 100-nanosecond ticks since 1970-01-01 UTC. The simulator moves it by hours in a
// millisecond; a live server reads the system clock.
HERALDIX_HOST_API std::int64_t SystemClockTicks();

inline constexpr std::int64_t TicksPerSecond = 10'000'000;

}  // namespace Platform
