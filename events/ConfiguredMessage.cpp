// Sends a configured message (a timed or scheduled one) to those its player counts and group filters admit.
#include "events/ConfiguredMessage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/ColourValues.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "delivery/Delivery.h"
#include "delivery/Placeholders.h"
#include "events/TimeLeft.h"
#include "grammar/Keys.h"
#include "host/Permissions.h"
#include "players/Players.h"
#include "text/Colour.h"
#include "text/Text.h"

namespace {

namespace Keys = grammar::TimedMessage;

// The message's group filters: an "only" list decides alone; the exclusions count only when it is empty.
// Players who turned automatic messages off receive none of them, whatever their groups.
class Audience {
 public:
  Audience(const nlohmann::json& message, bool automatic)
      : only_(WidenAll(config::StringList(message, Keys::Only_Send_To_Permission_Groups))),
        exclude_(WidenAll(config::StringList(message, Keys::Exclude_Permissions_Groups))),
        optedOutOnline_(automatic && SomeoneOnlineOptedOut()) {}

  // Whether every player online receives it, with no question to the permission service.
  bool Everyone() const { return only_.empty() && exclude_.empty() && !optedOutOnline_; }

  bool Receives(AShooterPlayerController* player) const {
    if (Everyone()) return true;
    const std::uint64_t id = Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player);
    if (optedOutOnline_ && players::AdvertsOff(id)) return false;
    if (only_.empty() && exclude_.empty()) return true;
    return !only_.empty() ? InAnyGroup(id, only_) : !InAnyGroup(id, exclude_);
  }

 private:
  static std::vector<FString> WidenAll(const std::vector<std::string>& names) {
    std::vector<FString> wide;
    wide.reserve(names.size());
    for (const std::string& name : names) wide.push_back(WidenAscii(name));
    return wide;
  }

  // Asked of the game only while someone anywhere has turned automatic messages off.
  static bool SomeoneOnlineOptedOut() {
    if (!players::AnyoneOptedOut()) return false;
    bool someone = false;
    ForEachOnlinePlayer([&someone](AShooterPlayerController* player) {
      someone =
          someone || players::AdvertsOff(Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player));
    });
    return someone;
  }

  static bool InAnyGroup(std::uint64_t id, const std::vector<FString>& groups) {
    return std::ranges::any_of(groups, [id](const FString& group) { return Permissions::IsPlayerInGroup(id, group); });
  }

  std::vector<FString> only_;
  std::vector<FString> exclude_;
  bool optedOutOnline_;
};

// One delivery of the message, to one player or (player null) to everyone. The per-kind values are read
// at each delivery, so every receiving player costs the same reads.
void Deliver(const nlohmann::json& message, std::optional<MessageKind> kind, const FString& text, ColourBytes colour,
             AShooterPlayerController* player) {
  if (!kind) return;  // a message of a kind this plug-in does not know is sent to nobody
  const bool everyone = player == nullptr;
  SendMessageOfKind(
      *kind, player, text, colour, everyone, [&] { return FromUtf8(config::String(message, Keys::Sender)); },
      [&] { return ConfiguredLook(message, Keys::DisplayScale, Keys::DisplayTime, Keys::Icon_BP); });
}

}  // namespace

bool PlayerCountAllows(const nlohmann::json& message) {
  if (!message.is_object()) return true;  // the reads that follow raise on it
  const auto min = message.find(Keys::Min_Players_Online.name);
  const auto max = message.find(Keys::Max_Players_Online.name);
  if (min == message.end() && max == message.end()) return true;
  const std::int32_t low = min != message.end() ? config::ToInt32(*min) : INT32_MIN;
  const std::int32_t high = max != message.end() ? config::ToInt32(*max) : INT32_MAX;
  const std::int32_t online = PlayersOnline();
  return online >= low && online <= high;
}

bool SomeoneWouldReceive(const nlohmann::json& message) {
  try {
    if (!message.is_object() || !PlayerCountAllows(message)) return false;
    const Audience audience(message, true);
    bool someone = false;
    ForEachOnlinePlayer([&](AShooterPlayerController* player) { someone = someone || audience.Receives(player); });
    return someone;
  } catch (...) {
    return false;
  }
}

void SendConfiguredMessage(const nlohmann::json& message, const MessageOccasion& occasion) {
  if (!PlayerCountAllows(message)) return;
  FString text = FromUtf8(config::String(message, Keys::MessageToSend));
  const std::optional<MessageKind> kind = ReadMessageKind(message, Keys::MessageType);
  // A countdown's announcement and a line about a player reach everyone; the rest is what players can turn off.
  const bool automatic = occasion.timeLeft == nullptr && occasion.subject == nullptr;
  const Audience audience(message, automatic);
  const ColourBytes colour = OpaqueColour(config::RgbFromObject(config::Section(message, Keys::MessageColour)));
  if (kind && occasion.timeLeft != nullptr) {
    text = FString(WithTimeLeft(text.View(), *occasion.timeLeft, PlaceholderReading{1, *kind == MessageKind::Chat}));
  }

  // With placeholders, a text naming the player is one text per player; the other values are the same for all.
  // A message about a player (a join or leave line) always has its placeholders, and names that player.
  const bool about = occasion.subject != nullptr;
  const bool replaces = kind && (about || PlaceholdersOn()) && HoldsAnyPlaceholder(text.View());
  const bool perPlayer = replaces && !about && HoldsPlaceholder(text.View(), grammar::Placeholder::Player);
  PlaceholderValues values;
  if (about) values.SetPlayer(occasion.subject);
  const auto deliverTo = [&](AShooterPlayerController* player) {
    if (!replaces) {
      Deliver(message, kind, text, colour, player);
      return;
    }
    if (!about) values.SetPlayer(player);
    Deliver(message, kind, WithPlaceholders(text, *kind, values), colour, player);
  };

  if (audience.Everyone() && !perPlayer && !about) {
    deliverTo(nullptr);
    return;
  }
  ForEachOnlinePlayer([&](AShooterPlayerController* player) {
    if (player != occasion.subject && audience.Receives(player)) deliverTo(player);
  });
}
