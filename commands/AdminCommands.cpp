// The five administrator commands, each one flow behind a console handler and an RCON handler.
#include "commands/AdminCommands.h"

#include <cstdint>
#include <utility>

#include <nlohmann/json.hpp>

#include "chat/CustomCommands.h"
#include "commands/Arguments.h"
#include "commands/Replies.h"
#include "config/Config.h"
#include "config/ConfigReport.h"
#include "config/ConfigValues.h"
#include "delivery/Delivery.h"
#include "host/GameFunctions.h"
#include "host/IApiUtils.h"
#include "players/Players.h"

// Each command runs one flow shared by its console and RCON handler; only the reply sink differs. A flow
// catches everything: whatever goes wrong becomes the command's failure reply, never an error in the game.
namespace {

// Player id 0 addresses everyone and has no single target.
AShooterPlayerController* FindTarget(std::uint64_t playerId) {
  return playerId == 0 ? nullptr : TarrowApi::GetApiUtils().FindPlayerById(playerId);
}

bool DeliverServerMessage(const FString& line, std::uint64_t& playerId) {
  SendServerArguments arguments = ReadSendServerArguments(line, Config());
  playerId = arguments.PlayerId;
  AShooterPlayerController* target = FindTarget(playerId);
  if ((playerId != 0 && target == nullptr) || arguments.Message.IsEmpty()) return false;
  return SendServerMessage(target, arguments.Message, arguments.Colour, playerId == 0);
}

bool DeliverChatMessage(const FString& line, std::uint64_t& playerId) {
  SendChatArguments arguments = ReadSendChatArguments(line, Config());
  playerId = arguments.PlayerId;
  AShooterPlayerController* target = FindTarget(playerId);
  if ((playerId != 0 && target == nullptr) || arguments.Message.IsEmpty()) return false;
  return SendChatMessage(target, arguments.Message, std::move(arguments.Sender), arguments.Colour, playerId == 0);
}

// An empty notification is still delivered, and a missing player is left to the delivery to refuse.
bool DeliverNotification(const FString& line, std::uint64_t& playerId) {
  SendNotificationArguments arguments = ReadSendNotificationArguments(line, Config());
  playerId = arguments.PlayerId;
  AShooterPlayerController* target = FindTarget(playerId);
  UTexture2D* icon = arguments.IconPath ? LoadTexture(arguments.IconPath->View()) : nullptr;
  return SendNotification(target, arguments.Message, arguments.Colour, arguments.DisplayTime, arguments.DisplayScale,
                          icon, playerId == 0);
}

using Delivery = bool (*)(const FString& line, std::uint64_t& playerId);

void RunSendCommand(Delivery deliver, const FString& line, const ReplySink& sink) noexcept {
  std::uint64_t playerId = 0;
  bool sent = false;
  try {
    sent = deliver(line, playerId);
  } catch (...) {
    sent = false;
  }
  if (!sent) {
    SendReply(sink, commands::SendFailed, ReplyTone::Failure);
  } else {
    SendReply(sink, playerId == 0 ? commands::SentToEveryone : commands::SentToPlayer, ReplyTone::Success);
  }
}

// All or nothing: the new document and the chat-command table built from it are both ready before
// anything held changes. The held table is moved aside, not copied (a large configuration has thousands
// of commands), and the document is replaced only once the new commands are in; should installing them
// fail, the previous commands are put back and the previous document was never touched.
bool Reload() noexcept {
  config::ForgetWrongType();
  nlohmann::json document;
  try {
    document = ParseConfigFile();
    CustomCommandMap table = BuildCustomCommandTable(document);
    CustomCommandMap previousTable;
    bool setAside = false;
    try {
      RemoveCustomCommands();
      previousTable.swap(CustomCommandTable());
      setAside = true;
      InstallCustomCommands(std::move(table));
    } catch (...) {
      try {
        if (!setAside) previousTable.swap(CustomCommandTable());
        InstallCustomCommands(std::move(previousTable));
      } catch (...) {
        // The host refuses registrations now; the reload answers failure either way.
      }
      throw;
    }
    ReplaceConfig(std::move(document));
    players::Reload();
    LogReloaded(CustomCommandTable().size(), Config());
    return true;
  } catch (...) {
    // The reply stays one fixed text; the server log says why, for the admin who looks.
    LogConfigFailure("Failed to reload config", &document);
    return false;
  }
}

void RunReload(const ReplySink& sink) noexcept {
  if (Reload()) {
    SendReply(sink, commands::Reloaded, ReplyTone::Success);
  } else {
    SendReply(sink, commands::ReloadFailed, ReplyTone::Failure);
  }
}

bool ChatAsPlayer(const FString& line) noexcept {
  try {
    ChatAsPlayerArguments arguments = ReadChatAsPlayerArguments(line);
    AShooterPlayerController* player = TarrowApi::GetApiUtils().FindPlayerById(arguments.PlayerId);
    if (player == nullptr || arguments.Message.IsEmpty()) return false;
    Game::Call<Game::AShooterPlayerController_ServerSendChatMessage_Implementation>(player, &arguments.Message,
                                                                                    arguments.SendMode);
    return true;
  } catch (...) {
    return false;
  }
}

void RunChatAsPlayer(const FString& line, const ReplySink& sink) noexcept {
  if (ChatAsPlayer(line)) {
    SendReply(sink, commands::ChattedAsPlayer, ReplyTone::Success);
  } else {
    SendReply(sink, commands::ChatAsPlayerFailed, ReplyTone::Failure);
  }
}

void RunConsoleSend(Delivery deliver, APlayerController* issuer, const FString* line) noexcept {
  if (issuer == nullptr || line == nullptr) return;
  RunSendCommand(deliver, *line, ReplySink::Console(issuer));
}

void RunRconSend(Delivery deliver, RCONClientConnection* connection, const RCONPacket* packet) noexcept {
  if (connection == nullptr || packet == nullptr) return;
  RunSendCommand(deliver, packet->Body, ReplySink::Rcon(connection, packet));
}

}  // namespace

void SendServerCmd(APlayerController* issuer, FString* line, bool /*flag*/) {
  RunConsoleSend(DeliverServerMessage, issuer, line);
}

void SendChatCmd(APlayerController* issuer, FString* line, bool /*flag*/) {
  RunConsoleSend(DeliverChatMessage, issuer, line);
}

void SendNotificationCmd(APlayerController* issuer, FString* line, bool /*flag*/) {
  RunConsoleSend(DeliverNotification, issuer, line);
}

// The reload also runs for a line the server itself typed; only the answer needs an issuer.
void ReloadCmd(APlayerController* issuer, FString* /*line*/, bool /*flag*/) { RunReload(ReplySink::Console(issuer)); }

void ChatAsPlayerCmd(APlayerController* issuer, FString* line, bool /*flag*/) {
  if (issuer == nullptr || line == nullptr) return;
  RunChatAsPlayer(*line, ReplySink::Console(issuer));
}

void SendServerRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*world*/) {
  RunRconSend(DeliverServerMessage, connection, packet);
}

void SendChatRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*world*/) {
  RunRconSend(DeliverChatMessage, connection, packet);
}

void SendNotificationRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*world*/) {
  RunRconSend(DeliverNotification, connection, packet);
}

void ReloadRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*world*/) {
  RunReload(ReplySink::Rcon(connection, packet));
}

void ChatAsPlayerRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*world*/) {
  if (connection == nullptr || packet == nullptr) return;
  RunChatAsPlayer(packet->Body, ReplySink::Rcon(connection, packet));
}
