#include "sim/runner/Session.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "sim/game/Game.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/permissions/SimPermissions.h"

namespace sim {
namespace {

// A week of game-timer calls; longer waits are almost certainly a typo.
constexpr std::int64_t MaxWaitSeconds = 7 * 24 * 3600;

void Check(const std::string& problem) {
  if (!problem.empty()) throw ScenarioError(problem);
}

// The server directory may be one the user cannot change (the example installed under /usr/share): say
// so and why, and let the server go on.
[[noreturn]] void CannotChange(const std::string& what, const std::filesystem::path& path, const std::string& reason) {
  throw ScenarioError("cannot " + what + " " + path.string() + ": " + reason +
                      " (give --server-dir a server directory you may write to)");
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) CannotChange("write", path, errno != 0 ? std::strerror(errno) : "cannot open it");
  out << text;
  out.flush();
  if (!out) CannotChange("write", path, errno != 0 ? std::strerror(errno) : "write failed");
}

void RemoveFile(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  if (error) CannotChange("remove", path, error.message());
}

}  // namespace

Session::Session(SessionOptions options) : options_(std::move(options)) {
  ResetSimulation();
  ResetPermissions();
  SetTracing(options_.trace);
  SetServerDir(options_.serverDir.string());
  SetTimeZone(options_.timeZone);
  if (options_.clockShown) options_.clockShown();
}

Session::~Session() {
  if (plugin_.Loaded()) plugin_.Unload();
}

int Session::ExitStatus() { return FaultCount() == 0 ? 0 : 1; }

std::filesystem::path Session::ConfigPath() const {
  return options_.serverDir / "TarrowApi" / "Plugins" / "Heraldix" / "config.json";
}

void Session::Load() {
  if (options_.pluginPath.empty()) throw ScenarioError("no plug-in library to load here");
  plugin_.Load(options_.pluginPath);
}

void Session::Unload() {
  if (options_.pluginPath.empty()) throw ScenarioError("no plug-in library to unload here");
  plugin_.Unload();
}

void Session::Execute(const ScenarioLine& line, const std::filesystem::path& scenarioDir) {
  const std::string& command = line.command;
  const auto& args = line.args;
  if (command == "join") {
    const std::uint64_t id = ParsePlayerId(args[0]);
    // Groups first: the plug-in may ask about them while the character is possessed.
    const std::vector<std::string> previous = PlayerGroups(id);
    SetPlayerGroups(id, {args.begin() + 2, args.end()});
    const std::string problem = Join(id, args[1]);
    if (!problem.empty()) SetPlayerGroups(id, previous);
    Check(problem);
  } else if (command == "leave") {
    Check(Leave(ParsePlayerId(args[0])));
  } else if (command == "die") {
    Check(Die(ParsePlayerId(args[0])));
  } else if (command == "respawn") {
    Check(Respawn(ParsePlayerId(args[0])));
  } else if (command == "possess-dead") {
    Check(PossessDead(ParsePlayerId(args[0])));
  } else if (command == "stale") {
    Check(Stale(ParsePlayerId(args[0])));
  } else if (command == "groups") {
    SetPlayerGroups(ParsePlayerId(args[0]), {args.begin() + 1, args.end()});
  } else if (command == "chat") {
    Check(TypeChat(ParsePlayerId(args[0]), line.rest));
  } else if (command == "console") {
    std::optional<std::uint64_t> id;
    if (args[0] != "none") id = ParsePlayerId(args[0]);
    Check(TypeConsole(id, line.rest));
  } else if (command == "rcon") {
    ScenarioRcon(line.rest);
  } else if (command == "wait") {
    const std::int64_t seconds = ParseSeconds(args[0], false);
    if (seconds > MaxWaitSeconds) throw ScenarioError("wait at most " + std::to_string(MaxWaitSeconds) + " seconds");
    Wait(seconds);
  } else if (command == "tick") {
    GameTimerTick();
  } else if (command == "clock") {
    MoveSystemClock(ParseSeconds(args[0], true));
    if (options_.clockShown) options_.clockShown();
  } else if (command == "texture") {
    AddTexture(args[0]);
  } else if (command == "config") {
    const std::filesystem::path source = scenarioDir / args[0];
    std::ifstream in(source, std::ios::binary);
    if (!in) throw ScenarioError("cannot read " + source.string());
    WriteFile(ConfigPath(), std::string(std::istreambuf_iterator<char>(in), {}));
  } else if (command == "config-text") {
    WriteFile(ConfigPath(), line.rest);
  } else if (command == "config-rm") {
    RemoveFile(ConfigPath());
  } else if (command == "load") {
    Load();
  } else if (command == "unload") {
    Unload();
  } else {
    throw ScenarioError("unknown command \"" + command + "\"");
  }
}

}  // namespace sim
