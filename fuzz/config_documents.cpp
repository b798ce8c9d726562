// Fuzz target: one configuration document through everything that reads it: Load, a reload, a custom
// chat command, a possession with the welcome step, a timed message, and the next scheduled minute.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "chat/CustomCommands.h"
#include "commands/AdminCommands.h"
#include "events/ScheduledMessages.h"
#include "events/TimedMessages.h"
#include "fuzz/FuzzServer.h"
#include "host/GameFunctions.h"
#include "host/Platform.h"
#include "plugin/Plugin.h"
#include "sim/game/Game.h"
#include "sim/game/Objects.h"
#include "sim/host/Clock.h"
#include "sim/host/Host.h"
#include "text/Text.h"

namespace {

using heraldix::fuzz::Alice;
using heraldix::fuzz::Bob;
using heraldix::fuzz::Carol;
using heraldix::fuzz::FuzzServer;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzServer& server = FuzzServer::Get("{}");
  server.WriteConfig(data, size);

  ::Unload();
  ::Load();
  server.Check("load");

  FString reload = WidenAscii("hx.reload");
  ReloadCmd(server.Player(Alice), &reload, false);
  server.Check("a reload");

  // The first and the last command of the table, typed by a player in no group and by one in a group.
  const CustomCommandMap& table = CustomCommandTable();
  if (!table.empty()) {
    FString first = table.begin()->first;
    FString last = table.rbegin()->first;
    OnCustomChatCommand(server.Player(Carol), &first, EChatSendMode::GlobalChat);
    OnCustomChatCommand(server.Player(Bob), &last, EChatSendMode::LocalChat);
  }
  server.Check("a custom chat command");

  // Carol's character is possessed again (the plug-in forgot her greeting at load), then the delay
  // runs out and timer calls greet her and send a timed message that is due at once. The game's own
  // character is reused: a new one per input would grow the game without end.
  auto* carol = static_cast<sim::SimController*>(server.Player(Carol));
  const auto possessed = reinterpret_cast<Game::AShooterCharacter_PossessedBy::Pointer>(
      sim::HookedEntry(std::string(Game::AShooterCharacter_PossessedBy::Key())));
  possessed(carol->character, carol);
  NextTimedMessageTime() = 0;
  sim::Wait(6);
  server.Check("the welcome step and a timed message");

  // The clock jumps to the next minute the schedule waits for, and the timer runs through it.
  const std::int64_t due = NextScheduledCheck();
  if (due != INT64_MAX) {
    const std::int64_t seconds = due / Platform::TicksPerSecond - sim::SystemTicks() / Platform::TicksPerSecond;
    sim::MoveSystemClock(std::max<std::int64_t>(seconds, 0));
    sim::Wait(61);
  }
  server.Check("a scheduled minute");
  return 0;
}
