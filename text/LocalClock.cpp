// The server's local calendar over the host's zone offset, with the civil-date arithmetic done here so that
// the plug-in never depends on the process's own time-zone settings.
#include "text/LocalClock.h"

#include <fmt/format.h>

#include "host/Platform.h"

namespace {

constexpr std::int64_t SecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

// Days since 1970-01-01 to proleptic Gregorian year, month and day, counted in 400-year eras from March.
void CivilFromDays(std::int64_t z, std::int32_t& year, std::int32_t& month, std::int32_t& day) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<std::int32_t>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<std::int32_t>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<std::int32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

std::int64_t UnixSecondsOfTicks(std::int64_t ticks) {
  const std::int64_t seconds = ticks / Platform::TicksPerSecond;
  return ticks % Platform::TicksPerSecond < 0 ? seconds - 1 : seconds;
}

std::int32_t WeekdayOf(std::int64_t day) {
  // 1970-01-01 was a Thursday.
  const std::int64_t weekday = (day + 3) % 7;
  return static_cast<std::int32_t>(weekday < 0 ? weekday + 7 : weekday);
}

LocalMoment LocalMomentAt(std::int64_t unixSeconds) {
  const std::int64_t local = unixSeconds + Platform::LocalTimeOffsetSeconds(unixSeconds);
  LocalMoment moment;
  moment.Day = FloorDiv(local, SecondsPerDay);
  moment.Minute = static_cast<std::int32_t>((local - moment.Day * SecondsPerDay) / 60);
  moment.Weekday = WeekdayOf(moment.Day);
  CivilFromDays(moment.Day, moment.Year, moment.Month, moment.DayOfMonth);
  return moment;
}

std::int64_t UnixSecondsOfLocal(std::int64_t day, std::int32_t minute) {
  const std::int64_t local = day * SecondsPerDay + std::int64_t{minute} * 60;
  // The offset at the answer is what counts; starting from the offset a few hours before finds the first of
  // two occurrences when the clocks go back.
  std::int64_t guess = local - Platform::LocalTimeOffsetSeconds(local - std::int64_t{3} * 3600);
  guess = local - Platform::LocalTimeOffsetSeconds(guess);
  return guess;
}

std::string TimeText(const LocalMoment& moment) {
  return fmt::format("{:02}:{:02}", moment.Minute / 60, moment.Minute % 60);
}

std::string DateText(const LocalMoment& moment) {
  return fmt::format("{:04}-{:02}-{:02}", moment.Year, moment.Month, moment.DayOfMonth);
}
