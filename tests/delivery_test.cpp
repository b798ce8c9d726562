// Unit tests of server messages, chat messages and notifications against the live game.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "delivery/Delivery.h"
#include "tests/support/Expect.h"
#include "text/Colour.h"
#include "text/Text.h"

namespace {

using heraldix::test::Rich;

class Delivery : public ::testing::Test {
 protected:
  // Players 1, 2 and 3 online, in that order in the world's list.
  void SetUp() override {
    for (const char* line : {"join 1 Alice", "join 2 Bob", "join 3 Carol"}) game.Line(line);
  }
  void TearDown() override { heraldix::test::ExpectNoFaults(game); }

  // Everything the players were shown, in order, as "id: kind [colour] text | ...".
  [[nodiscard]] std::string Seen() const { return heraldix::test::Seen({0, game.Events(), ""}); }

  heraldix::test::LiveGame game;
};

FString Utf8(std::string_view text) { return FromUtf8(std::string(text)); }

constexpr ColourBytes Red{255, 0, 0, 255};
constexpr ColourBytes Yellow{255, 255, 0, 255};

}  // namespace

TEST_F(Delivery, EachKindGoesThroughTheFormatterOnceAndAnythingButAFormatTextSendsNothing) {
  const ColourBytes colour{128, 10, 200, 255};
  EXPECT_TRUE(SendServerMessage(game.Player(2), Utf8("Hello ✓ 100%"), colour, false));
  // The linear colour is handed over exactly as converted.
  const LinearColour linear = SrgbToLinear(colour);
  EXPECT_EQ(game.Of("server").at(0).at("color"), nlohmann::json::array({linear.R, linear.G, linear.B, linear.A}));
  EXPECT_TRUE(SendServerMessage(game.Player(1), Utf8("{{ok}}"), Red, false));
  EXPECT_TRUE(SendServerMessage(game.Player(1), FString(), Red, false));
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("{{ünï}} 100%"), Utf8("Ädmin"), Red, false));
  EXPECT_TRUE(SendNotification(game.Player(1), Utf8("{{50%}}"), Red, 10.0F, 1.0F, nullptr, false));
  EXPECT_FALSE(SendServerMessage(game.Player(1), Utf8("{name}"), Red, false));
  EXPECT_FALSE(SendServerMessage(nullptr, Utf8("oops }"), Red, true));
  EXPECT_FALSE(SendChatMessage(game.Player(1), Utf8("hello {0}"), Utf8("S"), Red, false));
  EXPECT_FALSE(SendChatMessage(nullptr, Utf8("fine\n{"), Utf8("S"), Red, true));
  EXPECT_FALSE(SendNotification(nullptr, Utf8("{"), Red, 10.0F, 1.0F, nullptr, true));
  EXPECT_FALSE(SendNotification(game.Player(1), Utf8("}"), Red, 10.0F, 1.0F, nullptr, false));
  EXPECT_EQ(Seen(),
            "2: server [0.216 0.00304 0.578 1] Hello ✓ 100% | 1: server [1 0 0 1] {ok} | 1: server [1 0 0 1] "
            " | 1: chat Ädmin: " +
                Rich("1, 0, 0, 1", "{ünï} 100%") + " | 1: notification [1 0 0 1] scale 1 time 10 {50%}");
}

TEST_F(Delivery, EveryoneMeansEveryLivePlayerInListOrderAndNobodyMeansFailure) {
  for (const char* line : {"join 4 Dan", "stale 2", "leave 3"}) game.Line(line);
  std::vector<AShooterPlayerController*> visited;
  ForEachOnlinePlayer([&](AShooterPlayerController* player) { visited.push_back(player); });
  EXPECT_EQ(visited, (std::vector<AShooterPlayerController*>{game.Player(1), game.Player(4)}));
  EXPECT_FALSE(SendServerMessage(nullptr, Utf8("x"), Red, false));
  EXPECT_FALSE(SendChatMessage(nullptr, Utf8("x"), Utf8("Admin"), Red, false));
  EXPECT_FALSE(SendNotification(nullptr, Utf8("x"), Red, 5.0F, 1.0F, nullptr, false));
  EXPECT_TRUE(SendServerMessage(game.Player(1), Utf8("all"), Yellow, true));
  EXPECT_TRUE(SendChatMessage(nullptr, Utf8("x\ny"), Utf8("Admin"), Red, true));
  EXPECT_TRUE(SendNotification(nullptr, Utf8("n"), Red, 1.0F, 2.0F, nullptr, true));
  const std::string chat = "chat Admin: " + Rich("1, 0, 0, 1", "x") + "\n" + Rich("1, 0, 0, 1", "y") + "\n";
  const std::string everyone = "1: server [1 1 0 1] all | 4: server [1 1 0 1] all | 1: " + chat + " | 4: " + chat +
                               " | 1: notification [1 0 0 1] scale 2 time 1 n | 4: notification [1 0 0 1] " +
                               "scale 2 time 1 n";
  EXPECT_EQ(Seen(), everyone);
  // Nobody online is still a success.
  for (const char* line : {"leave 1", "leave 4"}) game.Line(line);
  EXPECT_TRUE(SendServerMessage(nullptr, Utf8("x"), Red, true));
  EXPECT_TRUE(SendChatMessage(nullptr, Utf8("x"), Utf8("Admin"), Red, true));
  EXPECT_TRUE(SendNotification(nullptr, Utf8("x"), Red, 5.0F, 1.0F, nullptr, true));
  EXPECT_EQ(Seen(), everyone);
}

TEST_F(Delivery, ChatLinesEachEndWithALineFeedOnlyWhenThereAreSeveralAndBlankOnesAreDropped) {
  const ColourBytes byte1{1, 0, 0, 255};
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("a\nb\nc"), Utf8("Admin"), Yellow, false));
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("a\n\nb\n"), Utf8("S"), byte1, false));
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("\nonly\n\n"), Utf8("S"), byte1, false));
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("\n\n"), FString(), Red, false));
  const auto yellow = [](const char* line) { return Rich("1, 1, 0, 1", line) + "\n"; };
  const auto small = [](const char* line) { return Rich("1, 0, 0, 255", line); };
  EXPECT_EQ(Seen(), "1: chat Admin: " + yellow("a") + yellow("b") + yellow("c") + " | 1: chat S: " + small("a") + "\n" +
                        small("b") + "\n | 1: chat S: " + small("only") + " | 1: chat : ");
}
