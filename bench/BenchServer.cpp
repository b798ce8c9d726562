// The benchmarks' server: the simulated game with the plug-in's own Load, and the allocator count.
#include "bench/BenchServer.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <nlohmann/json.hpp>

#include "config/Config.h"
#include "host/GameFunctions.h"
#include "host/IHooks.h"
#include "players/Players.h"
#include "plugin/Plugin.h"
#include "sim/game/Game.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/runner/Session.h"

namespace heraldix::bench {
namespace {

// The allocator's own entries, and the count of blocks taken through them. Both sides of every
// comparison go through the same counting entries, so the count costs them the same.
Game::FMemory_Malloc::Pointer gameMalloc = nullptr;
Game::FMemory_Realloc::Pointer gameRealloc = nullptr;
std::int64_t blocksTaken = 0;

void* CountingMalloc(std::size_t size, std::uint32_t alignment) {
  ++blocksTaken;
  return gameMalloc(size, alignment);
}

void* CountingRealloc(void* block, std::size_t size) {
  if (block == nullptr) ++blocksTaken;
  return gameRealloc(block, size);
}

void CountAllocatorBlocks() {
  const std::string malloc(Game::FMemory_Malloc::Key());
  const std::string realloc(Game::FMemory_Realloc::Key());
  gameMalloc = reinterpret_cast<Game::FMemory_Malloc::Pointer>(GetAddress(malloc));
  gameRealloc = reinterpret_cast<Game::FMemory_Realloc::Pointer>(GetAddress(realloc));
  if (gameMalloc == nullptr || gameRealloc == nullptr) throw std::runtime_error("the game has no allocator");
  sim::RegisterGameFunction(malloc, reinterpret_cast<void*>(&CountingMalloc));
  sim::RegisterGameFunction(realloc, reinterpret_cast<void*>(&CountingRealloc));
}

// The game hands its state to the timer and nowhere else; a hook of our own sees it once.
AGameState* capturedState = nullptr;
Game::AGameState_DefaultTimer::Pointer capturedOriginal = nullptr;

void CaptureGameState(AGameState* self) {
  capturedState = self;
  capturedOriginal(self);
}

AGameState* FindGameState() {
  const std::string key(Game::AGameState_DefaultTimer::Key());
  TarrowApi::GetHooks().SetHook(key, &CaptureGameState, &capturedOriginal);
  sim::GameTimerTick();
  TarrowApi::GetHooks().DisableHook(key, &CaptureGameState);
  if (capturedState == nullptr) throw std::runtime_error("the game timer never ran");
  return capturedState;
}

}  // namespace

std::string CommandName(int index) { return "/cmd" + std::to_string(index); }

std::string LargeConfig(int commands, int messages) {
  nlohmann::json custom = nlohmann::json::object();
  for (int i = 0; i < commands; ++i) {
    custom[CommandName(i)] = {{"Message", "Reply number " + std::to_string(i) + " to a custom command"},
                              {"Type", i % 2 == 0 ? "Chat" : "Server"},
                              {"Sender", "Helper"},
                              {"MessageColor", {255, 128, 0}},
                              {"RequiredPermissionGroups", {"Default"}}};
  }
  nlohmann::json timed = nlohmann::json::array();
  for (int i = 0; i < messages; ++i) {
    timed.push_back({{"MessageToSend", "Timed message number " + std::to_string(i)},
                     {"MessageType", "Chat"},
                     {"MessageColour", {{"R", 0}, {"G", 200}, {"B", 255}}},
                     {"Sender", "Heraldix"}});
  }
  nlohmann::json config = {
      {"Heraldix", {{"ClientChatSenderName", "Heraldix"}, {"WelcomeMessage", {{"EnableWelcomeMessage", false}}}}},
      {"CustomCommands", custom},
      {"TimedMessages", {{"Enabled", true}, {"Interval", 1000000000}, {"Messages", timed}}},
  };
  return config.dump(2);
}

BenchServer& BenchServer::Get() {
  static BenchServer server;
  return server;
}

BenchServer::BenchServer() : dir_(sim::MakeTemporaryDirectory("heraldix-bench-")) {
  std::filesystem::create_directories(ConfigPath().parent_path());
  {
    std::ofstream out(ConfigPath(), std::ios::binary);
    out << LargeConfig(ConfigCommands, ConfigMessages);
    if (!out) throw std::runtime_error("cannot write " + ConfigPath().string());
  }
  session_ = std::make_unique<sim::Session>(sim::SessionOptions{dir_, "", false});
  sim::SetRecording(false);
  sim::SetEventListener({});
  CountAllocatorBlocks();
  gameState_ = FindGameState();
  ::Load();
  if (sim::InstalledHookCount() != 3) throw std::runtime_error("the plug-in did not load");
  // The first timer call sends the first timed message at once; after it nothing is due for years.
  sim::GameTimerTick();
}

BenchServer::~BenchServer() {
  ::Unload();
  session_.reset();
  std::error_code error;
  std::filesystem::remove_all(dir_, error);
}

void BenchServer::SetPlayers(int count) {
  for (; players_ < count; ++players_) {
    const std::string problem =
        sim::Join(static_cast<std::uint64_t>(players_ + 1), "Player" + std::to_string(players_ + 1));
    if (!problem.empty()) throw std::runtime_error(problem);
  }
  for (; players_ > count; --players_) {
    const std::string problem = sim::Leave(static_cast<std::uint64_t>(players_));
    if (!problem.empty()) throw std::runtime_error(problem);
  }
}

std::vector<AShooterPlayerController*> BenchServer::Players() const {
  std::vector<AShooterPlayerController*> players;
  for (int id = 1; id <= players_; ++id) players.push_back(sim::Player(static_cast<std::uint64_t>(id)));
  return players;
}

std::filesystem::path BenchServer::ConfigPath() const { return sim::ConfigPathIn(dir_); }

std::int64_t BenchServer::BlocksTaken() { return blocksTaken; }

namespace {
constexpr const char* ChoicesFile = "bench-players.db";
}  // namespace

KeptChoices::KeptChoices() : held_(Config()) {
  nlohmann::json config = held_;
  config["Players"] = {
      {"Enabled", true}, {"Database", ChoicesFile}, {"Languages", {"en", "de"}}, {"Default_Language", "en"}};
  ReplaceConfig(config);
  players::Load();
}

KeptChoices::~KeptChoices() {
  players::Unload();
  ReplaceConfig(held_);
  const std::filesystem::path folder = BenchServer::Get().ConfigPath().parent_path();
  std::error_code error;
  for (const std::string suffix : {"", "-wal", "-shm"}) std::filesystem::remove(folder / (ChoicesFile + suffix), error);
}

bool KeptChoices::PickLanguages(int count) {
  for (int id = 1; id <= count; ++id) {
    if (!players::ChooseLanguage(static_cast<std::uint64_t>(id), id % 2 == 1 ? "en" : "de")) return false;
  }
  return true;
}

}  // namespace heraldix::bench
