// Timed messages with an interval of their own, each on its clock beside the shared rotation.
#include "events/OwnIntervals.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "events/ConfiguredMessage.h"
#include "host/Platform.h"

namespace {

struct Clock {
  std::size_t message = 0;  // index in "Messages"
  std::int32_t interval = 0;
  std::int64_t due = 0;  // system-clock ticks
};

struct Clocks {
  std::uint64_t generation = UINT64_MAX;  // of the configuration the clocks were read from
  std::vector<Clock> clocks;
  std::int64_t nextDue = INT64_MAX;
};

Clocks& TheClocks() {
  static Clocks clocks;
  return clocks;
}

std::int64_t Later(std::int64_t now, std::int32_t seconds) {
  const std::int64_t delta = std::int64_t{std::max(seconds, 0)} * Platform::TicksPerSecond;
  return now > INT64_MAX - delta ? INT64_MAX : now + delta;
}

// A message that keeps its place and interval across a reload keeps its clock; any other starts afresh.
void ReadClocks(const nlohmann::json& timed, std::int64_t now) {
  Clocks& held = TheClocks();
  std::vector<Clock> clocks;
  const auto found = timed.find(grammar::Timed::Messages.name);
  if (found != timed.end() && found->is_array()) {
    for (std::size_t i = 0; i < found->size(); ++i) {
      const nlohmann::json& message = (*found)[i];
      if (!HasOwnInterval(message)) continue;
      Clock clock{i, config::Int32(message, grammar::TimedMessage::Interval), 0};
      const auto kept = std::ranges::find_if(
          held.clocks, [&](const Clock& old) { return old.message == i && old.interval == clock.interval; });
      if (kept != held.clocks.end()) {
        clock.due = kept->due;
      } else {
        const auto delay = message.find(grammar::TimedMessage::Start_Delay.name);
        clock.due = Later(now, delay != message.end() && delay->is_number() ? config::ToInt32(*delay) : clock.interval);
      }
      clocks.push_back(clock);
    }
  }
  held.clocks = std::move(clocks);
}

}  // namespace

bool HasOwnInterval(const nlohmann::json& message) {
  if (!message.is_object()) return false;
  const auto interval = message.find(grammar::TimedMessage::Interval.name);
  return interval != message.end() && interval->is_number() && config::ToInt32(*interval) > 0;
}

void SendOwnIntervalMessages(const nlohmann::json& timed, std::int64_t now) {
  Clocks& held = TheClocks();
  try {
    const bool reread = held.generation != ConfigGeneration();
    if (!reread && now < held.nextDue) return;
    if (reread) {
      ReadClocks(timed, now);
      held.generation = ConfigGeneration();
    }
    held.nextDue = INT64_MAX;
    for (Clock& clock : held.clocks) {
      if (now >= clock.due) {
        // The next time is set before the message is built: a message that fails still used its turn.
        clock.due = Later(now, clock.interval);
        try {
          SendConfiguredMessage(timed.at(grammar::Timed::Messages.name).at(clock.message));
        } catch (...) {
          // A broken message is skipped silently; the others still go out.
        }
      }
      held.nextDue = std::min(held.nextDue, clock.due);
    }
  } catch (...) {
    // An unreadable list keeps no clocks until the configuration is replaced.
    held.clocks.clear();
    held.generation = ConfigGeneration();
    held.nextDue = INT64_MAX;
  }
}
