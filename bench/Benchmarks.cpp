// The benchmarks, each beside its baseline: an idle timer call, chat broadcasts, command lookup, reload.
#include "bench/Benchmarks.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "bench/BenchServer.h"
#include "bench/HeapCount.h"
#include "chat/CustomCommands.h"
#include "config/Config.h"
#include "delivery/Delivery.h"
#include "events/Countdown.h"
#include "events/ScheduledMessages.h"
#include "events/TimedMessages.h"
#include "events/Welcome.h"
#include "host/GameFunctions.h"
#include "sim/game/Game.h"
#include "sim/host/Host.h"
#include "text/RichColor.h"
#include "text/Text.h"

namespace heraldix::bench {
namespace {

// --- An idle game-timer call ----------------------------------------------------------------------------

void IdleTimerGame(benchmark::State& state) {
  BenchServer& server = BenchServer::Get();
  const auto own = reinterpret_cast<Game::AGameState_DefaultTimer::Pointer>(
      GetAddress(std::string(Game::AGameState_DefaultTimer::Key())));
  AGameState* self = server.GameState();
  for (auto _ : state) own(self);
}

// The game timer as the game calls it, through the plug-in's hook, while nothing is due. With a setup, the
// held document is first changed by setup.edit (and restored afterwards) and a countdown of a day is started
// when setup.countdown is set. A first call before the measured ones works the held document out.
struct IdleSetup {
  void (*edit)(nlohmann::json& document) = nullptr;
  bool countdown = false;
};

void IdleTimer(benchmark::State& state, IdleSetup setup) {
  BenchServer& server = BenchServer::Get();
  // What the game calls: the plug-in's hook, which calls on to the game's own timer.
  const auto hooked = reinterpret_cast<Game::AGameState_DefaultTimer::Pointer>(
      sim::HookedEntry(std::string(Game::AGameState_DefaultTimer::Key())));
  AGameState* self = server.GameState();
  const nlohmann::json saved = Config();
  if (setup.edit != nullptr) {
    nlohmann::json edited = saved;
    setup.edit(edited);
    ReplaceConfig(std::move(edited));
    if (setup.countdown && !StartCountdown(86'400, u"Restart in {TimeLeft}")) {
      state.SkipWithError("the countdown did not start");
    }
  }
  hooked(self);
  const std::int64_t due = NextTimedMessageTime();
  const std::int64_t nextCheck = NextScheduledCheck();
  const std::int64_t before = HeapAllocations();
  for (auto _ : state) hooked(self);
  state.counters["allocations_per_call"] =
      static_cast<double>(HeapAllocations() - before) / static_cast<double>(state.iterations());
  if (setup.countdown && !CountdownRunning()) state.SkipWithError("the countdown ended");
  if (NextScheduledCheck() != nextCheck) state.SkipWithError("a scheduled message was due after all");
  if (NextTimedMessageTime() != due) state.SkipWithError("a timed message was due after all");
  if (!PendingWelcomes().empty()) state.SkipWithError("a welcome was queued");
  CancelCountdown();
  if (setup.edit != nullptr) ReplaceConfig(saved);
}

void IdleTimerPlugin(benchmark::State& state) { IdleTimer(state, {}); }

// A dozen times a day, some on certain days only, none of them at the benchmark server's clock (its epoch,
// a Thursday at midnight).
nlohmann::json ADozenScheduledTimes() {
  return nlohmann::json::parse(R"({"Enabled": true, "Messages": [
    {"MessageToSend": "Restart in 10 minutes", "MessageType": "Notification", "At": ["05:50"]},
    {"MessageToSend": "Restart in 5 minutes", "MessageType": "Notification", "At": ["05:55"]},
    {"MessageToSend": "Restart now", "MessageType": "Server", "At": ["05:59"]},
    {"MessageToSend": "Lunch raid", "At": ["12:00", "12:30"], "Days": ["Sat", "Sun"]},
    {"MessageToSend": "Event tonight", "At": ["18:00", "19:00", "19:45"], "Days": ["Sat"]},
    {"MessageToSend": "Vote for us", "At": ["09:00", "15:00", "21:00"]},
    {"MessageToSend": "Weekly wipe", "At": ["23:30"], "Days": ["Wed"]}
  ]})");
}

void IdleTimerScheduled(benchmark::State& state) {
  IdleTimer(state, {[](nlohmann::json& document) { document["ScheduledMessages"] = ADozenScheduledTimes(); }});
}

// Everything an admin may add beside the rotation, none of it due: a countdown running a day, a dozen messages
// on their own clocks, the same dozen scheduled times each counted down from ten minutes before, join and
// leave lines, and every text of them in two languages for players who picked theirs.
void IdleTimerEverything(benchmark::State& state) {
  BenchServer::Get().SetPlayers(100);
  KeptChoices kept;
  if (!kept.PickLanguages(100)) state.SkipWithError("the players' languages were not kept");
  const auto everything = [](nlohmann::json& document) {
    const auto inTwo = [](const std::string& text) { return nlohmann::json{{"en", text}, {"de", "DE " + text}}; };
    nlohmann::json scheduled = ADozenScheduledTimes();
    for (nlohmann::json& message : scheduled["Messages"]) {
      message["Countdown"] = {600, 300, 60, 10};
      message["MessageToSend"] = inTwo(message["MessageToSend"].get<std::string>());
    }
    document["ScheduledMessages"] = scheduled;
    for (int i = 0; i < 12; ++i) {
      document["TimedMessages"]["Messages"].push_back({{"MessageToSend", inTwo("Own clock " + std::to_string(i))},
                                                       {"Interval", 1000000 + i},
                                                       {"Start_Delay", 1000000}});
    }
    document["JoinLeaveMessages"] = {{"Enabled", true},
                                     {"Join", {{"MessageToSend", inTwo("{Player} joined")}}},
                                     {"Leave", {{"MessageToSend", inTwo("{Player} left")}}}};
    document["Countdown"] = {{"Final_Message", inTwo("Restarting")},
                             {"MessageType", "Notification"},
                             {"Words", {{"Minutes", inTwo("minutes")}}}};
  };
  IdleTimer(state, {everything, true});
}

// --- A chat message to everyone -------------------------------------------------------------------------

const FString& BroadcastText() {
  static const FString text(u"The server restarts in 10 minutes: finish what you build");
  return text;
}
const FString& BroadcastSender() {
  static const FString sender(u"Admin");
  return sender;
}
constexpr ColourBytes BroadcastColour{255, 200, 0, 255};

void ReportBlocks(benchmark::State& state, std::int64_t blocks, int players) {
  const double broadcasts = static_cast<double>(state.iterations());
  state.counters["blocks_per_player"] = static_cast<double>(blocks) / broadcasts / players;
}

void BroadcastPlugin(benchmark::State& state) {
  BenchServer& server = BenchServer::Get();
  const auto players = static_cast<int>(state.range(0));
  server.SetPlayers(players);
  const std::int64_t before = BenchServer::BlocksTaken();
  for (auto _ : state) {
    if (!SendChatMessage(nullptr, BroadcastText(), BroadcastSender(), BroadcastColour, true)) {
      state.SkipWithError("the broadcast failed");
      break;
    }
  }
  ReportBlocks(state, BenchServer::BlocksTaken() - before, players);
}

void BroadcastBare(benchmark::State& state) {
  BenchServer& server = BenchServer::Get();
  const auto players = static_cast<int>(state.range(0));
  server.SetPlayers(players);
  const std::vector<AShooterPlayerController*> controllers = server.Players();
  // The record the plug-in would send, made once: the game's function called for each player, no more.
  FChatMessage record;
  record.SenderName = BroadcastSender();
  record.Message = FromUtf8(RichColorMarkup(BroadcastText(), BroadcastColour, false));
  record.ReceivedTime = -1.0;
  const auto send = reinterpret_cast<Game::AShooterPlayerController_ClientChatMessage::Pointer>(
      GetAddress(std::string(Game::AShooterPlayerController_ClientChatMessage::Key())));
  const std::int64_t before = BenchServer::BlocksTaken();
  for (auto _ : state) {
    for (AShooterPlayerController* player : controllers) send(player, record);
  }
  ReportBlocks(state, BenchServer::BlocksTaken() - before, players);
}

// --- A custom chat command in a table of 10,000 ---------------------------------------------------------

constexpr std::size_t Probes = 64;

// Names spread over the table, typed in mixed case as players do.
std::vector<std::u16string> ProbeNames() {
  std::vector<std::u16string> names;
  for (std::size_t i = 0; i < Probes; ++i) {
    std::u16string name(WidenAscii(CommandName(static_cast<int>(i * 157 % ConfigCommands))).View());
    if (i % 2 == 1) name[1] = u'C';
    names.push_back(name);
  }
  return names;
}

void LookupPlugin(benchmark::State& state) {
  BenchServer::Get();
  const CustomCommandMap& table = CustomCommandTable();
  std::vector<FString> keys;
  for (const std::u16string& name : ProbeNames()) keys.emplace_back(name);
  std::size_t i = 0;
  for (auto _ : state) {
    auto found = table.find(keys[i++ % Probes]);
    benchmark::DoNotOptimize(found);
  }
  if (table.size() != ConfigCommands) state.SkipWithError("the table does not hold every command");
}

void LookupFromLine(benchmark::State& state) {
  BenchServer& server = BenchServer::Get();
  if (server.Players().empty()) server.SetPlayers(1);
  AShooterPlayerController* player = server.Players().front();
  // The chat callback's whole way from a typed line to its table entry. The words miss the table by one
  // letter, so the callback stops at the lookup instead of going on to send a reply.
  std::vector<FString> lines;
  for (const std::u16string& name : ProbeNames()) lines.emplace_back(name + u"x with some words after it");
  std::size_t i = 0;
  for (auto _ : state) OnCustomChatCommand(player, &lines[i++ % Probes], EChatSendMode::GlobalChat);
}

void LookupStdMap(benchmark::State& state) {
  std::map<std::u16string, int> table;
  for (int i = 0; i < ConfigCommands; ++i) {
    table.emplace(WidenAscii(CommandName(i)).View(), i);
  }
  std::vector<std::u16string> keys;
  for (std::size_t i = 0; i < Probes; ++i) {
    keys.emplace_back(WidenAscii(CommandName(static_cast<int>(i * 157 % ConfigCommands))).View());
  }
  std::size_t i = 0;
  for (auto _ : state) {
    auto found = table.find(keys[i++ % Probes]);
    benchmark::DoNotOptimize(found);
  }
}

// --- A reload of a large configuration -------------------------------------------------------------------

void ReloadPlugin(benchmark::State& state) {
  BenchServer::Get();
  // Over the remote console, as an administrator reloads a live server; the reply tells it worked.
  RCONClientConnection* connection = sim::OpenRconConnection();
  std::int32_t id = 1;
  for (auto _ : state) {
    const std::vector<std::string> replies = sim::ServeRcon(connection, id++, "hx.reload");
    if (replies != std::vector<std::string>{"Heraldix: Reloaded config"}) {
      state.SkipWithError("the reload failed");
      break;
    }
  }
  sim::CloseRconConnection(connection);
  if (CustomCommandTable().size() != ConfigCommands) state.SkipWithError("the table does not hold every command");
}

void ReloadJsonOnly(benchmark::State& state) {
  const std::filesystem::path path = BenchServer::Get().ConfigPath();
  for (auto _ : state) {
    std::ifstream in(path);
    nlohmann::json document = nlohmann::json::parse(in);
    benchmark::DoNotOptimize(document);
  }
}

}  // namespace

