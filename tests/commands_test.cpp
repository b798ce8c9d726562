// Administrator commands and their tokens called directly on the live game, for what no command line can reach:
// how a line is taken apart is told in the stories.
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

// A command typed without an issuer is told in the administrator stories; a handler given no line, or no
// connection to answer, and a token asked for past either end of a line only here.
TEST(Commands, HandlersWithoutALineOrSomeoneToAnswerDeliverNothingButAReloadTakesEffectAndTokensOffTheLineAreEmpty) {
  heraldix::test::LiveGame game;
  game.Line("join 1 Alice");
  {
    const Tokens tokens(Line("hx.x 1"));
    for (const std::int32_t off : {-1, 2}) EXPECT_TRUE(tokens.At(off).empty() && !tokens.IsNumericAt(off)) << off;
  }
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
