// Players' choices as the game thread pays for them: a choice kept (the table in memory and a row on the
// writer's queue), and a broadcast given in two languages beside the same broadcast as a plain string.
#include <cstdint>
#include <unordered_map>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "bench/BenchServer.h"
#include "bench/Benchmarks.h"
#include "events/ConfiguredMessage.h"
#include "players/Players.h"

namespace heraldix::bench {
namespace {

// The writer keeps up with far fewer choices than a loop can make; a fixed count keeps the drain at
// unload short.
constexpr std::int64_t Choices = 20'000;
constexpr std::uint64_t Players = 1000;

void ChoicePlugin(benchmark::State& state) {
  BenchServer::Get();
  const KeptChoices kept;
  if (!players::Kept()) state.SkipWithError("the players' database did not open");
  std::uint64_t choice = 0;
  for (auto _ : state) {
    ++choice;
    benchmark::DoNotOptimize(players::ChooseAdverts(choice % Players + 1, (choice & 1U) != 0));
  }
}

// The same choice kept in a plain map, without a store behind it.
void ChoiceMap(benchmark::State& state) {
  std::unordered_map<std::uint64_t, bool> table;
  std::uint64_t choice = 0;
  for (auto _ : state) {
    ++choice;
    table[choice % Players + 1] = (choice & 1U) != 0;
    benchmark::DoNotOptimize(table);
  }
}

// A timed chat message to every player online, half of whom read English and half German.
void TimedBroadcast(benchmark::State& state, const nlohmann::json& text) {
  BenchServer& server = BenchServer::Get();
  const auto players = static_cast<int>(state.range(0));
  server.SetPlayers(players);
  KeptChoices kept;
  if (!kept.PickLanguages(players)) state.SkipWithError("the players' languages were not kept");
  const nlohmann::json message = {{"MessageToSend", text}, {"MessageType", "Chat"}, {"Sender", "Heraldix"}};
  for (auto _ : state) SendConfiguredMessage(message);
}

void TimedBroadcastPlain(benchmark::State& state) {
  TimedBroadcast(state, "The server restarts in 10 minutes: finish what you build");
}

void TimedBroadcastLanguages(benchmark::State& state) {
  TimedBroadcast(state, {{"en", "The server restarts in 10 minutes: finish what you build"},
                         {"de", "Der Server startet in 10 Minuten neu: baut fertig, was ihr baut"}});
}

}  // namespace

void RegisterPlayerBenchmarks() {
  Register("PlayerChoice/map", ChoiceMap)->Iterations(Choices);
  Register("PlayerChoice/plugin", ChoicePlugin)->Iterations(Choices);
  Register("TimedBroadcast/plain", TimedBroadcastPlain)->Arg(1000)->Unit(benchmark::kMicrosecond);
  Register("TimedBroadcast/languages", TimedBroadcastLanguages)->Arg(1000)->Unit(benchmark::kMicrosecond);
}

}  // namespace heraldix::bench
