// Answers to administrators: a coloured server message on the console, a response value over RCON.
#include "commands/Replies.h"

#include "host/GameFunctions.h"
#include "text/Colour.h"
#include "text/Text.h"

namespace {

constexpr ColourBytes Green{0, 255, 0, 255};
constexpr ColourBytes Red{255, 0, 0, 255};

}  // namespace

ReplySink ReplySink::Console(APlayerController* issuer) noexcept {
  ReplySink sink;
  // Every console issuer the host hands over is a shooter controller; the chain has no adjustment.
  sink.Issuer = static_cast<AShooterPlayerController*>(issuer);
  return sink;
}

ReplySink ReplySink::Rcon(RCONClientConnection* connection, const RCONPacket* request) noexcept {
  ReplySink sink;
  sink.Connection = connection;
  sink.RequestId = request != nullptr ? request->Id : 0;
  return sink;
}

void SendReply(const ReplySink& sink, std::string_view text, ReplyTone tone) noexcept {
  try {
    if (sink.Connection != nullptr) {
      FString message = WidenAscii(text);
      Game::Call<Game::RCONClientConnection_SendMessageW>(sink.Connection, sink.RequestId, 0, &message);
    } else if (sink.Issuer != nullptr) {
      FString message = WidenAscii(text);
      const LinearColour colour = SrgbToLinear(tone == ReplyTone::Success ? Green : Red);
      Game::Call<Game::AShooterPlayerController_ClientServerChatDirectMessage>(sink.Issuer, &message, colour, false);
    }
  } catch (...) {
    // The command's work is done or abandoned either way; a lost answer must not reach the game.
  }
}
