#include "plugin/Plugin.h"

#include <array>
#include <exception>
#include <string>

#include "chat/CustomCommands.h"
#include "commands/AdminCommands.h"
#include "config/Config.h"
#include "config/ConfigReport.h"
#include "config/ConfigValues.h"
#include "events/Countdown.h"
#include "events/GameTimer.h"
#include "events/JoinLeave.h"
#include "events/Welcome.h"
#include "grammar/Words.h"
#include "host/ICommands.h"
#include "host/IHooks.h"
#include "host/Logging.h"
#include "players/Players.h"
#include "text/Text.h"

namespace {

struct ConsoleRow {
  const char* name;
  void (*handler)(APlayerController*, FString*, bool);
};
struct RconRow {
  const char* name;
  void (*handler)(RCONClientConnection*, RCONPacket*, UWorld*);
};
// One row per registration, in registration order; unregistration walks the same order.
struct CommandRow {
  const ConsoleRow* console;
  const RconRow* rcon;
};

constexpr ConsoleRow SendServerConsole{"hx.sendserver", &SendServerCmd};
constexpr ConsoleRow SendChatConsole{"hx.sendchat", &SendChatCmd};
constexpr ConsoleRow SendNotificationConsole{"hx.sendnotification", &SendNotificationCmd};
constexpr ConsoleRow ReloadConsole{"hx.reload", &ReloadCmd};
constexpr ConsoleRow ChatAsPlayerConsole{"hx.chatasplayer", &ChatAsPlayerCmd};
constexpr ConsoleRow CountdownConsole{"hx.countdown", &CountdownCmd};
constexpr RconRow SendServerRconRow{"hx.sendserver", &SendServerRcon};
constexpr RconRow SendChatRconRow{"hx.sendchat", &SendChatRcon};
constexpr RconRow SendNotificationRconRow{"hx.sendnotification", &SendNotificationRcon};
constexpr RconRow ReloadRconRow{"hx.reload", &ReloadRcon};
constexpr RconRow ChatAsPlayerRconRow{"hx.chatasplayer", &ChatAsPlayerRcon};
constexpr RconRow CountdownRconRow{"hx.countdown", &CountdownRcon};

constexpr std::array<CommandRow, 12> CommandRows{{
    {&SendServerConsole, nullptr},
    {&SendChatConsole, nullptr},
    {&SendNotificationConsole, nullptr},
    {nullptr, &SendServerRconRow},
    {nullptr, &SendChatRconRow},
    {nullptr, &SendNotificationRconRow},
    {&ReloadConsole, nullptr},
    {nullptr, &ReloadRconRow},
    {&ChatAsPlayerConsole, nullptr},
    {nullptr, &ChatAsPlayerRconRow},
    {&CountdownConsole, nullptr},
    {nullptr, &CountdownRconRow},
}};

void CreateLogger() {
  auto& sinks = GetLogSinks();
  auto logger = std::make_shared<spdlog::logger>(std::string(grammar::PluginName), sinks.begin(), sinks.end());
  logger->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
  logger->flush_on(spdlog::level::info);
  Log() = std::move(logger);
}

void LogError(const char* what, const char* reason) noexcept {
  try {
    if (Log()) Log()->error("{}: {}", what, reason);
  } catch (...) {
    // Nothing is left to report with when the logger itself fails.
  }
}

// Runs step so that nothing it raises reaches the host; a failure is logged with its reason.
template <class Step>
bool Contained(const char* what, Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (const std::exception& error) {
    LogError(what, error.what());
  } catch (...) {
    LogError(what, "unknown error");
  }
  return false;
}

void RegisterAdminCommands() {
  auto& commands = TarrowApi::GetCommands();
  for (const CommandRow& row : CommandRows) {
    if (row.console != nullptr) commands.RegisterConsoleCommand(WidenAscii(row.console->name), row.console->handler);
    if (row.rcon != nullptr) commands.RegisterRconCommand(WidenAscii(row.rcon->name), row.rcon->handler);
  }
}

void UnregisterAdminCommands() {
  auto& commands = TarrowApi::GetCommands();
  for (const CommandRow& row : CommandRows) {
    if (row.console != nullptr) commands.UnregisterConsoleCommand(WidenAscii(row.console->name));
    if (row.rcon != nullptr) commands.UnregisterRconCommand(WidenAscii(row.rcon->name));
  }
}

void InstallHooks() {
  auto& hooks = TarrowApi::GetHooks();
  hooks.SetHook(std::string(Game::AShooterCharacter_PossessedBy::Key()), &Hook_AShooterCharacter_PossessedBy,
                &AShooterCharacter_PossessedBy_original);
  hooks.SetHook(std::string(Game::AGameState_DefaultTimer::Key()), &Hook_AGameState_DefaultTimer,
                &AGameState_DefaultTimer_original);
  hooks.SetHook(std::string(Game::AShooterGameMode_Logout::Key()), &Hook_AShooterGameMode_Logout,
                &AShooterGameMode_Logout_original);
}

void RemoveHooks() {
  auto& hooks = TarrowApi::GetHooks();
  hooks.DisableHook(std::string(Game::AShooterCharacter_PossessedBy::Key()), &Hook_AShooterCharacter_PossessedBy);
  hooks.DisableHook(std::string(Game::AGameState_DefaultTimer::Key()), &Hook_AGameState_DefaultTimer);
  hooks.DisableHook(std::string(Game::AShooterGameMode_Logout::Key()), &Hook_AShooterGameMode_Logout);
}

}  // namespace

void Load() {
  try {
    CreateLogger();
  } catch (...) {
    // The plug-in works without a logger; it only ever reports a failed load through it.
  }
  // Without a configuration there is nothing to serve: no command, hook or chat command is added.
  config::ForgetWrongType();
  try {
    ReadConfig();
  } catch (...) {
    LogConfigFailure("Not loaded, the configuration could not be read", nullptr);
    return;
  }
  if (!Contained("Not loaded, the host refused a registration", [] {
        RegisterAdminCommands();
        InstallHooks();
      })) {
    return;
  }
  // One broken custom command must not take the admin commands, the welcome or the timed messages off
  // the server: the rest of Load stands.
  try {
    RegisterCustomCommands();
  } catch (...) {
    LogConfigFailure("Custom chat commands not registered", &Config());
  }
  players::Load();
}

void Unload() {
  // Unload cannot know how far Load got; it asks for every removal once, and the host accepts removing
  // what was never added. Each step runs even when the one before failed.
  Contained("Unload: admin commands", [] { UnregisterAdminCommands(); });
  Contained("Unload: hooks", [] { RemoveHooks(); });
  Contained("Unload: custom chat commands", [] { RemoveCustomCommands(); });
  Contained("Unload: welcomes", [] { ForgetWelcomes(); });
  Contained("Unload: countdown and join lines", [] {
    EndCountdown();
    ForgetJoinedPlayers();
  });
  players::Unload();
}
