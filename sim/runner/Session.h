// Owns one run of the simulated server: a fresh game and host, the plug-in library, and the scenario
// lines carried out against them.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "sim/runner/PluginLibrary.h"
#include "sim/runner/Scenario.h"

namespace sim {

struct SessionOptions {
  std::filesystem::path serverDir;
  std::string pluginPath;  // empty: `load` and `unload` lines are refused (code under test is linked in)
  bool trace = false;
  std::string timeZone = "UTC";  // the server's local time zone, as TZ names it (checked by the caller)
  // Called when the session starts and after each `clock` line, to show the server's clock.
  std::function<void()> clockShown;
};

// Where the plug-in reads its configuration in a server directory.
[[nodiscard]] std::filesystem::path ConfigPathIn(const std::filesystem::path& serverDir);

// A new, empty directory under the system's temporary folder, its name starting with prefix; the caller
// removes it. Raises std::runtime_error when none can be made.
[[nodiscard]] std::filesystem::path MakeTemporaryDirectory(const std::string& prefix);

class Session {
 public:
  // Resets the simulation and points the host at the server directory.
  explicit Session(SessionOptions options);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // Unloads the plug-in if it is still loaded.
  ~Session();

  // Carries out one line; scenarioDir resolves `config FILE`. Raises ScenarioError when the line cannot
  // be carried out (an unknown player, a missing file, ...).
  void Execute(const ScenarioLine& line, const std::filesystem::path& scenarioDir) {
    CarryOut(*this, line, scenarioDir);
  }
  void Load();
  void Unload();
  [[nodiscard]] bool Loaded() const { return plugin_.Loaded(); }

  // 0 when no fault was seen, 1 otherwise.
  [[nodiscard]] static int ExitStatus();
  [[nodiscard]] std::filesystem::path ConfigPath() const { return ConfigPathIn(options_.serverDir); }
  // Calls the options' clockShown, if any: at the start and after each `clock` line.
  void ShowClock() const {
    if (options_.clockShown) options_.clockShown();
  }

 private:
  SessionOptions options_;
  PluginLibrary plugin_;
};

}  // namespace sim
