// Owns the placeholder names a configured text may hold, and how a text's braces are read into fields.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace grammar {

// Written in braces, exactly so (case counts): {Player}, {PlayersOnline}, {Time}, {Date}.
enum class Placeholder { Player, PlayersOnline, Time, Date };

// Indexed by Placeholder.
inline constexpr std::array<std::string_view, 4> PlaceholderNames{"Player", "PlayersOnline", "Time", "Date"};

// The time left of a countdown, in words: in the text of hx.countdown and of a scheduled message with a
// "Countdown", whatever the placeholder switch says.
inline constexpr std::string_view TimeLeftField = "{TimeLeft}";
inline constexpr std::u16string_view TimeLeftField16 = u"{TimeLeft}";

// The placeholder a field's text names; none for any other field.
template <class Char>
constexpr std::optional<Placeholder> PlaceholderNamed(std::basic_string_view<Char> field) {
  for (std::size_t i = 0; i < PlaceholderNames.size(); ++i) {
    const std::string_view name = PlaceholderNames[i];
    if (field.size() == name.size() && std::equal(name.begin(), name.end(), field.begin())) {
      return static_cast<Placeholder>(i);
    }
  }
  return std::nullopt;
}

// Walks text as the formatter reads it: a doubled brace is one literal brace, and a field runs from a single
// "{" to the next "}". Each field's text (without its braces) goes to field(text), which returns true when it
// takes the field whole; a field it leaves is literal text from its "{" on. Every other piece of text goes to
// literal(piece), in order.
template <class Char, class Literal, class Field>
void WalkFields(std::basic_string_view<Char> text, Literal&& literal, Field&& field) {
  std::size_t i = 0;
  while (i < text.size()) {
    const Char unit = text[i];
    if ((unit == '{' || unit == '}') && i + 1 < text.size() && text[i + 1] == unit) {
      literal(text.substr(i, 2));
      i += 2;
      continue;
    }
    if (unit == '{') {
      const std::size_t close = text.find(Char('}'), i + 1);
      if (close != std::basic_string_view<Char>::npos && field(text.substr(i + 1, close - i - 1))) {
        i = close + 1;
        continue;
      }
    }
    literal(text.substr(i, 1));
    ++i;
  }
}

}  // namespace grammar
