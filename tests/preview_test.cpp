// Tests of the preview page: RichColor markup and linear colours as a screen shows them, and a page with
// each player's feed.
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/check/Preview.h"

namespace {

using heraldix::preview::ParseRichColor;
using heraldix::preview::RenderPreviewHtml;
using heraldix::preview::Rgb;

TEST(Preview, ReadsRichColorMarkup) {
  const auto spans = ParseRichColor("<RichColor Color=\"1, 0, 0, 1\">Hi</>");
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0].text, "Hi");
  EXPECT_EQ(spans[0].colour, (Rgb{255, 0, 0}));

  // Bytes up to 1 are written as they are, alpha 255 included: still full channels.
  EXPECT_EQ(ParseRichColor("<RichColor Color=\"1, 1, 0, 255\">x</>")[0].colour, (Rgb{255, 255, 0}));
  EXPECT_EQ(ParseRichColor("<RichColor Color=\"0.392157, 0, 0.00784314, 1\">x</>")[0].colour, (Rgb{100, 0, 2}));
  // Hand-written markup with byte channels.
  EXPECT_EQ(ParseRichColor("<RichColor Color=\"255, 128, 0, 255\">x</>")[0].colour, (Rgb{255, 128, 0}));

  const auto lines =
      ParseRichColor("before <RichColor Color=\"0, 1, 0, 1\">a</>\n<RichColor Color=\"0, 0, 1, 1\">b</>\n");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].text, "before ");
  EXPECT_FALSE(lines[0].colour);
  EXPECT_EQ(lines[1].colour, (Rgb{0, 255, 0}));
  EXPECT_EQ(lines[3].colour, (Rgb{0, 0, 255}));

  // The markup's escapes show as their characters, inside a coloured run and outside one, each read once;
  // any other "&" shows as it is.
  const auto escaped = ParseRichColor("&lt;a&gt; &amp;lt; <RichColor Color=\"1, 0, 0, 1\">&quot;b&quot; &copy;</>");
  ASSERT_EQ(escaped.size(), 2u);
  EXPECT_EQ(escaped[0].text, "<a> &lt; ");
  EXPECT_EQ(escaped[1].text, "\"b\" &copy;");

  const auto broken = ParseRichColor("<RichColor Color=\"1, 0, 0, 1\">never closed");
  ASSERT_EQ(broken.size(), 1u);
  EXPECT_FALSE(broken[0].colour);
  EXPECT_EQ(broken[0].text, "<RichColor Color=\"1, 0, 0, 1\">never closed");
  EXPECT_TRUE(ParseRichColor("").empty());
}

TEST(Preview, ShowsLinearColoursAsScreenColours) {
  using heraldix::preview::LinearToSrgb;
  EXPECT_EQ(LinearToSrgb(nlohmann::json::array({1.0, 0.0, 0.0, 1.0})), (Rgb{255, 0, 0}));
  // 0.21586 is the linear value of sRGB byte 128.
  EXPECT_EQ(LinearToSrgb(nlohmann::json::array({0.21586, 0.0, 2.0, 1.0})), (Rgb{128, 0, 255}));
  EXPECT_EQ(LinearToSrgb(nlohmann::json("red")), (Rgb{0, 0, 0}));
  EXPECT_EQ(heraldix::preview::ClockText(65), "1:05");
  EXPECT_EQ(heraldix::preview::ClockText(3725), "1:02:05");
}

TEST(Preview, PageShowsEachPlayersFeed) {
  heraldix::preview::PreviewInput input;
  input.scenarios = {"demo.scenario"};
  input.players = {{"1", "Alice"}, {"2", "Bob <b>"}};
  input.events = {
      {{"event", "server"},
       {"t", 3},
       {"to", "1"},
       {"text", "Restart <soon>"},
       {"color", {1.0, 0.0, 0.0, 1.0}},
       {"bold", true}},
      {{"event", "chat"},
       {"t", 5},
       {"to", "1"},
       {"sender", "Heraldix"},
       {"text", "<RichColor Color=\"0, 1, 0, 1\">Welcome</>"}},
      {{"event", "notification"},
       {"t", 7},
       {"to", "7"},
       {"text", "Vote"},
       {"color", {0.0, 0.0, 1.0, 1.0}},
       {"scale", 1.5},
       {"time", 8},
       {"icon", "/Game/Icons/Vote.Vote"}},
      {{"event", "rcon"}, {"t", 8}, {"id", 1}, {"type", 0}, {"text", "Heraldix: Reloaded config"}},
      {{"event", "fault"}, {"t", 9}, {"text", "bad free"}},
      {{"event", "say"}, {"t", 9}, {"from", "1"}, {"text", "/rules"}, {"mode", 0}},
  };
  input.exitStatus = 1;
  const std::string html = RenderPreviewHtml(input);
  EXPECT_NE(html.find("<section class=\"player\" data-player=\"1\" data-name=\"Alice\">"), std::string::npos);
  // Bob saw nothing, and a player nobody saw join still gets a screen.
  EXPECT_NE(html.find("data-name=\"Bob &lt;b&gt;\""), std::string::npos);
  EXPECT_NE(html.find("Nothing reached this player."), std::string::npos);
  EXPECT_NE(html.find("data-player=\"7\" data-name=\"player 7\""), std::string::npos);
  EXPECT_NE(html.find("style=\"color: rgb(255, 0, 0); font-weight: bold\">Restart &lt;soon&gt;</span>"),
            std::string::npos);
  EXPECT_NE(html.find("<span class=\"sender\">Heraldix</span><span class=\"text\"><span class=\"rich\" "
                      "style=\"color: rgb(0, 255, 0)\">Welcome</span>"),
            std::string::npos);
  EXPECT_NE(html.find("data-scale=\"1.5\" data-time=\"8\" data-icon=\"/Game/Icons/Vote.Vote\""), std::string::npos);
  EXPECT_NE(html.find("Heraldix: Reloaded config"), std::string::npos);
  EXPECT_NE(html.find("<span class=\"who\">Alice says (mode 0)</span><span class=\"text\">/rules</span>"),
            std::string::npos);
  EXPECT_NE(html.find("<aside class=\"faults\""), std::string::npos);
  EXPECT_NE(html.find("data-exit-status=\"1\""), std::string::npos);
  EXPECT_NE(html.find("3 players, 3 messages, 1 fault"), std::string::npos);
  // Self-contained: nothing is fetched from anywhere.
  EXPECT_EQ(html.find("http"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
}

TEST(Preview, PlaceholderValuesShowAsThePlayerSeesThem) {
  // A chat line as the plug-in sends it with placeholders on: the name's markup characters come as the
  // markup's escapes, its braces as they are; the server clock stands beside the line its {Time} was read from.
  heraldix::preview::PreviewInput input;
  input.players = {{"1", "<b>{x}"}};
  input.events = {{{"event", "chat"},
                   {"t", 5},
                   {"to", "1"},
                   {"sender", "Heraldix"},
                   {"clock", "05:50:00"},
                   {"text", "<RichColor Color=\"0, 1, 0, 1\">Hi &lt;b&gt;{x} &amp; 2 others, it is 05:50</>"}}};
  const std::string html = RenderPreviewHtml(input);
  EXPECT_NE(html.find("<time class=\"server-clock\" title=\"server clock\">05:50:00</time>"), std::string::npos);
  EXPECT_NE(html.find("style=\"color: rgb(0, 255, 0)\">Hi &lt;b&gt;{x} &amp; 2 others, it is 05:50</span>"),
            std::string::npos)
      << html;
  EXPECT_EQ(html.find("&amp;lt;"), std::string::npos);
}

}  // namespace
