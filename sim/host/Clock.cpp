#include "sim/host/Clock.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include <fmt/format.h>

#include "host/Platform.h"

namespace sim {
namespace {

struct Clocks {
  std::int64_t elapsed = 0;
  std::int64_t epoch = DefaultEpochSeconds;
  std::int64_t offset = 0;
  std::function<std::int64_t()> source;
};

Clocks& TheClocks() {
  static auto* clocks = new Clocks();  // never destroyed (see Host.h)
  return *clocks;
}

}  // namespace

std::int64_t Elapsed() { return TheClocks().elapsed; }
void SetElapsed(std::int64_t seconds) { TheClocks().elapsed = seconds; }
void SetEpochSeconds(std::int64_t unixSeconds) { TheClocks().epoch = unixSeconds; }
void MoveSystemClock(std::int64_t seconds) { TheClocks().offset += seconds; }
void SetSystemClockSource(std::function<std::int64_t()> ticks) { TheClocks().source = std::move(ticks); }

std::int64_t SystemTicks() {
  const Clocks& clocks = TheClocks();
  if (clocks.source) return clocks.source() + clocks.offset * Platform::TicksPerSecond;
  return (clocks.epoch + clocks.elapsed + clocks.offset) * Platform::TicksPerSecond;
}

void ResetClock() { TheClocks() = Clocks{}; }

namespace {

std::string& CurrentZone() {
  static auto* zone = new std::string(DefaultTimeZone);  // never destroyed (see Host.h)
  return *zone;
}

// The C library reads the zone from TZ; the simulator is the server process, so it sets TZ as a service
// manager would have set it for a real one.
void ApplyZone(const std::string& zone) {
  ::setenv("TZ", zone.c_str(), 1);
  ::tzset();
}

bool InZoneDatabase(const std::string& name) {
  if (name.empty() || name.find("..") != std::string::npos) return false;
  std::error_code error;
  const std::filesystem::path path =
      name[0] == '/' ? std::filesystem::path(name) : std::filesystem::path("/usr/share/zoneinfo") / name;
  return std::filesystem::is_regular_file(path, error);
}

// Reads the parts of a TZ rule ("std offset [dst [offset] [,start[/time],end[/time]]]") off the front of text.
class ZoneRule {
 public:
  explicit ZoneRule(std::string_view text) : text_(text) {}

  bool Valid() {
    if (!Name() || !Offset()) return false;
    if (Done()) return true;
    if (!Name()) return false;
    if (!Done() && Peek() != ',' && !Offset()) return false;
    if (Done()) return true;
    return Change() && Change() && Done();
  }

 private:
  [[nodiscard]] bool Done() const { return pos_ == text_.size(); }
  [[nodiscard]] char Peek() const { return Done() ? '\0' : text_[pos_]; }
  static bool Digit(char c) { return c >= '0' && c <= '9'; }
  static bool Letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

  std::size_t Count(bool (*accept)(char), std::size_t most) {
    std::size_t n = 0;
    while (!Done() && n < most && accept(Peek())) ++pos_, ++n;
    return n;
  }

  bool Name() {
    if (Peek() == '<') {
      ++pos_;
      const std::size_t n = Count([](char c) { return Letter(c) || Digit(c) || c == '+' || c == '-'; }, 64);
      if (n < 3 || Peek() != '>') return false;
      ++pos_;
      return true;
    }
    return Count(Letter, 64) >= 3;
  }

  // [+-]hh[:mm[:ss]], with at most `hourDigits` digits of hours.
  bool Offset(std::size_t hourDigits = 2) {
    if (Peek() == '+' || Peek() == '-') ++pos_;
    if (Count(Digit, hourDigits) == 0) return false;
    for (int part = 0; part < 2 && Peek() == ':'; ++part) {
      ++pos_;
      if (Count(Digit, 2) != 2) return false;
    }
    return true;
  }

  bool Change() {
    if (Peek() != ',') return false;
    ++pos_;
    if (Count([](char c) { return Letter(c) || Digit(c) || c == '.'; }, 16) == 0) return false;
    if (Peek() != '/') return true;
    ++pos_;
    return Offset(3);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool IsZoneRule(const std::string& zone) { return ZoneRule(zone).Valid(); }

std::tm LocalTm(std::int64_t unixSeconds) {
  const auto seconds = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  if (::localtime_r(&seconds, &local) == nullptr) ::gmtime_r(&seconds, &local);
  return local;
}

}  // namespace

std::string EnvironmentTimeZone() {
  const char* tz = std::getenv("TZ");
  return tz != nullptr && *tz != '\0' ? std::string(tz) : std::string(":/etc/localtime");
}

std::string TimeZoneProblem(const std::string& zone) {
  if (zone == "UTC" || zone == "GMT" || IsZoneRule(zone)) return {};
  const std::string name = !zone.empty() && zone[0] == ':' ? zone.substr(1) : zone;
  if (name == "/etc/localtime" && !InZoneDatabase(name)) return {};  // no zone set up: the system keeps UTC
  if (InZoneDatabase(name)) return {};
  return "unknown time zone \"" + zone +
         "\" (a name of the time-zone database such as Europe/Berlin, or a rule such as CET-1CEST,M3.5.0,M10.5.0/3)";
}

void SetTimeZone(const std::string& zone) {
  CurrentZone() = zone;
  ApplyZone(zone);
}

const std::string& TimeZone() { return CurrentZone(); }

std::int32_t LocalOffsetSeconds(std::int64_t unixSeconds) {
  return static_cast<std::int32_t>(LocalTm(unixSeconds).tm_gmtoff);
}

std::string LocalClockText() {
  const std::int64_t now = SystemTicks() / Platform::TicksPerSecond;
  const std::tm local = LocalTm(now);
  char when[64];
  std::strftime(when, sizeof when, "%a %Y-%m-%d %H:%M:%S %Z", &local);
  const long offset = local.tm_gmtoff;
  const long minutes = (offset < 0 ? -offset : offset) / 60;
  return fmt::format("{} (UTC{}{:02}:{:02}, zone {})", when, offset < 0 ? '-' : '+', minutes / 60, minutes % 60,
                     TimeZone());
}

std::string LocalTimeOfDay() {
  const std::tm local = LocalTm(SystemTicks() / Platform::TicksPerSecond);
  return fmt::format("{:02}:{:02}:{:02}", local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace sim

std::int64_t Platform::SystemClockTicks() { return sim::SystemTicks(); }
std::int32_t Platform::LocalTimeOffsetSeconds(std::int64_t unixSeconds) { return sim::LocalOffsetSeconds(unixSeconds); }
