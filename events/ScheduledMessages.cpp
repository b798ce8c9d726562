// Sends configured messages at set minutes of the server's local day, each once a day, never late.
#include "events/ScheduledMessages.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "events/ConfiguredMessage.h"
#include "grammar/Keys.h"
#include "host/Platform.h"
#include "text/LocalClock.h"

namespace {

constexpr std::int32_t EveryDay = 0x7F;

// One send of a message: at a minute of the local day, or a lead of seconds before it.
struct ScheduledTime {
  std::int32_t message = 0;      // index in "Messages"
  std::int32_t minute = 0;       // of the local day
  std::int32_t days = EveryDay;  // bit 0 Monday to bit 6 Sunday, of the time itself
  std::int32_t lead = 0;         // seconds before the minute; 0 for the time itself
  std::int32_t window = 60;      // seconds the send is not late for: to the next shorter lead, at most a minute
  bool counted = false;          // part of a countdown: {TimeLeft} is the lead
};

// The local day a time last went out, so that a clock moved back does not send it again that day.
struct Sent {
  std::int32_t message = 0;
  std::int32_t minute = 0;
  std::int32_t lead = 0;
  std::int64_t day = 0;
};

struct Schedule {
  std::uint64_t generation = UINT64_MAX;  // of the configuration the times were read from
  std::vector<ScheduledTime> times;
  std::vector<Sent> sent;  // outlives reloads, like the timed messages' state
  std::int64_t nextCheck = INT64_MIN;
  std::int64_t lastSeen = INT64_MIN;
};

Schedule& TheSchedule() {
  static Schedule schedule;
  return schedule;
}

bool ParseDays(const std::vector<std::string>& names, std::int32_t& days) {
  if (names.empty()) return true;  // like an empty group list: no restriction
  days = 0;
  for (const std::string& name : names) {
    const std::optional<int> day = grammar::WeekdayIndex(name);
    if (!day) return false;
    days |= 1 << *day;
  }
  return true;
}

const nlohmann::json& ScheduledSection() { return config::Section(Config(), grammar::Top::ScheduledMessages); }

// The leads of "Countdown", longest first, each once, with the window each is not late for; the time itself
// alone without the key. False for a list that cannot be read or a lead outside 0 to a day.
bool ReadLeads(const nlohmann::json& message, std::vector<ScheduledTime>& leads) {
  const auto found = message.find(grammar::ScheduledMessage::Countdown.name);
  if (found == message.end()) {
    leads.push_back({});
    return true;
  }
  std::vector<std::int32_t> seconds;
  for (const nlohmann::json& lead : found->get_ref<const nlohmann::json::array_t&>()) {
    const std::int32_t value = config::ToInt32(lead);
    if (value < 0 || value > grammar::MaxCountdownSeconds) return false;
    seconds.push_back(value);
  }
  std::ranges::sort(seconds, std::greater<>());
  seconds.erase(std::unique(seconds.begin(), seconds.end()), seconds.end());
  for (std::size_t i = 0; i < seconds.size(); ++i) {
    ScheduledTime lead;
    lead.lead = seconds[i];
    lead.counted = true;
    if (lead.lead > 0) lead.window = std::min(60, lead.lead - (i + 1 < seconds.size() ? seconds[i + 1] : 0));
    leads.push_back(lead);
  }
  return true;
}

// A message whose times, days or countdown cannot be read is left out as a whole; the checker names what is
// wrong.
std::vector<ScheduledTime> ReadTimes() {
  std::vector<ScheduledTime> times;
  const nlohmann::json& section = ScheduledSection();
  if (!config::Bool(section, grammar::Scheduled::Enabled)) return times;
  const auto found = section.find(grammar::Scheduled::Messages.name);
  if (found == section.end() || !found->is_array()) return times;
  for (std::size_t i = 0; i < found->size() && i < INT32_MAX; ++i) {
    try {
      const nlohmann::json& message = (*found)[i];
      std::int32_t days = EveryDay;
      if (!ParseDays(config::StringList(message, grammar::ScheduledMessage::Days), days)) continue;
      std::vector<ScheduledTime> leads;
      bool readable = message.is_object() && ReadLeads(message, leads);
      std::vector<ScheduledTime> own;
      for (const std::string& at : config::StringList(message, grammar::ScheduledMessage::At)) {
        const std::optional<std::int32_t> minute = grammar::MinuteOfDay(at);
        readable = readable && minute.has_value();
        for (ScheduledTime time : leads) {
          time.message = static_cast<std::int32_t>(i);
          time.minute = minute.value_or(0);
          time.days = days;
          own.push_back(time);
        }
      }
      if (readable) times.insert(times.end(), own.begin(), own.end());
    } catch (...) {
      // A member of the wrong type: this message is never sent.
    }
  }
  return times;
}

bool SameSend(const Sent& sent, const ScheduledTime& time) {
  return sent.message == time.message && sent.minute == time.minute && sent.lead == time.lead;
}

bool SentOn(const ScheduledTime& time, std::int64_t day) {
  for (const Sent& sent : TheSchedule().sent) {
    if (SameSend(sent, time)) return sent.day == day;
  }
  return false;
}

void MarkSent(const ScheduledTime& time, std::int64_t day) {
  for (Sent& sent : TheSchedule().sent) {
    if (SameSend(sent, time)) {
      sent.day = day;
      return;
    }
  }
  TheSchedule().sent.push_back({time.message, time.minute, time.lead, day});
}

// The first instant, in ticks, at which a time not yet sent on its day begins and whose minute is not over;
// at or before now when one is due at once.
std::int64_t NextDue(std::int64_t now) {
  const std::int64_t seconds = UnixSecondsOfTicks(now);
  const std::int64_t today = LocalMomentAt(seconds).Day;
  std::int64_t next = INT64_MAX;
  for (const ScheduledTime& time : TheSchedule().times) {
    // A week and a day covers every weekday once after today, whatever today's minute; a lead of up to a day
    // may bring the time of the day after that forward.
    for (std::int64_t day = today - 1; day <= today + 8; ++day) {
      if ((time.days & (1 << WeekdayOf(day))) == 0 || SentOn(time, day)) continue;
      const std::int64_t start = UnixSecondsOfLocal(day, time.minute) - time.lead;
      if (start + time.window <= seconds) continue;
      if (start < next) next = start;
      break;
    }
  }
  return next == INT64_MAX ? INT64_MAX : next * Platform::TicksPerSecond;
}

// The local day of the time whose lead send is due now, if one is.
std::optional<std::int64_t> LeadDueOn(const ScheduledTime& time, std::int64_t seconds, std::int64_t today) {
  for (std::int64_t day = today; day <= today + 2; ++day) {
    const std::int64_t start = UnixSecondsOfLocal(day, time.minute) - time.lead;
    if (start <= seconds && seconds < start + time.window && (time.days & (1 << WeekdayOf(day))) != 0) return day;
  }
  return std::nullopt;
}

void SendDue(std::int64_t now) {
  const std::int64_t seconds = UnixSecondsOfTicks(now);
  const LocalMoment moment = LocalMomentAt(seconds);
  for (const ScheduledTime& time : TheSchedule().times) {
    std::int64_t day = moment.Day;
    if (time.lead == 0) {
      if (time.minute != moment.Minute || (time.days & (1 << moment.Weekday)) == 0) continue;
    } else {
      const std::optional<std::int64_t> due = LeadDueOn(time, seconds, moment.Day);
      if (!due) continue;
      day = *due;
    }
    if (SentOn(time, day)) continue;
    MarkSent(time, day);
    try {
      const nlohmann::json& messages = ScheduledSection().at(grammar::Scheduled::Messages.name);
      const nlohmann::json& message = messages.at(static_cast<std::size_t>(time.message));
      if (!time.counted) {
        SendConfiguredMessage(message);
        continue;
      }
      // The time truly left: a send a moment into its window says so.
      const std::int64_t left = time.lead == 0 ? 0 : UnixSecondsOfLocal(day, time.minute) - seconds;
      MessageOccasion occasion;
      occasion.secondsLeft = static_cast<std::int32_t>(left);
      SendConfiguredMessage(message, occasion);
    } catch (...) {
      // A broken message is skipped silently, like a timed one; the others still go out.
    }
  }
}

}  // namespace

std::int64_t NextScheduledCheck() { return TheSchedule().nextCheck; }

void SendScheduledMessages() {
  try {
    Schedule& schedule = TheSchedule();
    const std::int64_t now = Platform::SystemClockTicks();
    const bool reread = schedule.generation != ConfigGeneration();
    // The idle path: same document, the clock has not gone back, nothing due yet.
    if (!reread && now >= schedule.lastSeen && now < schedule.nextCheck) {
      schedule.lastSeen = now;
      return;
    }
    if (reread) {
      schedule.times = ReadTimes();
      schedule.generation = ConfigGeneration();
    }
    schedule.lastSeen = now;
    schedule.nextCheck = NextDue(now);
    if (schedule.nextCheck <= now) {
      SendDue(now);
      schedule.nextCheck = NextDue(now);
    }
  } catch (...) {
    // An unreadable section schedules nothing until the configuration is replaced.
    TheSchedule().times.clear();
    TheSchedule().generation = ConfigGeneration();
    TheSchedule().nextCheck = INT64_MAX;
  }
}
