// Owns the chat commands players make their choices with: turning automatic messages off and on, and
// picking a language.
#pragma once

#include "players/PlayerSettings.h"

// Registers the opt-out command, and the language command when languages are offered.
void RegisterPlayerCommands(const PlayerSettings& settings);
// Unregisters what RegisterPlayerCommands registered for these settings.
void RemovePlayerCommands(const PlayerSettings& settings) noexcept;
