// Owns players' own choices as the game thread sees them: the table read from the store at load, the
// choices made since, and the store behind them, through the plug-in's load, reload and unload.
#pragma once

#include <cstdint>
#include <string_view>

#include "players/PlayerSettings.h"

namespace players {

// Reads the "Players" section of the held document; when enabled, opens the store, reads it and registers
// the players' chat commands. A failure writes one error record and leaves everything else running.
void Load() noexcept;
// After the held document was replaced: the store stays open when its settings name the same file.
void Reload() noexcept;
// Unregisters the commands, writes everything queued and closes the store.
void Unload() noexcept;

// The settings read at the last load or reload.
const PlayerSettings& Settings() noexcept;
// Choices are kept: the section is enabled and the store works.
bool Kept() noexcept;

// What the player chose; as if they chose nothing while choices are not kept.
bool AdvertsOff(std::uint64_t id) noexcept;
// Whether any player, online or not, has automatic messages off.
bool AnyoneOptedOut() noexcept;
std::string_view Language(std::uint64_t id) noexcept;

// Marks the player seen now and queues their row; true when their id was never seen before. False for
// everyone while choices are not kept: nobody is then greeted as new.
bool Seen(std::uint64_t id) noexcept;

// Make a choice and queue it for the store. False when choices are not kept: nothing changed.
bool ChooseAdverts(std::uint64_t id, bool off) noexcept;
bool ChooseLanguage(std::uint64_t id, std::string_view code) noexcept;

}  // namespace players
