// Unit tests of server messages, chat messages, notifications and icon loading against the live game.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "delivery/Delivery.h"
#include "tests/support/Support.h"
#include "text/Colour.h"
#include "text/Text.h"

namespace {

using nlohmann::json;

class Delivery : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(game.PluginBlocks(), 0) << "blocks left on the game allocator";
    for (const nlohmann::json& fault : game.Of("fault")) ADD_FAILURE() << "fault: " << fault.dump();
  }

  // Players 1, 2 and 3 online, in that order in the world's list.
  void JoinThree() {
    game.Line("join 1 Alice");
    game.Line("join 2 Bob");
    game.Line("join 3 Carol");
  }

  std::vector<std::string> Field(std::string_view event, std::string_view name) const {
    std::vector<std::string> values;
    for (const json& each : game.Of(event)) values.push_back(each.at(std::string(name)).get<std::string>());
    return values;
  }

  heraldix::test::LiveGame game;
};

FString Utf8(std::string_view text) { return FromUtf8(std::string(text)); }

constexpr ColourBytes Red{255, 0, 0, 255};
constexpr ColourBytes Yellow{255, 255, 0, 255};

std::string Markup(std::string_view colour, std::string_view line, std::string_view end) {
  return "<RichColor Color=\"" + std::string(colour) + "\">" + std::string(line) + "</>" + std::string(end);
}

void ExpectColour(const json& event, ColourBytes colour) {
  const LinearColour linear = SrgbToLinear(colour);
  const json& got = event.at("color");
  ASSERT_EQ(got.size(), 4U);
  EXPECT_EQ(got[0].get<double>(), static_cast<double>(linear.R));
  EXPECT_EQ(got[1].get<double>(), static_cast<double>(linear.G));
  EXPECT_EQ(got[2].get<double>(), static_cast<double>(linear.B));
  EXPECT_EQ(got[3].get<double>(), static_cast<double>(linear.A));
}

using Strings = std::vector<std::string>;

}  // namespace

// --- Server messages ------------------------------------------------------------------------------

TEST_F(Delivery, ServerMessageReachesOnePlayerInLinearColourNotBold) {
  JoinThree();
  EXPECT_TRUE(SendServerMessage(game.Player(2), Utf8("Hello ✓"), Red, false));
  const auto sent = game.Of("server");
  ASSERT_EQ(sent.size(), 1U);
  EXPECT_EQ(sent[0].at("to"), "2");
  EXPECT_EQ(sent[0].at("text"), "Hello ✓");
  EXPECT_EQ(sent[0].at("bold"), false);
  ExpectColour(sent[0], Red);
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Delivery, ServerMessagePassesThroughTheFormatter) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendServerMessage(game.Player(1), Utf8("100%"), Red, false));
  EXPECT_TRUE(SendServerMessage(game.Player(1), Utf8("{{ok}}"), Red, false));
  EXPECT_TRUE(SendServerMessage(game.Player(1), FString(), Red, false));
  EXPECT_EQ(Field("server", "text"), (Strings{"100%", "{ok}", ""}));
}

TEST_F(Delivery, ServerMessageWithAStrayBraceSendsNothing) {
  JoinThree();
  EXPECT_FALSE(SendServerMessage(game.Player(1), Utf8("{name}"), Red, false));
  EXPECT_FALSE(SendServerMessage(nullptr, Utf8("{name}"), Red, true));
  EXPECT_FALSE(SendServerMessage(nullptr, Utf8("oops }"), Red, true));
  EXPECT_TRUE(game.Of("server").empty());
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Delivery, ServerMessageToEveryoneSkipsStaleEntries) {
  JoinThree();
  game.Line("stale 2");
  EXPECT_TRUE(SendServerMessage(nullptr, Utf8("all"), Yellow, true));
  EXPECT_EQ(Field("server", "to"), (Strings{"1", "3"}));
  EXPECT_EQ(Field("server", "text"), (Strings{"all", "all"}));
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Delivery, AllPlayersIgnoresThePlayerGiven) {
  JoinThree();
  EXPECT_TRUE(SendServerMessage(game.Player(3), Utf8("x"), Red, true));
  EXPECT_EQ(Field("server", "to"), (Strings{"1", "2", "3"}));
}

