// Owns the join and leave lines: who joined during this load, and the lines everyone else is sent.
#pragma once

#include <cstdint>

#include "host/GameTypes.h"

// Whether "JoinLeaveMessages" > "Enabled" is true. Raises the JSON library's type error for a section or value
// of the wrong type.
bool JoinLeaveLinesOn();

// A player's first living character of a visit was possessed: with the lines on, every other player online
// is sent "Join" about them, and they count as joined. Raises what the message's reads raise.
void SendJoinLine(AShooterPlayerController* player, std::uint64_t id, bool firstEver = false);

// A player logs out: one who joined during this load is forgotten, and with the lines on every other player
// online is sent "Leave" about them. Raises what the message's reads raise.
void SendLeaveLine(AShooterPlayerController* player, std::uint64_t id);

// Forgets who joined; run at unload.
void ForgetJoinedPlayers() noexcept;
