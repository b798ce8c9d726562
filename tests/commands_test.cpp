// Tests of how administrator command lines are taken apart: told as stories through the real plug-in where a
// line can reach the case, on the live game where only a direct call can.
#include <cstdint>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "commands/AdminCommands.h"
#include "commands/Arguments.h"
#include "config/Config.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"
#include "text/Text.h"

namespace {

FString Line(std::string_view text) { return FromUtf8(std::string(text)); }

}  // namespace

// --- Quoted text, tokens and numbers ----------------------------------------------------------------

// No command asks for a token past either end of its line; the tokens answer safely all the same.
TEST(Commands, PositionsOffTheLineAreEmptyAndNotNumeric) {
  const heraldix::test::LiveGame game;  // strings live on the game allocator
  {
    const Tokens tokens(Line("hx.x 1"));
    for (const std::int32_t position : {-1, 2}) {
      EXPECT_EQ(tokens.At(position), u"") << position;
      EXPECT_FALSE(tokens.IsNumericAt(position)) << position;
    }
  }
  heraldix::test::ExpectNoFaults(game);
}

// --- Handlers at the edges -----------------------------------------------------------------------

// A command typed without an issuer is told in the administrator stories; a handler given no line, or no
// connection to answer, only here.
TEST(Commands, HandlersWithoutALineOrSomeoneToAnswerDeliverNothingButAReloadTakesEffect) {
  heraldix::test::LiveGame game;
  game.Line("join 1 Alice");
  for (auto* command : {&SendServerCmd, &SendChatCmd, &SendNotificationCmd, &ChatAsPlayerCmd}) {
    command(game.Player(1), nullptr, false);
  }
  {
    RCONPacket packet;
    packet.Body = Line(R"(hx.chatasplayer 1 0 "x")");
    for (auto* command : {&SendServerRcon, &SendChatRcon, &SendNotificationRcon, &ChatAsPlayerRcon}) {
      command(nullptr, &packet, nullptr);
    }
  }
  game.Dir().WriteConfig(R"({"Heraldix": {}})");
  ReloadRcon(nullptr, nullptr, nullptr);
  EXPECT_EQ(Config(), nlohmann::json::parse(R"({"Heraldix": {}})"));
  for (const char* event : {"server", "chat", "notification", "rcon", "say"}) EXPECT_TRUE(game.Of(event).empty());
  ReplaceConfig(nlohmann::json());
  heraldix::test::ExpectNoFaults(game);
}
