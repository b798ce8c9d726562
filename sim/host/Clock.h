// Owns the simulator's two clocks: simulated seconds since start, and the system clock the plug-in reads.
#pragma once

#include <cstdint>
#include <functional>

#include "sim/host/SimExport.h"

namespace sim {

// 2026-01-01T00:00:00Z, where `run` starts the system clock.
inline constexpr std::int64_t DefaultEpochSeconds = 1'767'225'600;

// Simulated seconds since the start: the "t" of every event and the host timer's time base.
HERALDIX_SIM_API std::int64_t Elapsed();
HERALDIX_SIM_API void SetElapsed(std::int64_t seconds);

// The system clock is epoch + elapsed + offset unless a source is set (a live server reads real time).
HERALDIX_SIM_API void SetEpochSeconds(std::int64_t unixSeconds);
HERALDIX_SIM_API void MoveSystemClock(std::int64_t seconds);
HERALDIX_SIM_API void SetSystemClockSource(std::function<std::int64_t()> ticks);
HERALDIX_SIM_API std::int64_t SystemTicks();

// Elapsed 0, offset 0, default epoch, no source.
HERALDIX_SIM_API void ResetClock();

}  // namespace sim
