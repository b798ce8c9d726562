// Custom chat commands through the real plug-in library on the simulated server.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "chat/CustomCommands.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::ExpectNoFaults;
using nlohmann::json;

}  // namespace

// --- The callback against the live game ----------------------------------------------------------------

TEST(Chat, TheCallbackIgnoresAMissingPlayerOrLineAndBlankLines) {
  heraldix::test::LiveGame game;
  game.Line("join 1 Alice");
  InstallCustomCommands(BuildCustomCommandTable(
      json::parse(R"({"CustomCommands": {"/x": {"Message": "x", "Type": "Server", "Command_To_Execute": "/y"}}})")));
  {
    FString command(u"/x");
    FString blank(u"   ");
    FString empty;
    OnCustomChatCommand(nullptr, &command, EChatSendMode::GlobalChat);
    OnCustomChatCommand(game.Player(1), nullptr, EChatSendMode::GlobalChat);
    OnCustomChatCommand(game.Player(1), &blank, EChatSendMode::GlobalChat);
    OnCustomChatCommand(game.Player(1), &empty, EChatSendMode::GlobalChat);
    EXPECT_TRUE(game.Of("server").empty());
    EXPECT_TRUE(game.Of("say").empty());

    OnCustomChatCommand(game.Player(1), &command, EChatSendMode::LocalChat);
    EXPECT_EQ(game.Of("server").size(), 1U);
    EXPECT_EQ(game.Of("say").size(), 1U);
  }
  InstallCustomCommands({});  // the held table gives its strings back while the game still runs
  ExpectNoFaults(game);
}
