// Broadcasts a configured message every interval, drawn at random or taken in list order, driven by the game
// state's timer.
#include "events/TimedMessages.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/ColourValues.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "delivery/Delivery.h"
#include "delivery/Placeholders.h"
#include "events/ScheduledMessages.h"
#include "events/Welcome.h"
#include "host/Permissions.h"
#include "host/Platform.h"
#include "text/Colour.h"
#include "text/Text.h"

Game::AGameState_DefaultTimer::Pointer AGameState_DefaultTimer_original = nullptr;

namespace {

// The clock may be moved anywhere; a due time past the end of the range means "never again".
// The bounds are tested before adding, since a signed overflow is undefined.
std::int64_t AddSaturated(std::int64_t now, std::int64_t delta) {
  if (delta > 0 && now > INT64_MAX - delta) return INT64_MAX;
  if (delta < 0 && now < INT64_MIN - delta) return INT64_MIN;
  return now + delta;
}

// Draws until the index differs from the last one, so a list of two or more never repeats itself.
std::int32_t ChooseIndex(const nlohmann::json& messages) {
  std::size_t count = 0;
  if (messages.is_array() || messages.is_object()) count = messages.size();
  if (count < 2) return 0;
  const auto n = static_cast<std::int32_t>(std::min<std::size_t>(count, INT32_MAX));
  std::int32_t index = 0;
  do {
    const float unit = static_cast<float>(Rand15()) / 32767.0F;
    index = static_cast<std::int32_t>(unit * static_cast<float>(n));
    if (index > n - 1) index = n - 1;
  } while (index == LastTimedMessageIndex());
  LastTimedMessageIndex() = index;
  return index;
}

bool InAnyGroup(std::uint64_t id, const std::vector<FString>& groups) {
  return std::ranges::any_of(groups, [id](const FString& group) { return Permissions::IsPlayerInGroup(id, group); });
}

std::vector<FString> WidenAll(const std::vector<std::string>& names) {
  std::vector<FString> wide;
  wide.reserve(names.size());
  for (const std::string& name : names) wide.push_back(WidenAscii(name));
  return wide;
}

// A message without player-count conditions asks the game nothing, exactly as before they existed.
bool PlayerCountAllows(const nlohmann::json& message) {
  if (!message.is_object()) return true;  // the reads that follow fail on it, as they always did
  const auto min = message.find(ConfigKeys::TimedMessage::Min_Players_Online.name);
  const auto max = message.find(ConfigKeys::TimedMessage::Max_Players_Online.name);
  if (min == message.end() && max == message.end()) return true;
  const std::int32_t low = min != message.end() ? ConfigValue::ToInt32(*min) : INT32_MIN;
  const std::int32_t high = max != message.end() ? ConfigValue::ToInt32(*max) : INT32_MAX;
  const std::int32_t online = PlayersOnline();
  return online >= low && online <= high;
}

// Whether at least one player online now passes the message's player counts and group filters. A message
// that cannot be read reaches nobody.
bool SomeoneWouldReceive(const nlohmann::json& messages, std::int32_t index) {
  try {
    if (!messages.is_array()) return false;
    const nlohmann::json& message = messages.at(static_cast<std::size_t>(index));
    if (!message.is_object() || !PlayerCountAllows(message)) return false;
    const std::vector<FString> only =
        WidenAll(ConfigValue::StringList(message, ConfigKeys::TimedMessage::Only_Send_To_Permission_Groups));
    const std::vector<FString> exclude =
        WidenAll(ConfigValue::StringList(message, ConfigKeys::TimedMessage::Exclude_Permissions_Groups));
    bool someone = false;
    ForEachOnlinePlayer([&](AShooterPlayerController* player) {
      if (someone) return;
      if (only.empty() && exclude.empty()) {
        someone = true;
        return;
      }
      const std::uint64_t id = Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player);
      someone = !only.empty() ? InAnyGroup(id, only) : !InAnyGroup(id, exclude);
    });
    return someone;
  } catch (...) {
    return false;
  }
}

std::int32_t CountOf(const nlohmann::json& messages) {
  if (!messages.is_array() && !messages.is_object()) return 0;
  return static_cast<std::int32_t>(std::min<std::size_t>(messages.size(), INT32_MAX));
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
    if (!skip || SomeoneWouldReceive(messages, candidate)) {
      LastTimedMessageIndex() = candidate;
      return candidate;
    }
  }
  return std::nullopt;
}

// The random draw of ChooseIndex, among the messages someone would receive: never the last one again when
// two or more qualify.
std::optional<std::int32_t> DrawAmongReceivable(const nlohmann::json& messages) {
  std::vector<std::int32_t> qualifying;
  for (std::int32_t i = 0; i < CountOf(messages); ++i) {
    if (SomeoneWouldReceive(messages, i)) qualifying.push_back(i);
  }
  if (qualifying.empty()) return std::nullopt;
  const auto m = static_cast<std::int32_t>(qualifying.size());
  std::int32_t index = qualifying.front();
  if (m >= 2) {
    do {
      const float unit = static_cast<float>(Rand15()) / 32767.0F;
      const std::int32_t k = std::min(static_cast<std::int32_t>(unit * static_cast<float>(m)), m - 1);
      index = qualifying[static_cast<std::size_t>(k)];
    } while (index == LastTimedMessageIndex());
  }
  LastTimedMessageIndex() = index;
  return index;
}

