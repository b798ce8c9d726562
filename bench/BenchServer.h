// Owns the benchmarks' server: the simulated game and host with the plug-in's code linked in, one large
// configuration, players on demand, and a count of the blocks taken from the game allocator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/GameTypes.h"

namespace sim {
class Session;
}

namespace heraldix::bench {

inline constexpr int ConfigCommands = 10000;
inline constexpr int ConfigMessages = 1000;

// config.json with `commands` custom chat commands ("/cmd0" ...) and `messages` timed messages. Timed
// messages are on, with an interval no benchmark outlives, and greetings are off.
std::string LargeConfig(int commands, int messages);

// Name of the custom chat command with this index in LargeConfig.
std::string CommandName(int index);

// The one server of the process, made on first use: a temporary server directory holding LargeConfig,
// event recording and tracing off, the plug-in loaded through its own Load. Unloaded at exit.
class BenchServer {
 public:
  static BenchServer& Get();

  BenchServer(const BenchServer&) = delete;
  BenchServer& operator=(const BenchServer&) = delete;
  ~BenchServer();

  // Joins or removes players so that exactly ids 1..count are online.
  void SetPlayers(int count);
  [[nodiscard]] std::vector<AShooterPlayerController*> Players() const;
  [[nodiscard]] AGameState* GameState() const { return gameState_; }
  [[nodiscard]] std::filesystem::path ConfigPath() const;

  // Blocks taken from the game allocator so far: FMemory.Malloc, and FMemory.Realloc of no block.
  [[nodiscard]] static std::int64_t BlocksTaken();

 private:
  BenchServer();

  std::filesystem::path dir_;
  std::unique_ptr<sim::Session> session_;
  AGameState* gameState_ = nullptr;
  int players_ = 0;
};

// While it lives, players' choices are kept: "Players" on, in a database of its own beside config.json,
// offering "en" and "de", and read by the plug-in's own players::Load. Afterwards the choices are unloaded,
// the document is as before and the database is gone.
class KeptChoices {
 public:
  KeptChoices();
  KeptChoices(const KeptChoices&) = delete;
  KeptChoices& operator=(const KeptChoices&) = delete;
  ~KeptChoices();

  // Players 1..count pick a language: the odd ones "en", the even ones "de". False when choices are not kept.
  bool PickLanguages(int count);

 private:
  nlohmann::json held_;
};

}  // namespace heraldix::bench
