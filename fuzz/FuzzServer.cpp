// The fuzz targets' server: the simulated game with the plug-in's own Load, faults turned into crashes.
#include "fuzz/FuzzServer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/Plugin.h"
#include "sim/game/Game.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/permissions/SimPermissions.h"
#include "sim/runner/Session.h"

namespace heraldix::fuzz {
namespace {

std::vector<std::string>& FaultTexts() {
  static std::vector<std::string> texts;
  return texts;
}

[[noreturn]] void Die(const std::string& why) {
  std::fprintf(stderr, "heraldix fuzz: %s\n", why.c_str());
  std::abort();
}

std::filesystem::path MakeServerDir() {
  try {
    return sim::MakeTemporaryDirectory("heraldix-fuzz-");
  } catch (const std::exception& error) {
    Die(error.what());
  }
}

void Require(const std::string& problem) {
  if (!problem.empty()) Die(problem);
}

}  // namespace

FuzzServer& FuzzServer::Get(std::string_view configJson) {
  // Never destroyed: the fuzzer ends the process at any moment, and the plug-in's statics must outlive
  // every input.
  static FuzzServer* server = new FuzzServer(configJson);
  return *server;
}

FuzzServer::FuzzServer(std::string_view configJson) : dir_(MakeServerDir()), configPath_(sim::ConfigPathIn(dir_)) {
  std::filesystem::create_directories(configPath_.parent_path());
  WriteConfig(reinterpret_cast<const std::uint8_t*>(configJson.data()), configJson.size());
  static sim::Session session(sim::SessionOptions{dir_, "", false});
  sim::SetRecording(false);
  sim::SetTracing(false);
  sim::SetEventListener([](const nlohmann::json& event) {
    if (event.at("event") == "fault") FaultTexts().push_back(event.at("text").get<std::string>());
  });
  sim::SetPlayerGroups(Alice, {"Admin"});
  sim::SetPlayerGroups(Bob, {"VIP"});
  Require(sim::Join(Alice, "Alice"));
  Require(sim::Join(Bob, "Bob"));
  Require(sim::Join(Carol, "Carol"));
  sim::AddTexture("/Game/Icons/Star");
  connection_ = sim::OpenRconConnection();
  ::Load();
  Check("load");
}

AShooterPlayerController* FuzzServer::Player(std::uint64_t id) const { return sim::Player(id); }

UWorld* FuzzServer::World() const { return sim::World(); }

void FuzzServer::WriteConfig(const std::uint8_t* data, std::size_t size) const {
  std::ofstream out(configPath_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) Die("cannot write " + configPath_.string());
}

void FuzzServer::DrainReplies() const { sim::ServeRcon(connection_, 0, ""); }

void FuzzServer::Check(const char* after) const {
  if (sim::FaultCount() == 0) return;
  std::string text = std::string("fault after ") + after + ":";
  for (const std::string& fault : FaultTexts()) text += "\n  " + fault;
  Die(text);
}

}  // namespace heraldix::fuzz
