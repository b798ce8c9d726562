// Owns the ASCII-only text rules of command dispatch, shared by the host and the checker that predicts it:
// case folding and a line's first word.
#pragma once

#include <string_view>

namespace sim {

// A-Z become a-z; every other unit stays as it is.
template <class Char>
constexpr Char LowerAscii(Char c) {
  return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

// The first space-separated word of a line, leading spaces skipped; a view into the text.
template <class Text, class Char = typename Text::value_type>
constexpr std::basic_string_view<Char> FirstWord(const Text& text) {
  const std::basic_string_view<Char> line(text);
  const std::size_t start = line.find_first_not_of(Char(' '));
  if (start == line.npos) return {};
  const std::size_t end = line.find(Char(' '), start);
  return line.substr(start, end == line.npos ? line.npos : end - start);
}

}  // namespace sim
