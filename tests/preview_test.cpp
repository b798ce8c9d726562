// Tests of the preview page: RichColor markup and linear colours as a screen shows them, and a page with
// each player's feed.
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/check/Preview.h"

namespace {

using sim::preview::ParseRichColor;
using sim::preview::RenderPreviewHtml;
using sim::preview::Rgb;

// A text in the chat markup the plug-in writes, for one line without a line end.
std::string Rich(std::string_view colour, std::string_view text) {
  return "<RichColor Color=\"" + std::string(colour) + "\">" + std::string(text) + "</>";
}

// The pieces of the markup joined by "|", a coloured one after its colour: "plain|[255 0 0]red".
std::string Pieces(std::string_view markup) {
  std::string out;
  for (const auto& span : ParseRichColor(markup)) {
    if (!out.empty()) out += '|';
    if (span.colour) {
      const Rgb& rgb = *span.colour;
      out += "[" + std::to_string(rgb.r) + " " + std::to_string(rgb.g) + " " + std::to_string(rgb.b) + "]";
    }
    out += span.text;
  }
  return out;
}

TEST(Preview, ReadsRichColorMarkup) {
  const std::pair<std::string, const char*> rows[] = {
      {Rich("1, 1, 0, 255", "x"), "[255 255 0]x"},  // bytes up to 1 are fractions, alpha 255 included
      {Rich("0.392157, 0, 0.00784314, 1", "x"), "[100 0 2]x"},
      {Rich("255, 128, 0, 255", "x"), "[255 128 0]x"},  // hand-written markup with byte channels
      {"before " + Rich("0, 1, 0, 1", "a") + "\n" + Rich("0, 0, 1, 1", "b") + "\n",
       "before |[0 255 0]a|\n|[0 0 255]b|\n"},
      // The markup's escapes show as their characters, inside a coloured run and outside one, each read once;
      // any other "&" shows as it is.
      {"&lt;a&gt; &amp;lt; " + Rich("1, 0, 0, 1", "&quot;b&quot; &copy;"), "<a> &lt; |[255 0 0]\"b\" &copy;"},
      {"<RichColor Color=\"1, 0, 0, 1\">never closed", "<RichColor Color=\"1, 0, 0, 1\">never closed"},
      {"", ""},
  };
  for (const auto& [markup, pieces] : rows) EXPECT_EQ(Pieces(markup), pieces) << markup;
}

TEST(Preview, ShowsLinearColoursAsScreenColours) {
  using sim::preview::LinearToSrgb;
  // 0.21586 is the linear value of sRGB byte 128.
  EXPECT_EQ(LinearToSrgb(nlohmann::json::array({0.21586, 0.0, 2.0, 1.0})), (Rgb{128, 0, 255}));
  EXPECT_EQ(LinearToSrgb(nlohmann::json("red")), (Rgb{0, 0, 0}));
  EXPECT_EQ(sim::preview::ClockText(65), "1:05");
  EXPECT_EQ(sim::preview::ClockText(3725), "1:02:05");
}

TEST(Preview, PageShowsEachPlayersFeed) {
  sim::preview::PreviewInput input{{"demo.scenario"}, {{"1", "Alice"}, {"2", "Bob <b>"}, {"3", "<b>{x}"}}, {}, 1};
  // Player 3's line is as the plug-in sends it with placeholders on: the name's markup characters come as the
  // markup's escapes, its braces as they are; the server clock stands beside the line its {Time} was read from.
  input.events = nlohmann::json::parse(R"([
    {"event": "server", "t": 3, "to": "1", "text": "Restart <soon>", "color": [1, 0, 0, 1], "bold": true},
    {"event": "chat", "t": 5, "to": "1", "sender": "Heraldix", "text": "<RichColor Color=\"0, 1, 0, 1\">Welcome</>"},
    {"event": "chat", "t": 5, "to": "3", "sender": "Heraldix", "clock": "05:50:00",
     "text": "<RichColor Color=\"0, 1, 0, 1\">Hi &lt;b&gt;{x} &amp; 2 others, it is 05:50</>"},
    {"event": "notification", "t": 7, "to": "7", "text": "Vote", "color": [0, 0, 1, 1], "scale": 1.5, "time": 8,
     "icon": "/Game/Icons/Vote.Vote"},
    {"event": "rcon", "t": 8, "id": 1, "type": 0, "text": "Heraldix: Reloaded config"},
    {"event": "fault", "t": 9, "text": "bad free"},
    {"event": "say", "t": 9, "from": "1", "text": "/rules", "mode": 0}])");
  // Bob saw nothing, and a player nobody saw join still gets a screen; nothing is fetched from anywhere.
  const std::string html = RenderPreviewHtml(input);
  for (const char* shown :
       {"<section class=\"player\" data-player=\"1\" data-name=\"Alice\">", "data-name=\"Bob &lt;b&gt;\"",
        "Nothing reached this player.", "data-player=\"7\" data-name=\"player 7\"",
        "style=\"color: rgb(255, 0, 0); font-weight: bold\">Restart &lt;soon&gt;</span>",
        "<span class=\"sender\">Heraldix</span><span class=\"text\"><span class=\"rich\" "
        "style=\"color: rgb(0, 255, 0)\">Welcome</span>",
        "<time class=\"server-clock\" title=\"server clock\">05:50:00</time>",
        "style=\"color: rgb(0, 255, 0)\">Hi &lt;b&gt;{x} &amp; 2 others, it is 05:50</span>",
        "data-scale=\"1.5\" data-time=\"8\" data-icon=\"/Game/Icons/Vote.Vote\"", "Heraldix: Reloaded config",
        "<span class=\"who\">Alice says (mode 0)</span><span class=\"text\">/rules</span>", "<aside class=\"faults\"",
        "data-exit-status=\"1\"", "4 players, 4 messages, 1 fault"}) {
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
  }
  for (const char* absent : {"http", "<script", "&amp;lt;"}) EXPECT_EQ(html.find(absent), std::string::npos) << absent;
}

}  // namespace
