#include "sim/host/Clock.h"

#include <utility>

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

}  // namespace sim

std::int64_t Platform::SystemClockTicks() { return sim::SystemTicks(); }
