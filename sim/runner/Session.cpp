#include "sim/runner/Session.h"

#include <stdlib.h>

#include <stdexcept>

#include "sim/game/Game.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/permissions/SimPermissions.h"

namespace sim {

std::filesystem::path ConfigPathIn(const std::filesystem::path& serverDir) {
  return serverDir / "TarrowApi" / "Plugins" / "Heraldix" / "config.json";
}

std::filesystem::path MakeTemporaryDirectory(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
  return pattern;
}

Session::Session(SessionOptions options) : options_(std::move(options)) {
  ResetSimulation();
  ResetPermissions();
  SetTracing(options_.trace);
  SetServerDir(options_.serverDir.string());
  SetTimeZone(options_.timeZone);
  ShowClock();
}

Session::~Session() {
  if (plugin_.Loaded()) plugin_.Unload();
}

int Session::ExitStatus() { return FaultCount() == 0 ? 0 : 1; }

void Session::Load() {
  if (options_.pluginPath.empty()) throw ScenarioError("no plug-in library to load here");
  plugin_.Load(options_.pluginPath);
}

void Session::Unload() {
  if (options_.pluginPath.empty()) throw ScenarioError("no plug-in library to unload here");
  plugin_.Unload();
}

}  // namespace sim
