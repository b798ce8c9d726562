// Tests of server messages, chat messages and notifications: told as stories through the real plug-in where
// a command, a chat command or a timed message reaches the case, on the live game where only a direct call can.
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "delivery/Delivery.h"
#include "tests/support/Expect.h"
#include "tests/support/Stories.h"
#include "text/Colour.h"
#include "text/Text.h"

namespace {

using heraldix::test::TellStories;

FString Utf8(std::string_view text) { return FromUtf8(std::string(text)); }

constexpr ColourBytes Red{255, 0, 0, 255};

}  // namespace

TEST(Delivery, EachKindGoesThroughTheFormatterOnceAndAnythingButAFormatTextSendsNothing) {
  TellStories("delivery/each-kind-goes-through-the-formatter-once");
}

// A story shows a colour to three digits; the game gets every bit of the conversion.
TEST(Delivery, TheLinearColourIsHandedOverExactlyAsConverted) {
  heraldix::test::LiveGame game;
  game.Line("join 1 Alice");
  const ColourBytes colour{128, 10, 200, 255};
  EXPECT_TRUE(SendServerMessage(game.Player(1), Utf8("x"), colour, false));
  const LinearColour linear = SrgbToLinear(colour);
  EXPECT_EQ(game.Of("server").at(0).at("color"), nlohmann::json::array({linear.R, linear.G, linear.B, linear.A}));
  heraldix::test::ExpectNoFaults(game);
}

TEST(Delivery, EveryoneMeansEveryLivePlayerInListOrderAndNobodyMeansFailure) {
  TellStories("delivery/everyone-means-every-live-player-in-list-order");
}

// Every command looks its player up and refuses a missing one before a server or chat message is made, so
// only a direct call hands these two deliveries nobody.
TEST(Delivery, AServerOrChatMessageForNobodyIsAFailure) {
  heraldix::test::LiveGame game;
  game.Line("join 1 Alice");
  EXPECT_FALSE(SendServerMessage(nullptr, Utf8("x"), Red, false));
  EXPECT_FALSE(SendChatMessage(nullptr, Utf8("x"), Utf8("Admin"), Red, false));
  EXPECT_TRUE(game.Of("server").empty());
  EXPECT_TRUE(game.Of("chat").empty());
  heraldix::test::ExpectNoFaults(game);
}

TEST(Delivery, ChatLinesEachEndWithALineFeedOnlyWhenThereAreSeveralAndBlankOnesAreDropped) {
  TellStories("delivery/chat-lines-each-end-with-a-line-feed-only-when-there-are-several");
}
