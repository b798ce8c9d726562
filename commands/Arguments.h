// Owns how an administrator command line is taken apart into the values each command works with.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

#include <nlohmann/json.hpp>

#include "host/FString.h"
#include "host/GameTypes.h"
#include "text/Colour.h"
#include "text/FStringArray.h"

// A conversion of a line token failed. Handlers answer it, like every other error, with their one
// failure reply, so the message only helps a reader of a test.
class ArgumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text between the first double quote and the next (or the end of the line). Empty pieces are
// dropped when the line is cut at quotes, so after two quotes in a row the following piece moves up.
FString QuotedText(const FString& line);

// The line cut at spaces (U+0020 only), empty pieces dropped; quotes stay inside their tokens.
class Tokens {
 public:
  explicit Tokens(const FString& line);

  [[nodiscard]] std::int32_t Count() const noexcept { return pieces_.Num(); }
  // The token at position, or empty text for a position outside the line.
  [[nodiscard]] std::u16string_view At(std::int32_t position) const noexcept;
  [[nodiscard]] const FString& Token(std::int32_t position) const { return pieces_[position]; }
  // Positions before token 0 (counted back from a short line) are never numeric.
  [[nodiscard]] bool IsNumericAt(std::int32_t position) const;

 private:
  FStringArray pieces_;
};

// Base 10, unsigned 64 bits: leading white space, an optional sign ("-" negates modulo 2^64), digits up to
// the first non-digit. Empty when no digit is read or the value needs more than 64 bits.
std::optional<std::uint64_t> ReadPlayerId(std::u16string_view text);

// Base 10, signed 32 bits, otherwise as ReadPlayerId: "12.7" reads 12, "255x" reads 255, 2^31 is empty.
std::optional<std::int32_t> ReadInt32(std::u16string_view text);

// What each command takes from its line or, where the line lacks it, from the "Heraldix" section of
// config (read only then, never created, so a line that gives every value works whatever the document
// holds). Each Read...Arguments raises ArgumentError for a token that does not convert, and the JSON
// library's type error for a configured value it needs that has the wrong type.
struct SendServerArguments {
  std::uint64_t PlayerId = 0;  // 0: everyone
  ColourBytes Colour;
  FString Message;
};

struct SendChatArguments {
  std::uint64_t PlayerId = 0;
  FString Sender;
  ColourBytes Colour;
  FString Message;
};

struct SendNotificationArguments {
  std::uint64_t PlayerId = 0;
  ColourBytes Colour;
  float DisplayScale = 0.0F;
  float DisplayTime = 0.0F;
  std::optional<FString> IconPath;  // the last token when it is not numeric
  FString Message;
};

struct ChatAsPlayerArguments {
  std::uint64_t PlayerId = 0;
  EChatSendMode::Type SendMode = EChatSendMode::GlobalChat;  // any 32-bit value, handed on unchecked
  FString Message;  // may be empty; the command refuses that after looking the player up
};

SendServerArguments ReadSendServerArguments(const FString& line, const nlohmann::json& config);
SendChatArguments ReadSendChatArguments(const FString& line, const nlohmann::json& config);
SendNotificationArguments ReadSendNotificationArguments(const FString& line, const nlohmann::json& config);
// Needs at least three tokens: the command name, a player id and a send mode.
ChatAsPlayerArguments ReadChatAsPlayerArguments(const FString& line);
