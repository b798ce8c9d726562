// Fuzz target: one administrator command line through all twelve handlers, console and RCON, under one of
// a few configurations. The first byte chooses the configuration; the rest is the line, as UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "commands/AdminCommands.h"
#include "config/Config.h"
#include "fuzz/FuzzServer.h"
#include "text/Text.h"

namespace {

using heraldix::fuzz::Alice;
using heraldix::fuzz::FuzzServer;

// Full colours and fallbacks; none at all; every section of a wrong type; fallbacks out of range; a countdown
// section of wrong types.
const std::vector<nlohmann::json>& Configurations() {
  static const std::vector<nlohmann::json> configurations = {
      nlohmann::json::parse(R"({"Heraldix": {"ClientChatColour": {"R": 255, "G": 255, "B": 0},
          "ServerMessageColor": {"R": 0, "G": 255, "B": 0}, "NotificationColor": {"R": 255, "G": 0, "B": 0},
          "NotificationDisplayScale": 2, "NotificationDisplayTime": 5},
        "CustomCommands": {"/help": {"Message": "Help text", "Command_To_Execute": "/help"}}})"),
      nlohmann::json::object(),
      nlohmann::json::parse(R"({"Heraldix": [], "CustomCommands": "x", "TimedMessages": 7})"),
      nlohmann::json::parse(R"({"Heraldix": {"ClientChatColour": {"R": 1e300, "G": -1, "B": true},
          "ServerMessageColor": "red", "NotificationColor": {"R": null},
          "NotificationDisplayScale": -1e39, "NotificationDisplayTime": 1e39}})"),
      nlohmann::json::parse(R"({"Countdown": {"Marks": "x", "Words": [], "MessageType": 5, "Alert_On_Join": 1}})"),
  };
  return configurations;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string initial = Configurations()[0].dump();
  FuzzServer& server = FuzzServer::Get(initial);
  if (size == 0) return 0;
  const auto& configurations = Configurations();
  ReplaceConfig(configurations[data[0] % configurations.size()]);
  const FString line = FromUtf8(std::string(reinterpret_cast<const char*>(data + 1), size - 1));

  // The host hands each handler a copy of the line it may keep or change.
  APlayerController* issuer = server.Player(Alice);
  for (auto handler :
       {&SendServerCmd, &SendChatCmd, &SendNotificationCmd, &ChatAsPlayerCmd, &ReloadCmd, &CountdownCmd}) {
    FString copy = line;
    handler(issuer, &copy, false);
  }
  server.Check("a console command");
  for (auto handler :
       {&SendServerRcon, &SendChatRcon, &SendNotificationRcon, &ChatAsPlayerRcon, &ReloadRcon, &CountdownRcon}) {
    RCONPacket packet;
    packet.Id = 7;
    packet.PacketType = 2;
    packet.Body = line;
    handler(server.Connection(), &packet, server.World());
  }
  server.DrainReplies();
  server.Check("an RCON command");
  return 0;
}
