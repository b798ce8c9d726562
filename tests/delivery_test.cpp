// Tests of server messages, chat messages and notifications: told as stories through the real plug-in where
// a command, a chat command or a timed message reaches the case, on the live game where only a direct call can.
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "delivery/Delivery.h"
#include "tests/support/Expect.h"
#include "text/Colour.h"
#include "text/Text.h"

namespace {

FString Utf8(std::string_view text) { return FromUtf8(std::string(text)); }

constexpr ColourBytes Red{255, 0, 0, 255};

}  // namespace

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
