// Owns the server's local calendar: an instant read as local date, minute of the day and weekday, and back.
#pragma once

#include <cstdint>
#include <string>

struct LocalMoment {
  std::int64_t Day = 0;      // local days since 1970-01-01
  std::int32_t Minute = 0;   // minute of the local day, 0 to 1439
  std::int32_t Weekday = 0;  // 0 Monday to 6 Sunday
  std::int32_t Year = 1970;
  std::int32_t Month = 1;       // 1 to 12
  std::int32_t DayOfMonth = 1;  // 1 to 31
};

// The instant (seconds since 1970-01-01 UTC) in the server's local time zone, as the host reports it.
LocalMoment LocalMomentAt(std::int64_t unixSeconds);

// The system clock's ticks (100 ns since 1970-01-01 UTC) as whole seconds, rounded down.
std::int64_t UnixSecondsOfTicks(std::int64_t ticks);

// Weekday of a local day: 0 Monday to 6 Sunday.
std::int32_t WeekdayOf(std::int64_t day);

// The instant at which the given minute of the given local day begins. A minute that a daylight-saving
// change skips maps to an instant whose local minute differs; a minute that happens twice, to its first.
std::int64_t UnixSecondsOfLocal(std::int64_t day, std::int32_t minute);

// "HH:MM" and "YYYY-MM-DD".
std::string TimeText(const LocalMoment& moment);
std::string DateText(const LocalMoment& moment);
