// Owns the preview page: what each player saw over a simulated run, as one self-contained HTML file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace sim::preview {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A piece of chat text, coloured when it came inside RichColor markup.
struct RichSpan {
  std::string text;
  std::optional<Rgb> colour;
};

// <RichColor Color="r, g, b, a">text</> pieces and the plain text around them. Channels are 0-1
// fractions; a colour with a channel above 1 is taken as 0-255 bytes. Broken markup stays plain text.
std::vector<RichSpan> ParseRichColor(std::string_view text);

// The game's linear colour [r, g, b, a] as the sRGB a screen shows; black for anything else.
Rgb LinearToSrgb(const nlohmann::json& colour);

struct Player {
  std::string id;
  std::string name;
};

struct PreviewInput {
  std::vector<std::string> scenarios;            // names shown in the heading
  std::vector<Player> players;                   // in the order they joined
  std::vector<nlohmann::json> events;            // as the simulator records them
  int exitStatus = 0;                            // as `run` would exit
  std::map<std::string, std::string> languages;  // player id to the language they picked, when one is kept
};

std::string RenderPreviewHtml(const PreviewInput& input);

// "m:ss", or "h:mm:ss" from an hour on.
std::string ClockText(double seconds);

}  // namespace sim::preview
