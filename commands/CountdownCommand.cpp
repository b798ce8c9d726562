// hx.countdown: starts, replaces or cancels the countdown, on the console and over RCON.
#include <string_view>

#include "commands/AdminCommands.h"
#include "commands/Arguments.h"
#include "commands/Replies.h"
#include "events/Countdown.h"

namespace {

bool IsCancel(std::u16string_view token) {
  constexpr std::u16string_view Cancel = u"cancel";
  if (token.size() != Cancel.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    const char16_t unit = token[i] >= u'A' && token[i] <= u'Z' ? static_cast<char16_t>(token[i] + 32) : token[i];
    if (unit != Cancel[i]) return false;
  }
  return true;
}

bool Start(const FString& line) noexcept {
  try {
    const Tokens tokens(line);
    const auto seconds = ReadInt32(tokens.At(1));
    return seconds && StartCountdown(*seconds, QuotedText(line).View());
  } catch (...) {
    return false;
  }
}

void RunCountdown(const FString& line, const ReplySink& sink) noexcept {
  bool cancel = false;
  try {
    cancel = IsCancel(Tokens(line).At(1));
  } catch (...) {
    cancel = false;
  }
  if (cancel) {
    if (CancelCountdown()) {
      SendReply(sink, commands::CountdownCancelled, ReplyTone::Success);
    } else {
      SendReply(sink, commands::NoCountdown, ReplyTone::Failure);
    }
  } else if (Start(line)) {
    SendReply(sink, commands::CountdownStarted, ReplyTone::Success);
  } else {
    SendReply(sink, commands::CountdownFailed, ReplyTone::Failure);
  }
}

}  // namespace

// Like a reload, the countdown also runs for a line the server itself typed; only the answer needs an issuer.
void CountdownCmd(APlayerController* issuer, FString* line, bool /*flag*/) {
  if (line == nullptr) return;
  RunCountdown(*line, ReplySink::Console(issuer));
}

void CountdownRcon(RCONClientConnection* connection, RCONPacket* packet, UWorld* /*world*/) {
  if (connection == nullptr || packet == nullptr) return;
  RunCountdown(packet->Body, ReplySink::Rcon(connection, packet));
}
