#include "players/Players.h"

#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "config/Config.h"
#include "config/ConfigReport.h"
#include "grammar/Keys.h"
#include "host/Platform.h"
#include "players/PlayerCommands.h"
#include "players/Store.h"

namespace {

struct Known {
  bool advertsOff = false;
  std::string language;
  std::int64_t firstSeen = 0;
  std::int64_t lastSeen = 0;
};

struct State {
  PlayerSettings settings;
  std::string path;  // the open store's file
  std::unique_ptr<PlayerStore> store;
  bool kept = false;  // the store is open and has not failed
  std::unordered_map<std::uint64_t, Known> table;
  std::size_t optedOut = 0;      // rows of the table with adverts off
  std::size_t withLanguage = 0;  // rows of the table with a language
};

State& Held() {
  static State state;
  return state;
}

void LogError(const std::string& text) noexcept {
  try {
    if (Log()) Log()->error("{}", text);
  } catch (...) {
    // Nothing is left to report with when the logger itself fails.
  }
}

std::int64_t Now() noexcept { return Platform::SystemClockTicks() / Platform::TicksPerSecond; }

// A write that failed on the store's thread is reported here, on the game thread, once; from then on
// everyone is as if they chose nothing.
void NoticeFault(State& state) noexcept {
  if (!state.kept || !state.store) return;
  auto fault = state.store->TakeFault();
  if (!fault) return;
  state.kept = false;
  state.table.clear();
  state.optedOut = 0;
  state.withLanguage = 0;
  LogError("Players' choices no longer kept, " + *fault + ": " + state.path);
}

void Open(State& state) noexcept {
  try {
    state.path = DatabasePath(state.settings);
    OpenedStore opened = OpenPlayerStore(state.path);
    if (!opened.movedTo.empty()) {
      LogError("Players' database was not a database: moved it to " + opened.movedTo +
               " and started a fresh one: " + state.path);
    }
    if (!opened.store) {
      LogError("Players' choices not kept, " + opened.error + ": " + state.path);
      return;
    }
    state.table.clear();
    state.optedOut = 0;
    state.withLanguage = 0;
    for (PlayerRow& row : opened.rows) {
      state.optedOut += row.advertsOff ? 1 : 0;
      state.withLanguage += row.language.empty() ? 0 : 1;
      state.table[row.id] = Known{row.advertsOff, std::move(row.language), row.firstSeen, row.lastSeen};
    }
    state.store = std::move(opened.store);
    state.kept = true;
  } catch (const std::exception& error) {
    LogError(std::string("Players' choices not kept: ") + error.what());
  }
}

void Close(State& state) noexcept {
  NoticeFault(state);
  state.store.reset();  // drains the queue
  state.kept = false;
  state.table.clear();
  state.optedOut = 0;
  state.withLanguage = 0;
}

bool ReadSettings(PlayerSettings& settings) noexcept {
  try {
    settings = ReadPlayerSettings(Config());
    return true;
  } catch (...) {
    LogConfigFailure(
        "Players' choices not kept, the \"" + std::string(grammar::Top::Players.name) + "\" section could not be read",
        &Config());
    return false;
  }
}

// The player's row, made on first use, marked seen now.
Known& Row(State& state, std::uint64_t id) {
  Known& known = state.table[id];
  const std::int64_t now = Now();
  if (known.firstSeen == 0) known.firstSeen = now;
  known.lastSeen = now;
  return known;
}

void Queue(State& state, std::uint64_t id, const Known& known) {
  state.store->Put(PlayerRow{id, known.advertsOff, known.language, known.firstSeen, known.lastSeen});
}

}  // namespace

namespace players {

void Load() noexcept {
  State& state = Held();
  Close(state);
  state.settings = PlayerSettings{};
  if (!ReadSettings(state.settings) || !state.settings.enabled) return;
  Open(state);
  RegisterPlayerCommands(state.settings);
}

void Reload() noexcept {
  State& state = Held();
  PlayerSettings settings;
  if (!ReadSettings(settings)) settings = PlayerSettings{};
  RemovePlayerCommands(state.settings);
  const bool sameFile = settings.enabled && state.settings.enabled && state.store && [&] {
    try {
      return DatabasePath(settings) == state.path;
    } catch (...) {
      return false;
    }
  }();
  if (!sameFile) Close(state);
  state.settings = std::move(settings);
  if (!state.settings.enabled) return;
  if (!sameFile) Open(state);
  RegisterPlayerCommands(state.settings);
}

void Unload() noexcept {
  State& state = Held();
  RemovePlayerCommands(state.settings);
  Close(state);
}

const PlayerSettings& Settings() noexcept { return Held().settings; }

bool Kept() noexcept {
  State& state = Held();
  NoticeFault(state);
  return state.kept;
}

bool AdvertsOff(std::uint64_t id) noexcept {
  const State& state = Held();
  const auto found = state.table.find(id);
  return found != state.table.end() && found->second.advertsOff;
}

bool AnyoneOptedOut() noexcept { return Held().optedOut != 0; }

std::string_view Language(std::uint64_t id) noexcept {
  const State& state = Held();
  const auto found = state.table.find(id);
  return found == state.table.end() ? std::string_view{} : std::string_view(found->second.language);
}

bool AnyoneHasLanguage() noexcept { return Held().withLanguage != 0; }

std::string_view ShownLanguage(std::uint64_t id) noexcept {
  const std::string_view own = Language(id);
  return own.empty() ? std::string_view(Held().settings.defaultLanguage) : own;
}

const std::string& TextIn(const LocalText& text, std::string_view language) noexcept {
  return text.For(language, Held().settings.defaultLanguage);
}

const std::string& TextFor(const LocalText& text, std::uint64_t id) noexcept { return TextIn(text, Language(id)); }

const std::string& TextFor(const LocalText& text, AShooterPlayerController* player) {
  if (!text.Varies() || !AnyoneHasLanguage()) return TextIn(text, {});
  return TextFor(text, Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player));
}

bool Seen(std::uint64_t id) noexcept {
  State& state = Held();
  if (!Kept()) return false;
  try {
    const bool first = !state.table.contains(id);
    Queue(state, id, Row(state, id));
    return first;
  } catch (...) {
    return false;
  }
}

bool ChooseAdverts(std::uint64_t id, bool off) noexcept {
  State& state = Held();
  if (!Kept()) return false;
  try {
    Known& known = Row(state, id);
    if (known.advertsOff != off) {
      if (off) {
        ++state.optedOut;
      } else {
        --state.optedOut;
      }
    }
    known.advertsOff = off;
    Queue(state, id, known);
    return true;
  } catch (...) {
    return false;
  }
}

bool ChooseLanguage(std::uint64_t id, std::string_view code) noexcept {
  State& state = Held();
  if (!Kept()) return false;
  try {
    Known& known = Row(state, id);
    state.withLanguage += known.language.empty() ? 1 : 0;
    known.language = code;
    Queue(state, id, known);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace players
