// Sends a configured message (a timed or scheduled one) to those its player counts and group filters admit.
#include "events/ConfiguredMessage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/ColourValues.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "delivery/Delivery.h"
#include "delivery/Placeholders.h"
#include "events/TimeLeft.h"
#include "grammar/Keys.h"
#include "host/Permissions.h"
#include "players/LocalText.h"
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

// One configured message on its way: how it looks, whom it is about, and when.
struct Outgoing {
  const nlohmann::json& message;
  std::optional<MessageKind> kind;
  ColourBytes colour;
  const MessageOccasion& occasion;
};

// One delivery of the message's text to the recipients. The per-kind values are read at each delivery, so
// every receiving player costs the same reads.
void Deliver(const Outgoing& out, const FString& text, const Recipients& to) {
  if (!out.kind) return;  // a message of a kind this plug-in does not know is sent to nobody
  SendMessageOfKind(
      *out.kind, to, text, out.colour, [&] { return FromUtf8(config::String(out.message, Keys::Sender)); },
      [&] { return ConfiguredLook(out.message, Keys::DisplayScale, Keys::DisplayTime, Keys::Icon_BP); });
}

// The message's text as the players of one language read it, the time left in their words.
FString ShownIn(const Outgoing& out, const LocalText& text, std::string_view language) {
  FString shown = FromUtf8(players::TextIn(text, language));
  if (!out.kind || !out.occasion.secondsLeft) return shown;
  const std::u16string words = TimeLeftWords(*out.occasion.secondsLeft, language);
  return FString(WithTimeLeft(shown.View(), words, PlaceholderReading{1, *out.kind == MessageKind::Chat}));
}

// Sends text to every player online the audience admits (group null), or to the players of a group. With
// placeholders, a text naming the receiving player is one text per player; the other values are the same
// for all. A message about a player (a join or leave line) always has its placeholders, and names that player.
void SendText(const Outgoing& out, const Audience& audience, const FString& text,
              const std::vector<AShooterPlayerController*>* group) {
  AShooterPlayerController* const subject = out.occasion.subject;
  const bool about = subject != nullptr;
  const bool replaces = out.kind && (about || PlaceholdersOn()) && HoldsAnyPlaceholder(text.View());
  const bool perPlayer = replaces && !about && HoldsPlaceholder(text.View(), grammar::Placeholder::Player);
  PlaceholderValues values;
  if (about) values.SetPlayer(subject);
  const auto deliverTo = [&](const Recipients& to, AShooterPlayerController* player) {
    if (!replaces) {
      Deliver(out, text, to);
      return;
    }
    if (!about) values.SetPlayer(player);
    Deliver(out, WithPlaceholders(text, *out.kind, values), to);
  };

  if (group != nullptr) {
    // A group shares one text unless it names each receiving player.
    if (!perPlayer) {
      deliverTo(Recipients(*group), nullptr);
      return;
    }
    for (AShooterPlayerController* player : *group) deliverTo(Recipients(player, false), player);
    return;
  }
  if (audience.Everyone() && !perPlayer && !about) {
    deliverTo(Recipients(nullptr, true), nullptr);
    return;
  }
  ForEachOnlinePlayer([&](AShooterPlayerController* player) {
    if (player != subject && audience.Receives(player)) deliverTo(Recipients(player, false), player);
  });
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
  const LocalText text = LocalText::Read(message, Keys::MessageToSend);
  const std::optional<MessageKind> kind = ReadMessageKind(message, Keys::MessageType);
  // A countdown's announcement and a line about a player reach everyone; the rest is what players can turn off.
  const bool automatic = !occasion.secondsLeft && occasion.subject == nullptr;
  const Audience audience(message, automatic);
  const ColourBytes colour = OpaqueColour(config::RgbFromObject(config::Section(message, Keys::MessageColour)));
  const Outgoing out{message, kind, colour, occasion};

  // Players read different texts only once someone has picked a language; until then everyone reads the
  // default language's, exactly as a plain string goes out.
  const bool counted = kind && occasion.secondsLeft;
  if (!players::AnyoneHasLanguage() || !(text.Varies() || (counted && TimeLeftWordsVary()))) {
    SendText(out, audience, ShownIn(out, text, {}), nullptr);
    return;
  }
  // Each language's text is made once, for all of its players.
  const std::vector<players::LanguageGroup> groups = players::OnlineByLanguage(
      [&](AShooterPlayerController* player) { return player != occasion.subject && audience.Receives(player); });
  for (const players::LanguageGroup& group : groups) {
    SendText(out, audience, ShownIn(out, text, group.language), &group.players);
  }
}
