// Owns the three ways a message reaches players, one player, everyone online or a list of them, and icon
// loading.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "config/MessageKind.h"
#include "grammar/Keys.h"
#include "host/FString.h"
#include "host/GameTypes.h"
#include "text/Colour.h"

// Whom one delivery reaches: the player, or with allPlayers every player of ForEachOnlinePlayer; or each
// player of a list, in its order. The list is not copied: it must outlive the delivery.
class Recipients {
 public:
  Recipients(AShooterPlayerController* player, bool allPlayers) noexcept : player_(player), all_(allPlayers) {}
  explicit Recipients(std::span<AShooterPlayerController* const> players) noexcept : listed_(players), isList_(true) {}

  // A null player alone is nobody to deliver to: the delivery fails.
  [[nodiscard]] bool Valid() const noexcept { return all_ || isList_ || player_ != nullptr; }
  template <class Visit>
  void ForEach(Visit&& visit) const;

 private:
  AShooterPlayerController* player_ = nullptr;
  bool all_ = false;
  std::span<AShooterPlayerController* const> listed_;
  bool isList_ = false;
};

// Each operation passes the text through FormatText once and calls the game's message function for each
// recipient. True when the message went out (to everyone found, possibly nobody); false for recipients that
// are not Valid, or when any error was raised on the way (nothing escapes).
bool SendServerMessage(const Recipients& to, const FString& message, ColourBytes colour);
bool SendChatMessage(const Recipients& to, const FString& message, FString sender, ColourBytes colour);
// Note the order: time before scale here; the game function takes scale before time.
bool SendNotification(const Recipients& to, const FString& message, ColourBytes colour, float displayTime,
                      float displayScale, UTexture2D* icon);

inline bool SendServerMessage(AShooterPlayerController* player, const FString& message, ColourBytes colour,
                              bool allPlayers) {
  return SendServerMessage(Recipients(player, allPlayers), message, colour);
}
inline bool SendChatMessage(AShooterPlayerController* player, const FString& message, FString sender,
                            ColourBytes colour, bool allPlayers) {
  return SendChatMessage(Recipients(player, allPlayers), message, std::move(sender), colour);
}
inline bool SendNotification(AShooterPlayerController* player, const FString& message, ColourBytes colour,
                             float displayTime, float displayScale, UTexture2D* icon, bool allPlayers) {
  return SendNotification(Recipients(player, allPlayers), message, colour, displayTime, displayScale, icon);
}

// What a notification shows besides its text and colour.
struct NotificationLook {
  float DisplayTime = 10.0F;
  float DisplayScale = 1.0F;
  UTexture2D* Icon = nullptr;
};

// The one place a message kind becomes a delivery: text goes out as kind to the recipients, and the
// delivery's result is returned. What only one kind needs is asked of the caller when that kind is sent,
// and not before: sender() gives a chat message's sender, look() a notification's NotificationLook. A value
// of the wrong type in the configuration thus spoils only the kind that reads it, and errors those two raise
// reach the caller.
template <class Sender, class Look>
bool SendMessageOfKind(MessageKind kind, const Recipients& to, const FString& text, ColourBytes colour, Sender&& sender,
                       Look&& look) {
  switch (kind) {
    case MessageKind::Server:
      return SendServerMessage(to, text, colour);
    case MessageKind::Chat: {
      FString from = std::forward<Sender>(sender)();
      return SendChatMessage(to, text, std::move(from), colour);
    }
    case MessageKind::Notification: {
      const NotificationLook shown = std::forward<Look>(look)();
      return SendNotification(to, text, colour, shown.DisplayTime, shown.DisplayScale, shown.Icon);
    }
  }
  return false;
}

// A notification's look as object configures it under the keys given: its scale, its time and its icon's path,
// read in that order, each with its default. Raises the JSON library's error for a value of the wrong type.
NotificationLook ConfiguredLook(const nlohmann::json& object, const grammar::Key& scale, const grammar::Key& time,
                                const grammar::Key& icon);

// "Global.StaticLoadObject" for a UTexture2D under path; null when nothing is there. Never cached. Unlike the
// deliveries it catches nothing: a game without the loading functions raises Game::UnknownKey.
UTexture2D* LoadTexture(std::u16string_view path);

// Calls visit(controller) for every entry of the world's player list whose weak pointer still resolves,
// in list order. Game functions are looked up at every use.
template <class Visit>
void ForEachOnlinePlayer(Visit&& visit);

// The number of entries of the world's player list that still resolve: the players online.
std::int32_t PlayersOnline();

#include "delivery/OnlinePlayers.inl"
