// Owns placeholders in configured texts: whether they are on, their values, and putting the values in.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "config/MessageKind.h"
#include "grammar/Placeholders.h"
#include "host/FString.h"
#include "host/GameTypes.h"

// True only when "Heraldix" > "Placeholders" of the held document is the JSON value true. Never raises: any
// other value leaves texts exactly as they are without the key.
bool PlaceholdersOn() noexcept;

// The values of one delivery, each worked out at its first use: the player's name when the receiving player
// is set, the number of players online, and the server's local time and date.
class PlaceholderValues {
 public:
  void SetPlayer(AShooterPlayerController* player) noexcept { player_ = player; }
  std::u16string Value(grammar::Placeholder name);

 private:
  AShooterPlayerController* player_ = nullptr;
  std::array<std::optional<std::u16string>, 4> shared_{};
};

// How a text is read after its values are put in: by this many passes of the formatter ahead (each brace of
// a value is then written 2 to that power times, as each pass halves a run of braces), and whether as chat markup (a
// value's markup characters are then written as the markup's escapes, so they show as they are).
struct PlaceholderReading {
  int formatPasses = 1;
  bool markup = false;
};

// Whether text holds a replacement field with this name, in the formatter's own reading of the text ("{{" and
// "}}" are literal braces, not the start or end of a field).
bool HoldsPlaceholder(std::u16string_view text, grammar::Placeholder name);
bool HoldsAnyPlaceholder(std::u16string_view text);

// text with each field named exactly as a placeholder replaced by its value; everything else, every other
// brace included, stays as it is for the formatter to take or reject.
std::u16string ReplacePlaceholders(std::u16string_view text, PlaceholderValues& values, PlaceholderReading reading);
std::string ReplacePlaceholders(std::string_view utf8, PlaceholderValues& values, PlaceholderReading reading);

// A value written for the reading: braces doubled per formatter pass, markup characters escaped for chat.
std::u16string EscapedValue(std::u16string_view value, PlaceholderReading reading);

// text as one delivery of kind sends it, its values put in for the chat markup or plain text that kind is.
FString WithPlaceholders(const FString& text, MessageKind kind, PlaceholderValues& values);
