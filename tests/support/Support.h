// Owns the shared test fixtures: temporary server directories, scenario runs through the real plug-in,
// and the simulated game live in the test process for unit tests of plug-in code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/GameTypes.h"

namespace heraldix::test {

// A temporary server directory, removed when destroyed.
class ServerDir {
 public:
  ServerDir();                                      // with TarrowApi/Plugins/Heraldix/ created, no config
  explicit ServerDir(std::string_view configJson);  // and config.json holding this text
  ServerDir(const ServerDir&) = delete;
  ServerDir& operator=(const ServerDir&) = delete;
  ~ServerDir();

  void WriteConfig(std::string_view text) const;
  [[nodiscard]] const std::filesystem::path& Path() const;
  [[nodiscard]] std::filesystem::path ConfigPath() const;

 private:
  std::filesystem::path path_;
};

struct Run {
  int exitStatus = 0;                  // what `heraldix-sim run` would exit with
  std::vector<nlohmann::json> events;  // every event as `--json --trace` prints it
  std::string error;                   // for exit status 2: "scenario:LINE: message"

  [[nodiscard]] std::vector<nlohmann::json> Of(std::string_view event) const;
  [[nodiscard]] std::vector<nlohmann::json> To(std::string_view playerId, std::string_view event) const;
};

// The plug-in library this build made.
std::string PluginPath();

// Runs scenario text through the simulator in this process with a plug-in library, loaded before the
// first line and unloaded after the last, tracing on, the server keeping local time in zone (as TZ names it).
// `config FILE` lines resolve against dir.
Run RunScenario(std::string_view scenario, const ServerDir& dir, const std::string& pluginPath = PluginPath(),
                const std::string& zone = "UTC");

// The simulated game and host in this process with NO plug-in library loaded, for unit tests of plug-in
// code linked into the test executable: GetAddress, FMemory, players, events all live. One at a time.
class LiveGame {
 public:
  LiveGame();
  LiveGame(const LiveGame&) = delete;
  LiveGame& operator=(const LiveGame&) = delete;
  ~LiveGame();

  // join/leave/die/respawn/stale/texture/groups/chat/console/rcon/wait/tick/clock/config... lines; a bad
  // line raises std::runtime_error. `load` and `unload` are refused.
  void Line(std::string_view scenarioLine);
  [[nodiscard]] AShooterPlayerController* Player(std::uint64_t id) const;
  [[nodiscard]] std::vector<nlohmann::json> Of(std::string_view event) const;
  [[nodiscard]] std::int64_t PluginBlocks() const;  // live blocks the code under test took
  [[nodiscard]] const ServerDir& Dir() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The real plug-in library loaded on a simulated server in this process and driven line by line, with
// the server's files changed in between by the test. Faults are collected apart, for good; onEvent sees
// every event as it happens. With events kept, Take() hands over those since the last Take(); a long run
// drops them instead, since an hour of a full server makes millions.
class LiveServer {
 public:
  enum class Events { Kept, Dropped };

  explicit LiveServer(const ServerDir& dir, Events events = Events::Kept);
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;
  ~LiveServer();  // unloads the plug-in if it is still loaded

  // A scenario line: join/leave/chat/console/rcon/wait/config.../load/unload.
  void Line(std::string_view scenarioLine);
  std::vector<nlohmann::json> Take();
  void Unload();

  std::function<void(const nlohmann::json&)> onEvent;
  std::vector<std::string> faults;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Events of one kind out of a list.
std::vector<nlohmann::json> EventsOf(const std::vector<nlohmann::json>& events, std::string_view event);

}  // namespace heraldix::test
