// Greets each player once per visit, a few seconds after their character is first possessed.
#include "events/Welcome.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "config/ColourValues.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "delivery/Delivery.h"
#include "delivery/Placeholders.h"
#include "events/Countdown.h"
#include "events/JoinLeave.h"
#include "host/IApiUtils.h"
#include "host/Timer.h"
#include "players/LocalText.h"
#include "players/Players.h"
#include "text/Colour.h"
#include "text/Text.h"

Game::AShooterCharacter_PossessedBy::Pointer AShooterCharacter_PossessedBy_original = nullptr;
Game::AShooterGameMode_Logout::Pointer AShooterGameMode_Logout_original = nullptr;

namespace {

// Bumped by ForgetWelcomes: a delayed welcome scheduled before that belongs to an earlier life of the
// plug-in and must not touch the lists of this one.
std::uint64_t welcomeGeneration = 0;

// Players on their first visit ever, noted at their arrival, until they are greeted or leave.
std::vector<std::uint64_t>& FirstVisitors() {
  static std::vector<std::uint64_t> ids;
  return ids;
}

bool Contains(const std::vector<std::uint64_t>& ids, std::uint64_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

const nlohmann::json& WelcomeSection() {
  return config::Section(config::Section(Config(), grammar::Top::Heraldix), grammar::Heraldix::WelcomeMessage);
}

std::uint64_t PlayerId(AController* controller) {
  // The controller of a player character is always the game's player controller; the host offers no
  // class test, and the game does none either.
  return Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(
      static_cast<AShooterPlayerController*>(controller));
}

void MarkDue(std::uint64_t id, std::uint64_t generation) noexcept {
  try {
    if (generation != welcomeGeneration) return;
    // A player who left during the delay is not marked, so their next visit is greeted.
    if (TarrowApi::GetApiUtils().FindPlayerById(id) == nullptr) return;
    PendingWelcomes().push_back(id);
    if (!Contains(WelcomedPlayers(), id)) WelcomedPlayers().push_back(id);
  } catch (...) {
    // Runs from the host's timer: nothing may escape into it.
  }
}

void ScheduleWelcome(AShooterCharacter* self) {
  if (!config::Bool(WelcomeSection(), grammar::Welcome::EnableWelcomeMessage)) return;
  if (Game::Call<Game::APrimalCharacter_IsDead>(self)) return;

  AController* controller = Game::Call<Game::APawn_GetOwnerController>(self);
  if (controller == nullptr) controller = Game::Call<Game::AActor_GetInstigatorController>(self);
  if (controller == nullptr) return;

  const std::uint64_t id = PlayerId(controller);
  if (Contains(WelcomedPlayers(), id)) return;

  const std::uint64_t generation = welcomeGeneration;
  const int delay = std::max(0, config::Int32(WelcomeSection(), grammar::Welcome::Delay));
  API::Timer::Get().DelayExecute([id, generation] { MarkDue(id, generation); }, delay);
}

// The first living character of a visit, for the countdown's alert and the join line. While neither is on,
// the game is asked nothing more than before they existed.
void NoteArrival(AShooterCharacter* self) {
  bool lines = false;
  try {
    lines = JoinLeaveLinesOn();
  } catch (...) {
    // An unreadable switch sends no join line; the countdown's alert does not depend on it.
  }
  const bool kept = players::Kept();
  if (!lines && !CountdownRunning() && !kept) return;
  if (Game::Call<Game::APrimalCharacter_IsDead>(self)) return;
  AController* controller = Game::Call<Game::APawn_GetOwnerController>(self);
  if (controller == nullptr) controller = Game::Call<Game::AActor_GetInstigatorController>(self);
  if (controller == nullptr) return;
  const std::uint64_t id = PlayerId(controller);
  NoteCountdownJoiner(id);
  // Every arrival marks the player seen; only their very first one is a first join.
  const bool firstEver = kept && players::Seen(id);
  if (firstEver) FirstVisitors().push_back(id);
  if (lines) SendJoinLine(static_cast<AShooterPlayerController*>(controller), id, firstEver);
}

void Greet(std::uint64_t id) {
  AShooterPlayerController* player = TarrowApi::GetApiUtils().FindPlayerById(id);
  if (player == nullptr) return;

  const nlohmann::json& welcome = WelcomeSection();
  // Any word that names no kind greets by chat.
  const MessageKind kind = ReadMessageKind(welcome, grammar::Welcome::WelcomeMessageType).value_or(MessageKind::Chat);

  const FString character = Game::Call<Game::AShooterPlayerController_GetPlayerCharacterName>(player);
  std::string name = ToUtf8(character);
  // A first visit ever is greeted apart when the section says how; the visit is no longer new either way.
  const auto first = std::find(FirstVisitors().begin(), FirstVisitors().end(), id);
  const bool firstEver = first != FirstVisitors().end();
  if (firstEver) FirstVisitors().erase(first);
  const grammar::Key& key = firstEver && welcome.contains(grammar::Welcome::First_Message.name)
                                ? grammar::Welcome::First_Message
                                : grammar::Welcome::Message;
  std::string message = players::TextFor(LocalText::Read(welcome, key), id);
  if (PlaceholdersOn()) {
    // The template meets the formatter twice: here, where {0} is the name, and again on delivery. The
    // placeholders' values go in written for both passes and the name for {0} for the second alone, so no
    // value is ever read as format text or markup.
    const bool markup = kind == MessageKind::Chat;
    PlaceholderValues values;
    values.SetPlayer(player);
    message = ReplacePlaceholders(message, values, PlaceholderReading{2, markup});
    name = ToUtf8(EscapedValue(character.View(), PlaceholderReading{1, markup}));
  }
  FString text = FromUtf8(fmt::format(fmt::runtime(message), name));
  const ColourBytes colour =
      OpaqueColour(config::RgbFromObject(config::Section(welcome, grammar::Welcome::WelcomeMessageColour)));

  SendMessageOfKind(
      kind, Recipients(player, false), text, colour,
      [] {
        const nlohmann::json& heraldix = config::Section(Config(), grammar::Top::Heraldix);
        return WidenAscii(config::String(heraldix, grammar::Heraldix::ClientChatSenderName));
      },
      [&] {
        return ConfiguredLook(welcome, grammar::Welcome::NotificationDisplayScale,
                              grammar::Welcome::NotificationDisplayTime, grammar::Welcome::Icon_BP);
      });
}

}  // namespace

std::vector<std::uint64_t>& WelcomedPlayers() {
  static std::vector<std::uint64_t> ids;
  return ids;
}

std::vector<std::uint64_t>& PendingWelcomes() {
  static std::vector<std::uint64_t> ids;
  return ids;
}

void Hook_AShooterCharacter_PossessedBy(AShooterCharacter* self, AController* newController) {
  try {
    AShooterCharacter_PossessedBy_original(self, newController);
  } catch (...) {
    // The game's own work raised; greeting decisions below still see a consistent character.
  }
  if (self == nullptr) return;
  try {
    ScheduleWelcome(self);
  } catch (...) {
    // An unreadable welcome section or a game call that failed: this possession schedules nothing.
  }
  try {
    NoteArrival(self);
  } catch (...) {
    // An unreadable join line or section: nobody is told, and the greeting above stands.
  }
}

void Hook_AShooterGameMode_Logout(AShooterGameMode* self, AController* exiting) {
  try {
    if (exiting != nullptr) {
      const std::uint64_t id = PlayerId(exiting);
      std::erase(WelcomedPlayers(), id);
      std::erase(FirstVisitors(), id);
      NoteCountdownLeaver(id);
      SendLeaveLine(static_cast<AShooterPlayerController*>(exiting), id);
    }
  } catch (...) {
    // The game must log the player out whatever happened to our bookkeeping.
  }
  try {
    AShooterGameMode_Logout_original(self, exiting);
  } catch (...) {
    // Nothing may leave a hook body into the game.
  }
}

void SendWelcomeMessages() {
  std::vector<std::uint64_t>& pending = PendingWelcomes();
  if (pending.empty()) return;
  // Greeting goes through game calls that never reach back here, so taking the whole queue at once is
  // the same as removing each id after it has been handled.
  std::vector<std::uint64_t> due;
  due.swap(pending);
  for (std::size_t i = 0; i < due.size(); ++i) {
    const std::uint64_t id = due[i];
    const auto here = due.begin() + static_cast<std::ptrdiff_t>(i);
    if (std::find(due.begin(), here, id) != here) continue;  // greeted once per step
    try {
      Greet(id);
    } catch (...) {
      // A greeting that cannot be made (a section of the wrong type, a template the formatter rejects) is
      // dropped; the other due players are still greeted.
    }
  }
}

void ForgetWelcomes() {
  ++welcomeGeneration;
  WelcomedPlayers().clear();
  WelcomedPlayers().shrink_to_fit();
  PendingWelcomes().clear();
  PendingWelcomes().shrink_to_fit();
  FirstVisitors().clear();
  FirstVisitors().shrink_to_fit();
}