benchmark::internal::Benchmark* Register(const char* name, void (*run)(benchmark::State&)) {
  return benchmark::RegisterBenchmark(name, run)->ComputeStatistics(
      FastestStatistic,
      [](const std::vector<double>& runs) { return runs.empty() ? 0.0 : *std::min_element(runs.begin(), runs.end()); });
}

void RegisterBenchmarks() {
  Register("IdleTimerCall/game", IdleTimerGame);
  Register("IdleTimerCall/plugin", IdleTimerPlugin);
  Register("IdleTimerCall/plugin-scheduled", IdleTimerScheduled);
  Register("IdleTimerCall/plugin-everything", IdleTimerEverything);
  // Each size beside its baseline, so both see the same game: the same players, the same heap.
  for (const int players : {100, 1000}) {
    Register("ChatBroadcast/bare", BroadcastBare)->Arg(players)->Unit(benchmark::kMicrosecond);
    Register("ChatBroadcast/plugin", BroadcastPlugin)->Arg(players)->Unit(benchmark::kMicrosecond);
  }
  Register("CommandLookup/std::map", LookupStdMap);
  Register("CommandLookup/plugin", LookupPlugin);
  Register("CommandLookup/plugin-line", LookupFromLine);
  Register("Reload/json-parse", ReloadJsonOnly)->Unit(benchmark::kMillisecond);
  Register("Reload/plugin", ReloadPlugin)->Unit(benchmark::kMillisecond);
  RegisterPlayerBenchmarks();
}

}  // namespace heraldix::bench
