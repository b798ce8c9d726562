// Owns the simulator's two clocks (simulated seconds since start, and the system clock the plug-in reads) and
// the server's local time zone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

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

// Elapsed 0, offset 0, default epoch, no source. The time zone stays as it was set.
HERALDIX_SIM_API void ResetClock();

// The zone in which the server keeps its local time, as the TZ variable names it: a zone of the system's
// time-zone database ("Europe/Berlin", ":/etc/localtime") or a rule ("CET-1CEST,M3.5.0,M10.5.0/3", "UTC0").
inline constexpr const char* DefaultTimeZone = "UTC";
// What a real server would use: the TZ variable when set, else the system's own zone.
HERALDIX_SIM_API std::string EnvironmentTimeZone();
// Empty when zone can be used, else why not.
HERALDIX_SIM_API std::string TimeZoneProblem(const std::string& zone);
HERALDIX_SIM_API void SetTimeZone(const std::string& zone);
HERALDIX_SIM_API const std::string& TimeZone();
HERALDIX_SIM_API std::int32_t LocalOffsetSeconds(std::int64_t unixSeconds);
// The system clock as the server's local time: "Thu 2026-01-01 00:00:00 UTC (UTC+00:00, zone UTC)".
HERALDIX_SIM_API std::string LocalClockText();
// "HH:MM:SS" of the system clock in local time.
HERALDIX_SIM_API std::string LocalTimeOfDay();

}  // namespace sim