TEST_F(Delivery, PlayersWhoLeftAreNotServed) {
  JoinThree();
  game.Line("leave 1");
  EXPECT_TRUE(SendNotification(nullptr, Utf8("n"), Red, 1.0F, 1.0F, nullptr, true));
  EXPECT_EQ(Field("notification", "to"), (Strings{"2", "3"}));
}

TEST_F(Delivery, NullPlayerWithoutAllPlayersSendsNothing) {
  JoinThree();
  EXPECT_FALSE(SendServerMessage(nullptr, Utf8("x"), Red, false));
  EXPECT_FALSE(SendChatMessage(nullptr, Utf8("x"), Utf8("Admin"), Red, false));
  EXPECT_FALSE(SendNotification(nullptr, Utf8("x"), Red, 5.0F, 1.0F, nullptr, false));
  EXPECT_TRUE(game.Of("server").empty());
  EXPECT_TRUE(game.Of("chat").empty());
  EXPECT_TRUE(game.Of("notification").empty());
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Delivery, NobodyOnlineIsASuccessWithNothingSent) {
  EXPECT_TRUE(SendServerMessage(nullptr, Utf8("x"), Red, true));
  EXPECT_TRUE(SendChatMessage(nullptr, Utf8("x"), Utf8("Admin"), Red, true));
  EXPECT_TRUE(SendNotification(nullptr, Utf8("x"), Red, 5.0F, 1.0F, nullptr, true));
  game.Line("join 1 Alice");
  game.Line("stale 1");
  EXPECT_TRUE(SendServerMessage(nullptr, Utf8("x"), Red, true));
  EXPECT_TRUE(game.Of("server").empty());
  EXPECT_TRUE(game.Of("chat").empty());
  EXPECT_TRUE(game.Of("notification").empty());
}

// --- Chat messages --------------------------------------------------------------------------------

TEST_F(Delivery, ChatMessageOfOneLineHasNoLineEnd) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("Hi"), Utf8("Admin"), Red, false));
  const auto sent = game.Of("chat");
  ASSERT_EQ(sent.size(), 1U);
  EXPECT_EQ(sent[0].at("to"), "1");
  EXPECT_EQ(sent[0].at("sender"), "Admin");
  EXPECT_EQ(sent[0].at("text"), Markup("1, 0, 0, 1", "Hi", ""));
}

TEST_F(Delivery, ChatMessageEndsEveryLineOfSeveralWithALineFeed) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("a\nb\nc"), Utf8("Admin"), Yellow, false));
  const std::string colour = "1, 1, 0, 1";
  EXPECT_EQ(Field("chat", "text"),
            (Strings{Markup(colour, "a", "\n") + Markup(colour, "b", "\n") + Markup(colour, "c", "\n")}));
}

TEST_F(Delivery, ChatMessageDropsBlankLines) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("a\n\nb\n"), Utf8("S"), ColourBytes{1, 0, 0, 255}, false));
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("\nonly\n\n"), Utf8("S"), ColourBytes{1, 0, 0, 255}, false));
  const std::string colour = "1, 0, 0, 255";
  EXPECT_EQ(Field("chat", "text"),
            (Strings{Markup(colour, "a", "\n") + Markup(colour, "b", "\n"), Markup(colour, "only", "")}));
}

TEST_F(Delivery, EmptyChatMessageSendsAnEmptyText) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendChatMessage(game.Player(1), FString(), Utf8("S"), Red, false));
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("\n\n"), FString(), Red, false));
  EXPECT_EQ(Field("chat", "text"), (Strings{"", ""}));
  EXPECT_EQ(Field("chat", "sender"), (Strings{"S", ""}));
}

TEST_F(Delivery, ChatMessageKeepsUnicodeAndUndoublesBraces) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendChatMessage(game.Player(1), Utf8("{{ünï}} 100%"), Utf8("Ädmin"), Red, false));
  EXPECT_EQ(Field("chat", "text"), (Strings{Markup("1, 0, 0, 1", "{ünï} 100%", "")}));
  EXPECT_EQ(Field("chat", "sender"), (Strings{"Ädmin"}));
}

