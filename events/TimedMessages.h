// Owns the timed messages: the game-state timer hook, the due time and the random choice.
#pragma once

#include <cstdint>

#include <nlohmann/json.hpp>

#include "host/GameFunctions.h"

// System-clock ticks (100 ns) at or after which the next timed message is due.
std::int64_t& NextTimedMessageTime();
// Index of the message the last draw chose; -1 before the first draw.
std::int32_t& LastTimedMessageIndex();

extern Game::AGameState_DefaultTimer::Pointer AGameState_DefaultTimer_original;

// The game's own timer first, then a timed message when one is due, then the welcome step. Never raises.
void Hook_AGameState_DefaultTimer(AGameState* self);

// Chooses one message and delivers it; errors abandon the message silently.
void SendTimedMessage();

// Delivers one message object of the timed kind ("MessageToSend", "MessageType", the group filters, ...).
// Raises the JSON library's errors for a message that cannot be read.
void SendConfiguredMessage(const nlohmann::json& message);

// A number from 0 to 32767 taken from the C runtime's unseeded rand, whatever its RAND_MAX.
int Rand15();
