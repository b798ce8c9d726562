// Owns one configured message's delivery: its player counts, its group filters and its kind.
#pragma once

#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

#include "host/GameTypes.h"

// Whether the number of players online now lies within the message's "Min_Players_Online" and
// "Max_Players_Online"; a message without them asks the game nothing. A value of the wrong type raises.
bool PlayerCountAllows(const nlohmann::json& message);

// Whether at least one player online now passes the message's player counts and group filters. A message
// that cannot be read reaches nobody. Never raises.
bool SomeoneWouldReceive(const nlohmann::json& message);

// What a delivery of a configured message adds to the message itself.
struct MessageOccasion {
  std::optional<std::int32_t> secondsLeft;      // the time {TimeLeft} names, in each player's words
  AShooterPlayerController* subject = nullptr;  // the player {Player} names, who is not sent the message
};

// Delivers one message object of the timed kind ("MessageToSend", "MessageType", the group filters, ...), as
// the timed rotation and the schedule send it. A text given per language goes to each language's players in
// theirs, once someone has picked a language. Raises the JSON library's errors for a message that cannot be
// read.
void SendConfiguredMessage(const nlohmann::json& message, const MessageOccasion& occasion = {});
