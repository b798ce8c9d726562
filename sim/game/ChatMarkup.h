// Owns how the game's chat shows the text between its markup tags: the markup's four escapes.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace sim {

// The text of a run as a player sees it: "&amp;", "&lt;", "&gt;" and "&quot;" show as the character each
// stands for, so a name holding markup characters can be shown without being read as markup. Any other "&"
// shows as it is.
inline std::string DecodeMarkupEscapes(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, char>, 4> escapes{
      {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}}};
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool escaped = false;
    if (text[i] == '&') {
      for (const auto& [escape, character] : escapes) {
        if (text.substr(i).starts_with(escape)) {
          shown.push_back(character);
          i += escape.size() - 1;
          escaped = true;
          break;
        }
      }
    }
    if (!escaped) shown.push_back(text[i]);
  }
  return shown;
}

}  // namespace sim
