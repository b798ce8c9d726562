// Argument rules of the administrator commands: quotes, tokens, number conversions, configured fallbacks.
#include "commands/Arguments.h"

#include <limits>
#include <string>

#include "config/ColourValues.h"
#include "config/ConfigValues.h"
#include "grammar/Words.h"
#include "text/Text.h"

namespace {

constexpr char16_t Quote = u'"';

bool IsSpace(char16_t unit) { return unit == u' ' || (unit >= u'\t' && unit <= u'\r'); }
bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

struct Decimal {
  bool Negative = false;
  std::uint64_t Magnitude = 0;
};

// Sign and magnitude of the leading decimal number; empty when there is no digit or the magnitude
// needs more than 64 bits. Written out rather than taken from the C runtime, whose wide conversions
// differ between platforms in the width of long.
std::optional<Decimal> ReadDecimal(std::u16string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  Decimal number;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    number.Negative = text[at] == u'-';
    ++at;
  }
  const std::size_t firstDigit = at;
  bool overflow = false;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    const auto digit = static_cast<std::uint64_t>(text[at] - u'0');
    if (number.Magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
      overflow = true;
    } else if (!overflow) {
      number.Magnitude = number.Magnitude * 10 + digit;
    }
  }
  if (at == firstDigit || overflow) return std::nullopt;
  return number;
}

std::uint64_t PlayerIdAt(const Tokens& tokens, std::int32_t position) {
  const auto id = ReadPlayerId(tokens.At(position));
  if (!id) throw ArgumentError("player id is not a 64-bit number");
  return *id;
}

std::int32_t IntegerAt(const Tokens& tokens, std::int32_t position) {
  const auto value = ReadInt32(tokens.At(position));
  if (!value) throw ArgumentError("token is not a 32-bit integer");
  return *value;
}

// Player id 0, everyone, unless the line names one.
std::uint64_t LeadingPlayerId(const Tokens& tokens) { return tokens.Count() >= 2 ? PlayerIdAt(tokens, 1) : 0; }

const nlohmann::json& HeraldixSection(const nlohmann::json& config) {
  return config::Section(config, grammar::Top::Heraldix);
}

ColourBytes ColourAt(const Tokens& tokens, std::int32_t red) {
  ColourBytes colour;
  colour.R = grammar::ChannelByte(IntegerAt(tokens, red));
  colour.G = grammar::ChannelByte(IntegerAt(tokens, red + 1));
  colour.B = grammar::ChannelByte(IntegerAt(tokens, red + 2));
  return colour;
}

// R, G and B from the last three tokens when all three are numeric; otherwise the configured colour.
ColourBytes TrailingColour(const Tokens& tokens, const nlohmann::json& config, const grammar::Key& configuredKey) {
  const std::int32_t n = tokens.Count();
  if (tokens.IsNumericAt(n - 3) && tokens.IsNumericAt(n - 2) && tokens.IsNumericAt(n - 1)) {
    return ColourAt(tokens, n - 3);
  }
  return OpaqueColour(config::RgbFromObject(config::Section(HeraldixSection(config), configuredKey)));
}

}  // namespace

FString QuotedText(const FString& line) {
  FStringArray pieces;
  if (SplitIntoArray(line, std::u16string_view(&Quote, 1), pieces) >= 2) return pieces[1];
  return FString();
}

Tokens::Tokens(const FString& line) { SplitIntoArray(line, u" ", pieces_); }

std::u16string_view Tokens::At(std::int32_t position) const noexcept {
  if (position < 0 || position >= pieces_.Num()) return {};
  return pieces_[position].View();
}

bool Tokens::IsNumericAt(std::int32_t position) const {
  if (position < 0 || position >= pieces_.Num()) return false;
  return IsNumeric(pieces_[position]);
}

std::optional<std::uint64_t> ReadPlayerId(std::u16string_view text) {
  const auto number = ReadDecimal(text);
  if (!number) return std::nullopt;
  // Unsigned negation wraps modulo 2^64, so "-1" is the largest id.
  return number->Negative ? 0 - number->Magnitude : number->Magnitude;
}

std::optional<std::int32_t> ReadInt32(std::u16string_view text) {
  const auto number = ReadDecimal(text);
  if (!number) return std::nullopt;
  constexpr auto Largest = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  if (number->Negative) {
    if (number->Magnitude > Largest + 1) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(number->Magnitude));
  }
  if (number->Magnitude > Largest) return std::nullopt;
  return static_cast<std::int32_t>(number->Magnitude);
}

SendServerArguments ReadSendServerArguments(const FString& line, const nlohmann::json& config) {
  const Tokens tokens(line);
  SendServerArguments arguments;
  arguments.PlayerId = LeadingPlayerId(tokens);
  arguments.Colour = TrailingColour(tokens, config, grammar::Heraldix::ServerMessageColor);
  arguments.Message = QuotedText(line);
  return arguments;
}

SendChatArguments ReadSendChatArguments(const FString& line, const nlohmann::json& config) {
  const Tokens tokens(line);
  SendChatArguments arguments;
  arguments.PlayerId = LeadingPlayerId(tokens);
  // A token 2 that opens with a quote is the message itself, not a sender name.
  const bool senderGiven = tokens.Count() >= 3 && !tokens.At(2).starts_with(Quote);
  arguments.Sender = senderGiven ? tokens.Token(2) : WidenAscii(grammar::PluginName);
  arguments.Colour = TrailingColour(tokens, config, grammar::Heraldix::ClientChatColour);
  arguments.Message = QuotedText(line);
  return arguments;
}

SendNotificationArguments ReadSendNotificationArguments(const FString& line, const nlohmann::json& config) {
  const Tokens tokens(line);
  const std::int32_t n = tokens.Count();
  SendNotificationArguments arguments;
  arguments.PlayerId = LeadingPlayerId(tokens);
  // Only the first and the last of the five numbers are tested; the middle three must still convert.
  if (tokens.IsNumericAt(n - 6) && tokens.IsNumericAt(n - 2)) {
    arguments.DisplayScale = static_cast<float>(IntegerAt(tokens, n - 6));
    arguments.DisplayTime = static_cast<float>(IntegerAt(tokens, n - 5));
    arguments.Colour = ColourAt(tokens, n - 4);
  } else {
    const nlohmann::json& section = HeraldixSection(config);
    arguments.DisplayScale = static_cast<float>(config::Int32(section, grammar::Heraldix::NotificationDisplayScale));
    arguments.DisplayTime = static_cast<float>(config::Int32(section, grammar::Heraldix::NotificationDisplayTime));
    arguments.Colour =
        OpaqueColour(config::RgbFromObject(config::Section(section, grammar::Heraldix::NotificationColor)));
  }
  if (n >= 1 && !tokens.IsNumericAt(n - 1)) arguments.IconPath = tokens.Token(n - 1);
  arguments.Message = QuotedText(line);
  return arguments;
}

ChatAsPlayerArguments ReadChatAsPlayerArguments(const FString& line) {
  const Tokens tokens(line);
  if (tokens.Count() < 3) throw ArgumentError("a player id and a send mode are needed");
  ChatAsPlayerArguments arguments;
  arguments.PlayerId = PlayerIdAt(tokens, 1);
  arguments.SendMode = static_cast<EChatSendMode::Type>(IntegerAt(tokens, 2));
  arguments.Message = QuotedText(line);
  return arguments;
}
