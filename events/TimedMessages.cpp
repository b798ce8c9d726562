// Broadcasts a configured message every interval, drawn at random or taken in list order.
#include "events/TimedMessages.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "events/ConfiguredMessage.h"
#include "events/OwnIntervals.h"
#include "grammar/Keys.h"
#include "host/Platform.h"

namespace {

// The clock may be moved anywhere; a due time past the end of the range means "never again".
// The bounds are tested before adding, since a signed overflow is undefined.
std::int64_t AddSaturated(std::int64_t now, std::int64_t delta) {
  if (delta > 0 && now > INT64_MAX - delta) return INT64_MAX;
  if (delta < 0 && now < INT64_MIN - delta) return INT64_MIN;
  return now + delta;
}

std::int32_t CountOf(const nlohmann::json& messages) {
  if (!messages.is_array() && !messages.is_object()) return 0;
  return static_cast<std::int32_t>(std::min<std::size_t>(messages.size(), INT32_MAX));
}

bool ReceivableAt(const nlohmann::json& messages, std::int32_t index) {
  return messages.is_array() && SomeoneWouldReceive(messages[static_cast<std::size_t>(index)]);
}

// One of count candidates, drawn with rand until it is not the last turn's message; indexAt(k) names the
// message the k-th candidate stands for. Needs two candidates or more, so the draw ends.
template <class IndexAt>
std::int32_t DrawAvoidingLast(std::int32_t count, IndexAt&& indexAt) {
  std::int32_t index = 0;
  do {
    const float unit = static_cast<float>(Rand15()) / 32767.0F;
    index = indexAt(std::min(static_cast<std::int32_t>(unit * static_cast<float>(count)), count - 1));
  } while (index == LastTimedMessageIndex());
  return index;
}

// Any message at random, never the last one again. A list of fewer than two is always its first element,
// and leaves the last index alone.
std::int32_t DrawAny(const nlohmann::json& messages) {
  const std::int32_t count = CountOf(messages);
  if (count < 2) return 0;
  LastTimedMessageIndex() = DrawAvoidingLast(count, [](std::int32_t k) { return k; });
  return LastTimedMessageIndex();
}

// The same draw among the messages someone would receive; none when nobody would receive any.
std::optional<std::int32_t> DrawAmongReceivable(const nlohmann::json& messages) {
  std::vector<std::int32_t> qualifying;
  for (std::int32_t i = 0; i < CountOf(messages); ++i) {
    if (ReceivableAt(messages, i)) qualifying.push_back(i);
  }
  if (qualifying.empty()) return std::nullopt;
  const auto count = static_cast<std::int32_t>(qualifying.size());
  LastTimedMessageIndex() =
      count < 2 ? qualifying.front()
                : DrawAvoidingLast(count, [&](std::int32_t k) { return qualifying[static_cast<std::size_t>(k)]; });
  return LastTimedMessageIndex();
}

// The turn's message in list order: the one after the last, wrapping around; with skip, the first of those
// that someone would receive. None when nothing qualifies; the last index then stays.
std::optional<std::int32_t> NextInOrder(const nlohmann::json& messages, bool skip) {
  const std::int32_t n = CountOf(messages);
  for (std::int32_t step = 1; step <= n; ++step) {
    // The last index may come from a longer list before a reload, or be -1 before the first turn.
    std::int64_t index = (std::int64_t{LastTimedMessageIndex()} + step) % n;
    if (index < 0) index += n;
    const auto candidate = static_cast<std::int32_t>(index);
    if (!skip || ReceivableAt(messages, candidate)) {
      LastTimedMessageIndex() = candidate;
      return candidate;
    }
  }
  return std::nullopt;
}

std::optional<std::int32_t> ChooseTurn(const nlohmann::json& timed, const nlohmann::json& messages) {
  const bool sequential = config::String(timed, grammar::Timed::Order) == grammar::Order::Sequential;
  const bool skip = config::Bool(timed, grammar::Timed::Skip_Unreceivable);
  if (sequential) return NextInOrder(messages, skip);
  if (skip) return DrawAmongReceivable(messages);
  return DrawAny(messages);
}

void SendMessageAt(const nlohmann::json& messages, std::int32_t index) {
  // Only an element that exists can be read; anything else (a null or short list, an object) would fail
  // at its first read, and such a message is abandoned.
  if (!messages.is_array() || static_cast<std::size_t>(index) >= messages.size()) return;
  SendConfiguredMessage(messages[static_cast<std::size_t>(index)]);
}

}  // namespace

std::int64_t& NextTimedMessageTime() {
  static std::int64_t ticks = 0;
  return ticks;
}

std::int32_t& LastTimedMessageIndex() {
  static std::int32_t index = -1;
  return index;
}

int Rand15() {
  // glibc's rand spans 31 bits, the classic one 15; the high bits are the better ones in either.
  constexpr int Bits = std::bit_width(static_cast<unsigned>(RAND_MAX));
  static_assert(Bits >= 15, "the C runtime promises at least 15 random bits");
  return std::rand() >> (Bits - 15);  // NOLINT(cert-msc30-c): an unseeded sequence is the intent
}

void SendTimedMessage() {
  try {
    const nlohmann::json& timed = config::Section(Config(), grammar::Top::TimedMessages);
    const auto found = timed.find(grammar::Timed::Messages.name);
    static const nlohmann::json noMessages = nlohmann::json::array();
    const nlohmann::json& messages = found != timed.end() ? *found : noMessages;
    if (messages.is_array() && std::ranges::any_of(messages, HasOwnInterval)) {
      // The rotation is the list without the messages on their own clocks, in list order.
      nlohmann::json rotation = nlohmann::json::array();
      for (const nlohmann::json& message : messages) {
        if (!HasOwnInterval(message)) rotation.push_back(message);
      }
      if (const std::optional<std::int32_t> index = ChooseTurn(timed, rotation)) SendMessageAt(rotation, *index);
      return;
    }
    if (const std::optional<std::int32_t> index = ChooseTurn(timed, messages)) SendMessageAt(messages, *index);
  } catch (...) {
    // A broken message is skipped silently; the next one is due one interval later.
  }
}

void SendTimedMessageWhenDue() {
  try {
    const nlohmann::json& timed = config::Section(Config(), grammar::Top::TimedMessages);
    if (!config::Bool(timed, grammar::Timed::Enabled)) return;
    const std::int64_t now = Platform::SystemClockTicks();
    static bool started = false;
    if (!started) {
      started = true;
      // Read leniently: a delay that cannot be read is no delay, never a lost turn.
      const auto found = timed.find(grammar::Timed::Start_Delay.name);
      const std::int32_t delay = found != timed.end() && found->is_number() ? config::ToInt32(*found) : 0;
      if (delay > 0) NextTimedMessageTime() = AddSaturated(now, std::int64_t{delay} * Platform::TicksPerSecond);
    }
    SendOwnIntervalMessages(timed, now);
    if (now < NextTimedMessageTime()) return;
    const std::int64_t interval = config::Int32(timed, grammar::Timed::Interval);
    // The due time moves before the message is built: a message that fails still used its turn.
    NextTimedMessageTime() = AddSaturated(now, interval * Platform::TicksPerSecond);
    SendTimedMessage();
  } catch (...) {
    // An unreadable section sends nothing this time; the other steps of the timer do not depend on it.
  }
}
