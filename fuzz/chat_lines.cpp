// Fuzz target: one chat line against a fixed table of custom chat commands. The first byte chooses who
// types it and in which channel; the rest is the line, as UTF-8. The line goes through the game's chat
// handling and, whatever its first word, straight to the commands' callback too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "chat/CustomCommands.h"
#include "fuzz/FuzzServer.h"
#include "sim/game/Game.h"
#include "text/Text.h"

namespace {

using heraldix::fuzz::FuzzServer;

// Every reply type, group rules, icons, markup-looking text, braces, line breaks, and follow-up lines
// that lead to another command or back to the same one.
constexpr std::string_view Table = R"({
  "Heraldix": {"ClientChatSenderName": "Guard"},
  "NoPermission": "Not for you {{sorry}}",
  "CustomCommands": {
    "/help": {"Message": "Line one\nLine two\n\nLine three", "MessageColor": [255, 255, 0], "Sender": "Helper"},
    "/rules": {"Message": "Be kind", "Type": "Server", "MessageColor": [0.5, 2, 300]},
    "/vip": {"Message": "VIP only", "Type": "Notification", "RequiredPermissionGroups": ["VIP", "Admin"],
             "Icon_BP": "/Game/Icons/Star", "DisplayTime": 5, "DisplayScale": 1.5},
    "/open": {"Message": "Anyone", "RequiredPermissionGroups": ["default"], "Type": "Client"},
    "/brace": {"Message": "{oops}", "Type": "Server"},
    "/chain": {"Message": "Then help", "Command_To_Execute": "/help"},
    "/loop": {"Message": "Again", "Command_To_Execute": "/LOOP and more"},
    "/quiet": {"Message": "Unknown type", "Type": "Whisper"},
    "/admin": {"Message": "Admins", "RequiredPermissionGroups": ["Admin"], "Command_To_Execute": "hello all"}
  }
})";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzServer& server = FuzzServer::Get(Table);
  if (size == 0) return 0;
  const std::uint64_t speaker = 1 + data[0] % 3;
  const auto mode = static_cast<EChatSendMode::Type>((data[0] >> 2) % EChatSendMode::MAX);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  sim::TypeChat(speaker, text);
  server.Check("the chat line through the game");
  FString line = FromUtf8(text);
  OnCustomChatCommand(server.Player(speaker), &line, mode);
  server.Check("the chat line through the commands' callback");
  return 0;
}
