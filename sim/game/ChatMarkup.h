// Owns how the game's chat reads its markup: RichColor runs, their colours, and the markup's four escapes.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

// The text of a run as a player sees it: "&amp;", "&lt;", "&gt;" and "&quot;" show as the character each
// stands for, so a name holding markup characters can be shown without being read as markup. Any other "&"
// shows as it is.
inline std::string DecodeMarkupEscapes(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, char>, 4> Escapes{
      {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}}};
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool escaped = false;
    if (text[i] == '&') {
      for (const auto& [escape, character] : Escapes) {
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

// A channel of 0 to 1 as a byte, rounded; NaN is 0.
inline int UnitToByte(double unit) {
  if (std::isnan(unit)) return 0;
  return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

// A run of chat text as a player sees it, with the colour of its RichColor markup as red, green and blue
// bytes; none for text outside markup.
struct MarkupRun {
  std::string text;
  std::optional<std::array<int, 3>> colour;
};

// <RichColor Color="r, g, b, a">text</> runs and the plain text around them (plain pieces in a row are one
// run), escapes decoded. Channels are 0-1 fractions; a colour with a channel above 1 is taken as 0-255 bytes.
// Broken markup stays plain text.
inline std::vector<MarkupRun> ReadChatMarkup(std::string_view text) {
  static constexpr std::string_view Open = "<RichColor Color=\"";
  std::vector<MarkupRun> runs;
  auto plain = [&](std::string_view piece) {
    if (piece.empty()) return;
    if (!runs.empty() && !runs.back().colour) {
      runs.back().text += DecodeMarkupEscapes(piece);
    } else {
      runs.push_back(MarkupRun{DecodeMarkupEscapes(piece), std::nullopt});
    }
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = text.find(Open, pos);
    const std::size_t quote = start == std::string_view::npos ? start : text.find("\">", start + Open.size());
    const std::size_t close = quote == std::string_view::npos ? quote : text.find("</>", quote + 2);
    if (close == std::string_view::npos) {
      plain(text.substr(pos));
      break;
    }
    plain(text.substr(pos, start - pos));
    double channel[3] = {0, 0, 0};
    std::istringstream in(std::string(text.substr(start + Open.size(), quote - start - Open.size())));
    char comma = 0;
    in >> channel[0] >> comma >> channel[1] >> comma >> channel[2];
    const bool bytes = channel[0] > 1 || channel[1] > 1 || channel[2] > 1;
    auto byte = [&](double value) { return bytes ? UnitToByte(value / 255.0) : UnitToByte(value); };
    runs.push_back(MarkupRun{DecodeMarkupEscapes(text.substr(quote + 2, close - quote - 2)),
                             std::array<int, 3>{byte(channel[0]), byte(channel[1]), byte(channel[2])}});
    pos = close + 3;
  }
  return runs;
}

}  // namespace sim
