// Owns the platform clock and the server's local time zone: the operating-system services the host provides,
// so time can be simulated.
#pragma once

#include <cstdint>

#include "host/Export.h"

namespace Platform {

// Wall-clock time in 100-nanosecond ticks since 1970-01-01 UTC. The simulator moves it by hours in a
// millisecond; a live server reads the system clock.
HERALDIX_HOST_API std::int64_t SystemClockTicks();

inline constexpr std::int64_t TicksPerSecond = 10'000'000;

// Seconds the server's local time is ahead of UTC at this instant (seconds since 1970-01-01 UTC); negative
// west of Greenwich, and changing with daylight saving time. The simulator answers for the zone it was
// given; a live server for the zone it runs in.
HERALDIX_HOST_API std::int32_t LocalTimeOffsetSeconds(std::int64_t unixSeconds);

}  // namespace Platform
