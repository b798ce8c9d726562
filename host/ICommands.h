// Owns the host's command registry: console, RCON and chat commands a plug-in adds and removes.
#pragma once

#include <functional>

#include "host/Export.h"
#include "host/GameTypes.h"

namespace TarrowApi {

// Console: the issuing player's controller (null when the server itself typed it), the whole line, a
// flag the host passes through.
using ConsoleCommandCallback = std::function<void(APlayerController*, FString*, bool)>;
// RCON: the client's connection, the request (its body is the whole line), the world.
using RconCommandCallback = std::function<void(RCONClientConnection*, RCONPacket*, UWorld*)>;
// Chat: the player who typed the line, the line, the channel it was typed in.
using ChatCommandCallback = std::function<void(AShooterPlayerController*, FString*, EChatSendMode::Type)>;

// A line goes to the command registered under its first space-separated word, ASCII case ignored.
// Removing a name that is not registered is harmless and answers false.
class ICommands {
 public:
  virtual void RegisterConsoleCommand(const FString& command, const ConsoleCommandCallback& callback) = 0;
  virtual void RegisterRconCommand(const FString& command, const RconCommandCallback& callback) = 0;
  virtual void RegisterChatCommand(const FString& command, const ChatCommandCallback& callback) = 0;
  virtual bool UnregisterConsoleCommand(const FString& command) = 0;
  virtual bool UnregisterRconCommand(const FString& command) = 0;
  virtual bool UnregisterChatCommand(const FString& command) = 0;

 protected:
  ~ICommands() = default;
};

HERALDIX_HOST_API ICommands& GetCommands();

}  // namespace TarrowApi