std::optional<std::int32_t> ChooseTurn(const nlohmann::json& timed, const nlohmann::json& messages) {
  const bool sequential = ConfigValue::String(timed, ConfigKeys::Timed::Order) == "Sequential";
  const bool skip = ConfigValue::Bool(timed, ConfigKeys::Timed::Skip_Unreceivable);
  if (sequential) return NextInOrder(messages, skip);
  if (skip) return DrawAmongReceivable(messages);
  return ChooseIndex(messages);  // the draw as it always was, down to the sequence of random numbers
}

// One delivery of the message, to one player or (player null) to everyone. The per-kind values are read
// at each delivery, so every receiving player costs the same reads.
void Deliver(const nlohmann::json& message, std::optional<MessageKind> kind, const FString& text, ColourBytes colour,
             AShooterPlayerController* player) {
  if (!kind) return;  // a message of a kind this plug-in does not know is sent to nobody
  const bool everyone = player == nullptr;
  SendMessageOfKind(
      *kind, player, text, colour, everyone,
      [&] { return FromUtf8(ConfigValue::String(message, ConfigKeys::TimedMessage::Sender)); },
      [&] {
        NotificationLook look;
        look.DisplayScale = ConfigValue::Float(message, ConfigKeys::TimedMessage::DisplayScale);
        look.DisplayTime = ConfigValue::Float(message, ConfigKeys::TimedMessage::DisplayTime);
        look.Icon = LoadTexture(WidenAscii(ConfigValue::String(message, ConfigKeys::TimedMessage::Icon_BP)).View());
        return look;
      });
}

void SendMessageAt(const nlohmann::json& messages, std::int32_t index) {
  // Only an element that exists can be read; anything else (a null or short list, an object) would fail
  // at its first read, and such a message is abandoned.
  if (!messages.is_array() || static_cast<std::size_t>(index) >= messages.size()) return;
  SendConfiguredMessage(messages[static_cast<std::size_t>(index)]);
}

}  // namespace

void SendConfiguredMessage(const nlohmann::json& message) {
  if (!PlayerCountAllows(message)) return;
  const FString text = FromUtf8(ConfigValue::String(message, ConfigKeys::TimedMessage::MessageToSend));
  const std::optional<MessageKind> kind = ReadMessageKind(message, ConfigKeys::TimedMessage::MessageType);
  const std::vector<FString> only =
      WidenAll(ConfigValue::StringList(message, ConfigKeys::TimedMessage::Only_Send_To_Permission_Groups));
  const std::vector<FString> exclude =
      WidenAll(ConfigValue::StringList(message, ConfigKeys::TimedMessage::Exclude_Permissions_Groups));
  const ColourBytes colour =
      OpaqueColour(ConfigValue::RgbFromObject(ConfigValue::Section(message, ConfigKeys::TimedMessage::MessageColour)));

  // With placeholders, a text naming the player is one text per player; the other values are the same for all.
  const bool replaces = kind && PlaceholdersOn() && HoldsAnyPlaceholder(text.View());
  const bool perPlayer = replaces && HoldsPlaceholder(text.View(), ConfigKeys::Placeholder::Player);
  PlaceholderValues values;
  const auto deliverTo = [&](AShooterPlayerController* player) {
    if (!replaces) {
      Deliver(message, kind, text, colour, player);
      return;
    }
    values.SetPlayer(player);
    Deliver(message, kind, WithPlaceholders(text, *kind, values), colour, player);
  };

  if (only.empty() && exclude.empty()) {
    if (perPlayer) {
      ForEachOnlinePlayer(deliverTo);
    } else {
      deliverTo(nullptr);
    }
    return;
  }
  ForEachOnlinePlayer([&](AShooterPlayerController* player) {
    const std::uint64_t id = Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player);
    // An "only" list decides alone; the exclusions count only when it is empty.
    const bool receives = !only.empty() ? InAnyGroup(id, only) : !InAnyGroup(id, exclude);
    if (receives) deliverTo(player);
  });
}

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
    const nlohmann::json& timed = ConfigValue::Section(Config(), ConfigKeys::Top::TimedMessages);
    const auto found = timed.find(ConfigKeys::Timed::Messages.name);
    static const nlohmann::json noMessages = nlohmann::json::array();
    const nlohmann::json& messages = found != timed.end() ? *found : noMessages;
    if (const std::optional<std::int32_t> index = ChooseTurn(timed, messages)) SendMessageAt(messages, *index);
  } catch (...) {
    // A broken message is skipped silently; the next one is due one interval later.
  }
}

void Hook_AGameState_DefaultTimer(AGameState* self) {
  try {
    AGameState_DefaultTimer_original(self);
  } catch (...) {
    // Nothing may leave a hook body into the game.
  }
  try {
    const nlohmann::json& timed = ConfigValue::Section(Config(), ConfigKeys::Top::TimedMessages);
    if (ConfigValue::Bool(timed, ConfigKeys::Timed::Enabled)) {
      const std::int64_t now = Platform::SystemClockTicks();
      if (now >= NextTimedMessageTime()) {
        const std::int64_t interval = ConfigValue::Int32(timed, ConfigKeys::Timed::Interval);
        // The due time moves before the message is built: a message that fails still used its turn.
        NextTimedMessageTime() = AddSaturated(now, interval * Platform::TicksPerSecond);
        SendTimedMessage();
      }
    }
  } catch (...) {
    // An unreadable section sends nothing this time; greetings below do not depend on it.
  }
  SendScheduledMessages();
  SendWelcomeMessages();
}