TEST_F(Delivery, ChatMessageWithAReplacementFieldSendsNothing) {
  JoinThree();
  EXPECT_FALSE(SendChatMessage(game.Player(1), Utf8("hello {0}"), Utf8("S"), Red, false));
  EXPECT_FALSE(SendChatMessage(nullptr, Utf8("fine\n{"), Utf8("S"), Red, true));
  EXPECT_TRUE(game.Of("chat").empty());
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Delivery, ChatMessageToEveryoneGivesEachPlayerTheSameRecord) {
  JoinThree();
  game.Line("stale 1");
  EXPECT_TRUE(SendChatMessage(nullptr, Utf8("x\ny"), Utf8("Admin"), Red, true));
  EXPECT_EQ(Field("chat", "to"), (Strings{"2", "3"}));
  const std::string text = Markup("1, 0, 0, 1", "x", "\n") + Markup("1, 0, 0, 1", "y", "\n");
  EXPECT_EQ(Field("chat", "text"), (Strings{text, text}));
  EXPECT_EQ(Field("chat", "sender"), (Strings{"Admin", "Admin"}));
  EXPECT_EQ(game.PluginBlocks(), 0);
}

// --- Notifications and icons ----------------------------------------------------------------------

TEST_F(Delivery, NotificationGivesTheGameScaleBeforeTime) {
  game.Line("join 1 Alice");
  EXPECT_TRUE(SendNotification(game.Player(1), Utf8("Look"), Yellow, 5.0F, 1.5F, nullptr, false));
  const auto sent = game.Of("notification");
  ASSERT_EQ(sent.size(), 1U);
  EXPECT_EQ(sent[0].at("to"), "1");
  EXPECT_EQ(sent[0].at("text"), "Look");
  EXPECT_EQ(sent[0].at("scale").get<double>(), 1.5);
  EXPECT_EQ(sent[0].at("time").get<double>(), 5.0);
  EXPECT_TRUE(sent[0].at("icon").is_null());
  ExpectColour(sent[0], Yellow);
}

TEST_F(Delivery, NotificationCarriesItsIconToEveryone) {
  JoinThree();
  game.Line("texture /Game/UI/Bell.Bell");
  UTexture2D* icon = LoadTexture(u"/Game/UI/Bell.Bell");
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(SendNotification(nullptr, Utf8("{{50%}}"), Red, 10.0F, 1.0F, icon, true));
  EXPECT_EQ(Field("notification", "icon"), (Strings(3, "/Game/UI/Bell.Bell")));
  EXPECT_EQ(Field("notification", "text"), (Strings(3, "{50%}")));
}

TEST_F(Delivery, NotificationWithAStrayBraceSendsNothing) {
  JoinThree();
  EXPECT_FALSE(SendNotification(nullptr, Utf8("{"), Red, 10.0F, 1.0F, nullptr, true));
  EXPECT_FALSE(SendNotification(game.Player(1), Utf8("}"), Red, 10.0F, 1.0F, nullptr, false));
  EXPECT_TRUE(game.Of("notification").empty());
}

TEST_F(Delivery, TextureIsLoadedAnewEveryTime) {
  EXPECT_EQ(LoadTexture(u"/Game/UI/Later.Later"), nullptr);
  EXPECT_EQ(LoadTexture(u""), nullptr);
  game.Line("texture /Game/UI/Later.Later");
  EXPECT_NE(LoadTexture(u"/Game/UI/Later.Later"), nullptr);
  EXPECT_EQ(LoadTexture(u"/Game/UI/later.later"), nullptr);
}

// --- The walk over the player list ----------------------------------------------------------------

TEST_F(Delivery, WalkVisitsLiveControllersInListOrder) {
  JoinThree();
  game.Line("join 4 Dan");
  game.Line("stale 3");
  std::vector<AShooterPlayerController*> visited;
  ForEachOnlinePlayer([&](AShooterPlayerController* player) { visited.push_back(player); });
  EXPECT_EQ(visited, (std::vector<AShooterPlayerController*>{game.Player(1), game.Player(2), game.Player(4)}));
}
