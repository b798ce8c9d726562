// Owns where an administrator command's answer goes: the issuing player's chat area or the RCON client.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/GameTypes.h"

// The one answer channel of a command. A console sink without an issuer (the server typed the line) and
// an RCON sink without a connection have nobody to answer.
struct ReplySink {
  AShooterPlayerController* Issuer = nullptr;
  RCONClientConnection* Connection = nullptr;
  std::int32_t RequestId = 0;

  static ReplySink Console(APlayerController* issuer) noexcept;
  static ReplySink Rcon(RCONClientConnection* connection, const RCONPacket* request) noexcept;
};

enum class ReplyTone { Success, Failure };

// The answer texts admins and their scripts match on, word for word.
namespace commands {
inline constexpr std::string_view SentToPlayer = "Heraldix: Successfully sent message to player";
inline constexpr std::string_view SentToEveryone = "Heraldix: Successfully sent message to everyone";
inline constexpr std::string_view SendFailed = "Heraldix: Error trying to send the message";
inline constexpr std::string_view Reloaded = "Heraldix: Reloaded config";
inline constexpr std::string_view ReloadFailed = "Heraldix: Failed to reload config";
inline constexpr std::string_view ChattedAsPlayer = "HX: Successfully chatted as player";
inline constexpr std::string_view ChatAsPlayerFailed = "HX: There was an error, (player offline?)";
inline constexpr std::string_view CountdownStarted = "Heraldix: Countdown started";
inline constexpr std::string_view CountdownFailed = "Heraldix: Error trying to start the countdown";
inline constexpr std::string_view CountdownCancelled = "Heraldix: Countdown cancelled";
inline constexpr std::string_view NoCountdown = "Heraldix: No countdown is running";
}  // namespace commands

// On the console: a server message to the issuer, green for success and red for failure, not bold. Over
// RCON: the text as a response value (type 0) carrying the request's id. An answer that cannot be
// delivered is dropped; nothing is raised.
void SendReply(const ReplySink& sink, std::string_view text, ReplyTone tone) noexcept;
