// Owns the three ways a message reaches players, one player or everyone online, and icon loading.
#pragma once

#include <string_view>

#include "host/FString.h"
#include "host/GameTypes.h"
#include "text/Colour.h"

// Each operation passes the text through FormatText and calls the game's message function for the player,
// or, with allPlayers set, for every player of ForEachOnlinePlayer. True when the message went out (to
// everyone found, possibly nobody); false for a null player without allPlayers, or when any error was
// raised on the way (nothing escapes).
bool SendServerMessage(AShooterPlayerController* player, FString message, ColourBytes colour, bool allPlayers);
bool SendChatMessage(AShooterPlayerController* player, FString message, FString sender, ColourBytes colour,
                     bool allPlayers);
// Note the order: time before scale here; the game function takes scale before time.
bool SendNotification(AShooterPlayerController* player, FString message, ColourBytes colour, float displayTime,
                      float displayScale, UTexture2D* icon, bool allPlayers);

// "Global.StaticLoadObject" for a UTexture2D under path; null when nothing is there. Never cached. Unlike the
// deliveries it catches nothing: a game without the loading functions raises Game::UnknownKey.
UTexture2D* LoadTexture(std::u16string_view path);

// Calls visit(controller) for every entry of the world's player list whose weak pointer still resolves,
// in list order. Game functions are looked up at every use.
template <class Visit>
void ForEachOnlinePlayer(Visit&& visit);

#include "delivery/OnlinePlayers.inl"
