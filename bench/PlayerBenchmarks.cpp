// A player's choice as the game thread pays for it: the table in memory and a row on the writer's queue.
#include <cstdint>
#include <filesystem>
#include <unordered_map>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "bench/BenchServer.h"
#include "bench/Benchmarks.h"
#include "config/Config.h"
#include "players/Players.h"

namespace heraldix::bench {
namespace {

// The writer keeps up with far fewer choices than a loop can make; a fixed count keeps the drain at
// unload short.
constexpr std::int64_t Choices = 20'000;
constexpr std::uint64_t Players = 1000;

void ChoicePlugin(benchmark::State& state) {
  BenchServer& server = BenchServer::Get();
  const nlohmann::json held = Config();
  nlohmann::json config = held;
  config["Players"] = {{"Enabled", true}, {"Database", "bench-players.db"}};
  ReplaceConfig(config);
  players::Load();
  if (!players::Kept()) state.SkipWithError("the players' database did not open");
  std::uint64_t choice = 0;
  for (auto _ : state) {
    ++choice;
    benchmark::DoNotOptimize(players::ChooseAdverts(choice % Players + 1, (choice & 1U) != 0));
  }
  players::Unload();
  ReplaceConfig(held);
  const std::filesystem::path folder = server.ConfigPath().parent_path();
  for (const char* name : {"bench-players.db", "bench-players.db-wal", "bench-players.db-shm"}) {
    std::filesystem::remove(folder / name);
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

}  // namespace

void RegisterPlayerBenchmarks() {
  Register("PlayerChoice/map", ChoiceMap)->Iterations(Choices);
  Register("PlayerChoice/plugin", ChoicePlugin)->Iterations(Choices);
}

}  // namespace heraldix::bench
