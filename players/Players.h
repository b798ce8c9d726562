// Owns players' own choices as the game thread sees them: the table read from the store at load, the
// choices made since, and the store behind them, through the plug-in's load, reload and unload.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/Delivery.h"
#include "host/GameFunctions.h"
#include "host/GameTypes.h"
#include "players/LocalText.h"
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
// Whether any player, online or not, has picked a language. While nobody has (always while choices are not
// kept), every player is shown the default language's text.
bool AnyoneHasLanguage() noexcept;
// The language the player's texts are chosen in: their own, else "Default_Language" ("" when none is set).
std::string_view ShownLanguage(std::uint64_t id) noexcept;

// The one rule for which text of a LocalText a player is shown: the text in language, else in
// "Default_Language", else the first code's.
const std::string& TextIn(const LocalText& text, std::string_view language) noexcept;
const std::string& TextFor(const LocalText& text, std::uint64_t id) noexcept;
// The same for a player online; the game is asked who they are only when their language could matter.
const std::string& TextFor(const LocalText& text, AShooterPlayerController* player);

// Players online who share a language, in the order of the game's list.
struct LanguageGroup {
  std::string language;
  std::vector<AShooterPlayerController*> players;
};
// The players online that take(player) admits, grouped by ShownLanguage; groups in the order of their
// first player.
template <class Take>
std::vector<LanguageGroup> OnlineByLanguage(Take&& take) {
  std::vector<LanguageGroup> groups;
  ForEachOnlinePlayer([&](AShooterPlayerController* player) {
    if (!take(player)) return;
    const std::string_view language =
        ShownLanguage(Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player));
    for (LanguageGroup& group : groups) {
      if (group.language == language) {
        group.players.push_back(player);
        return;
      }
    }
    groups.push_back(LanguageGroup{std::string(language), {player}});
  });
  return groups;
}

// Marks the player seen now and queues their row; true when their id was never seen before. False for
// everyone while choices are not kept: nobody is then greeted as new.
bool Seen(std::uint64_t id) noexcept;

// Make a choice and queue it for the store. False when choices are not kept: nothing changed.
bool ChooseAdverts(std::uint64_t id, bool off) noexcept;
bool ChooseLanguage(std::uint64_t id, std::string_view code) noexcept;

}  // namespace players
