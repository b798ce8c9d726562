#include "tests/support/Support.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "sim/game/Allocator.h"
#include "sim/game/Game.h"
#include "sim/host/Events.h"
#include "sim/runner/Runner.h"
#include "sim/runner/Scenario.h"
#include "sim/runner/Session.h"

namespace heraldix::test {
namespace {

std::vector<nlohmann::json> Where(const std::vector<nlohmann::json>& events, const char* member,
                                  std::string_view value) {
  std::vector<nlohmann::json> found;
  for (const auto& event : events) {
    if (event.value(member, "") == value) found.push_back(event);
  }
  return found;
}

}  // namespace

ServerDir::ServerDir() : path_(sim::MakeTemporaryDirectory("heraldix-test-")) {
  std::filesystem::create_directories(ConfigPath().parent_path());
}

ServerDir::ServerDir(std::string_view configJson) : ServerDir() { WriteConfig(configJson); }

ServerDir::~ServerDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

void ServerDir::WriteConfig(std::string_view text) const {
  std::ofstream out(ConfigPath(), std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) throw std::runtime_error("cannot write " + ConfigPath().string());
}

const std::filesystem::path& ServerDir::Path() const { return path_; }

std::filesystem::path ServerDir::ConfigPath() const { return sim::ConfigPathIn(path_); }

std::vector<nlohmann::json> EventsOf(const std::vector<nlohmann::json>& events, std::string_view event) {
  return Where(events, "event", event);
}

std::vector<nlohmann::json> Run::Of(std::string_view event) const { return EventsOf(events, event); }

std::vector<nlohmann::json> Run::To(std::string_view playerId, std::string_view event) const {
  return Where(Of(event), "to", playerId);
}

std::string PluginPath() { return HERALDIX_TEST_PLUGIN; }

Run RunScenario(std::string_view scenario, const ServerDir& dir, const std::string& pluginPath,
                const std::string& zone) {
  Run run;
  sim::SetEventListener({});
  sim::SetRecording(true);
  try {
    run.exitStatus =
        sim::RunScenarios({dir.Path(), pluginPath, true, zone, {}}, {{"scenario", dir.Path(), std::string(scenario)}});
  } catch (const std::exception& error) {
    run.exitStatus = 2;
    run.error = error.what();
  }
  run.events = sim::Events();
  return run;
}

struct LiveGame::State {
  ServerDir dir;
  sim::Session session{{dir.Path(), "", true}};
};

LiveGame::LiveGame() {
  sim::SetEventListener({});
  sim::SetRecording(true);
  state_ = std::make_unique<State>();
  sim::BeginMemorySession();
}

LiveGame::~LiveGame() {
  state_.reset();
  sim::ResetSimulation();
}

void LiveGame::Line(std::string_view scenarioLine) {
  if (auto line = sim::ParseScenarioLine(scenarioLine)) state_->session.Execute(*line, state_->dir.Path());
}

AShooterPlayerController* LiveGame::Player(std::uint64_t id) const { return sim::Player(id); }

std::vector<nlohmann::json> LiveGame::Of(std::string_view event) const { return EventsOf(sim::Events(), event); }

std::int64_t LiveGame::PluginBlocks() const { return sim::PluginMemory().blocks; }

const ServerDir& LiveGame::Dir() const { return state_->dir; }

struct LiveServer::State {
  explicit State(const ServerDir& server) : dir(server), session({server.Path(), PluginPath(), false}) {}
  const ServerDir& dir;
  sim::Session session;
};

LiveServer::LiveServer(const ServerDir& dir, Events events) : state_(std::make_unique<State>(dir)) {
  sim::SetRecording(events == Events::Kept);
  sim::SetEventListener([this](const nlohmann::json& event) {
    if (event.at("event") == "fault") faults.push_back(event.at("text").get<std::string>());
    if (onEvent) onEvent(event);
  });
  state_->session.Load();
}

LiveServer::~LiveServer() {
  if (state_->session.Loaded()) state_->session.Unload();
  sim::SetEventListener({});
  sim::SetRecording(true);
}

void LiveServer::Line(std::string_view scenarioLine) {
  if (auto line = sim::ParseScenarioLine(scenarioLine)) state_->session.Execute(*line, state_->dir.Path());
}

std::vector<nlohmann::json> LiveServer::Take() {
  std::vector<nlohmann::json> events = sim::Events();
  sim::ClearEvents();
  return events;
}

void LiveServer::Unload() { state_->session.Unload(); }

}  // namespace heraldix::test
