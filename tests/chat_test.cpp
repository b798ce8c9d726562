// Custom chat commands through the real plug-in library on the simulated server.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "chat/CustomCommands.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using nlohmann::json;

// Every run must end as a live server would want it: nothing escaped, nothing leaked, nothing freed twice.
void ExpectClean(const heraldix::test::Run& run) {
  EXPECT_EQ(run.exitStatus, 0);
  for (const json& fault : run.Faults()) ADD_FAILURE() << "fault: " << fault.dump();
}

std::vector<std::string> Texts(const std::vector<json>& events) {
  std::vector<std::string> texts;
  for (const json& event : events) texts.push_back(event.at("text").get<std::string>());
  return texts;
}

std::vector<std::string> FirstArgs(const std::vector<json>& traces) {
  std::vector<std::string> args;
  for (const json& trace : traces) args.push_back(trace.at("args").at(0).get<std::string>());
  return args;
}

std::string Green(std::string_view text) { return "<RichColor Color=\"0, 1, 0, 1\">" + std::string(text) + "</>"; }
std::string Red(std::string_view text) { return "<RichColor Color=\"1, 0, 0, 1\">" + std::string(text) + "</>"; }

// --- Registration ---------------------------------------------------------------------------------

TEST(Chat, RegistersCommandsInTableOrder) {
  ServerDir dir(R"({"CustomCommands": {
    "/zeta": {"Message": "z"}, "/Alpha": {"Message": "a"}, "/beta": {"Message": "b"}, "/Zed": {"Message": "Z"}
  }})");
  auto run = RunScenario("", dir);
  ExpectClean(run);
  EXPECT_EQ(FirstArgs(run.Traces("RegisterChatCommand")),
            (std::vector<std::string>{"/Alpha", "/beta", "/Zed", "/zeta"}));
}

TEST(Chat, SkipsMembersWithoutAMessage) {
  ServerDir dir(R"({"CustomCommands": {
    "/empty": {"Message": "", "Command_To_Execute": "/x"},
    "/none": {"Command_To_Execute": "/x", "Type": "Server"},
    "/real": {"Message": "here"}
  }})");
  auto run = RunScenario("join 1 Alice\nchat 1 /empty\nchat 1 /none\n", dir);
  ExpectClean(run);
  EXPECT_EQ(FirstArgs(run.Traces("RegisterChatCommand")), (std::vector<std::string>{"/real"}));
  EXPECT_TRUE(run.Of("say").empty());
  EXPECT_TRUE(run.Of("server").empty());
}

TEST(Chat, CaseTwinsKeepTheFirstNameAndTheLastRecord) {
  ServerDir dir(R"({"CustomCommands": {
    "/Rules": {"Message": "upper", "Type": "Server"},
    "/rules": {"Message": "lower", "Type": "Server"}
  }})");
  auto run = RunScenario("join 1 Alice\nchat 1 /RULES\n", dir);
  ExpectClean(run);
  EXPECT_EQ(FirstArgs(run.Traces("RegisterChatCommand")), (std::vector<std::string>{"/Rules"}));
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"lower"}));
}

TEST(Chat, NamesOutsideAsciiAreRegisteredWithOneMarkPerByte) {
  ServerDir dir(R"({"CustomCommands": {"/h\u00e9": {"Message": "x"}}})");
  auto run = RunScenario("", dir);
  ExpectClean(run);
  EXPECT_EQ(FirstArgs(run.Traces("RegisterChatCommand")), (std::vector<std::string>{"/h??"}));
}

TEST(Chat, NoSectionOrAnEmptyOneRegistersNothing) {
  for (const char* config : {R"({})", R"({"CustomCommands": {}})", R"({"CustomCommands": []})",
                             R"({"CustomCommands": null})"}) {
    ServerDir dir(config);
    auto run = RunScenario("", dir);
    ExpectClean(run);
    EXPECT_TRUE(run.Traces("RegisterChatCommand").empty()) << config;
    EXPECT_TRUE(run.Of("log").empty()) << config;
  }
}

TEST(Chat, ABrokenSectionAtLoadRegistersNoChatCommandButTheRestOfLoadStands) {
  const char* broken[] = {
      R"({"CustomCommands": [1], "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})",
      R"({"CustomCommands": {"/a": "text"}, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})",
      R"({"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "DisplayTime": "10"}}, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})",
      R"({"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "MessageColor": "red"}}, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})",
      R"({"CustomCommands": {"/a": {"Message": "ok", "MessageColor": [0, 0, 0, "x"]}}, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})",
      R"({"CustomCommands": {"/a": {"Message": 3}}, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})",
  };
  for (const char* config : broken) {
    ServerDir dir(config);
    auto run = RunScenario("join 1 Alice\nchat 1 /a\nrcon hx.sendserver 1 \"admin\" 0 255 0\nwait 1\n", dir);
    ExpectClean(run);
    EXPECT_TRUE(run.Traces("RegisterChatCommand").empty()) << config;
    EXPECT_EQ(run.Traces("RegisterConsoleCommand").size(), 5u) << config;
    EXPECT_EQ(run.Traces("InstallHook").size(), 3u) << config;
    EXPECT_FALSE(run.Of("log").empty()) << config;
    // The line reached no command, so it is plain chat; the admin command and the timed message work.
    EXPECT_EQ(Texts(run.To("1", "chat")), (std::vector<std::string>{"/a"})) << config;
    EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"admin", "tm"})) << config;
  }
}

TEST(Chat, UnloadRemovesEveryCustomCommand) {
  ServerDir dir(R"({"CustomCommands": {"/b": {"Message": "b"}, "/a": {"Message": "a"}}})");
  auto run = RunScenario("unload\n", dir);
  ExpectClean(run);
  EXPECT_EQ(FirstArgs(run.Traces("UnregisterChatCommand")), (std::vector<std::string>{"/a", "/b"}));
}

TEST(Chat, ReloadReplacesTheCommandsAndAFailedOneKeepsThem) {
  ServerDir dir(R"({"CustomCommands": {"/old": {"Message": "old", "Type": "Server"}}})");
  auto run = RunScenario(
      "join 1 Alice\n"
      "config-text {\"CustomCommands\": {\"/new\": {\"Message\": \"new\", \"Type\": \"Server\"}}}\n"
      "console none hx.reload\n"
      "chat 1 /old\nchat 1 /new\n"
      "config-text {\"CustomCommands\": {\"/third\": {\"Message\": \"3\", \"DisplayScale\": [1]}}}\n"
      "console none hx.reload\n"
      "chat 1 /new\nchat 1 /third\n",
      dir);
  ExpectClean(run);
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"new", "new"}));
  EXPECT_EQ(FirstArgs(run.Traces("RegisterChatCommand")), (std::vector<std::string>{"/old", "/new"}));
  // /old at the first reload, /new at unload; the failed reload removed nothing.
  EXPECT_EQ(FirstArgs(run.Traces("UnregisterChatCommand")), (std::vector<std::string>{"/old", "/new"}));
  // /old after the first reload is plain chat again.
  std::vector<std::string> chat = Texts(run.To("1", "chat"));
  EXPECT_NE(std::find(chat.begin(), chat.end(), "/old"), chat.end());
}

// --- Lookup and permissions -----------------------------------------------------------------------

TEST(Chat, TheFirstWordSelectsTheCommandIgnoringCase) {
  ServerDir dir(R"({"CustomCommands": {"/help": {"Message": "Hi", "Type": "Server", "MessageColor": [0, 255, 0]}}})");
  auto run = RunScenario("join 1 Alice\nchat 1 /help\nchat 1 /HELP me please\nchat 1    /Help\nchat 1 /helpme\n", dir);
  ExpectClean(run);
  const auto replies = run.To("1", "server");
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(replies[0].at("text"), "Hi");
  EXPECT_EQ(replies[0].at("color"), json::parse("[0.0, 1.0, 0.0, 1.0]"));
}

TEST(Chat, AKeyHoldingASpaceIsNeverFound) {
  ServerDir dir(R"({"CustomCommands": {"/server info": {"Message": "info", "Type": "Server"}}})");
  auto run = RunScenario("join 1 Alice\nchat 1 /server info\n", dir);
  ExpectClean(run);
  EXPECT_EQ(FirstArgs(run.Traces("RegisterChatCommand")), (std::vector<std::string>{"/server info"}));
  EXPECT_TRUE(run.Of("server").empty());
}

TEST(Chat, GroupsAreAskedInListOrderUntilOneSaysYes) {
  ServerDir dir(R"({"CustomCommands": {"/vip": {"Message": "welcome", "Type": "Server",
    "RequiredPermissionGroups": ["VIP", "Admins", "Mods"]}}})");
  auto run = RunScenario("join 7 Alice Admins\nchat 7 /vip\n", dir);
  ExpectClean(run);
  const auto asked = run.Traces("IsPlayerInGroup");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].at("args"), json::parse(R"(["7", "VIP"])"));
  EXPECT_EQ(asked[0].at("result"), false);
  EXPECT_EQ(asked[1].at("args"), json::parse(R"(["7", "Admins"])"));
  EXPECT_EQ(asked[1].at("result"), true);
  EXPECT_EQ(Texts(run.To("7", "server")), (std::vector<std::string>{"welcome"}));
}

TEST(Chat, DefaultInTheListLetsEveryoneInWithoutAsking) {
  ServerDir dir(R"({"CustomCommands": {"/all": {"Message": "open", "Type": "Server",
    "RequiredPermissionGroups": ["Admins", "dEfAuLt"]}}})");
  auto run = RunScenario("join 1 Alice\nchat 1 /all\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Traces("IsPlayerInGroup").empty());
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"open"}));
}

TEST(Chat, ARefusedPlayerGetsTheRedRefusalFromTheConfiguredSenderAndNoFollowUp) {
  ServerDir dir(R"({"NoPermission": "Not for you, Zo\u00eb", "Heraldix": {"ClientChatSenderName": "Gate"},
    "CustomCommands": {"/vip": {"Message": "secret", "Type": "Server", "Command_To_Execute": "/after",
    "RequiredPermissionGroups": ["VIP"]}}})");
  auto run = RunScenario("join 1 Alice\njoin 2 Bob\nchat 1 /vip\n", dir);
  ExpectClean(run);
  const auto refusal = run.To("1", "chat");
  ASSERT_EQ(refusal.size(), 1u);
  EXPECT_EQ(refusal[0].at("sender"), "Gate");
  EXPECT_EQ(refusal[0].at("text"), Red("Not for you, Zo\u00eb"));
  EXPECT_TRUE(run.To("2", "chat").empty());
  EXPECT_TRUE(run.Of("server").empty());
  EXPECT_TRUE(run.Of("say").empty());
}

TEST(Chat, ARefusalFallsBackToDefaultsForValuesItCannotRead) {
  const char* configs[] = {
      R"({"CustomCommands": {"/vip": {"Message": "s", "RequiredPermissionGroups": ["VIP"]}}})",
      R"({"NoPermission": 5, "Heraldix": 7, "CustomCommands": {"/vip": {"Message": "s", "RequiredPermissionGroups": ["VIP"]}}})",
      R"({"NoPermission": null, "Heraldix": {"ClientChatSenderName": ["x"]}, "CustomCommands": {"/vip": {"Message": "s", "RequiredPermissionGroups": ["VIP"]}}})",
  };
  for (const char* config : configs) {
    ServerDir dir(config);
    auto run = RunScenario("join 1 Alice\nchat 1 /vip\n", dir);
    ExpectClean(run);
    const auto refusal = run.To("1", "chat");
    ASSERT_EQ(refusal.size(), 1u) << config;
    EXPECT_EQ(refusal[0].at("sender"), "Heraldix") << config;
    EXPECT_EQ(refusal[0].at("text"), Red("You don't have permission to perform this command")) << config;
  }
}

// --- Replies ----------------------------------------------------------------------------------------

TEST(Chat, ChatAndClientRepliesCarrySenderAndColour) {
  ServerDir dir(R"({"CustomCommands": {
    "/c": {"Message": "from chat", "Sender": "Sch\u00f6n", "MessageColor": [0, 255, 0]},
    "/k": {"Message": "from client", "Type": "Client", "MessageColor": [0, 255, 0]}
  }})");
  auto run = RunScenario("join 1 Alice\njoin 2 Bob\nchat 1 /c\nchat 1 /k\n", dir);
  ExpectClean(run);
  const auto replies = run.To("1", "chat");
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].at("sender"), "Sch\u00f6n");
  EXPECT_EQ(replies[0].at("text"), Green("from chat"));
  EXPECT_EQ(replies[1].at("sender"), "");
  EXPECT_EQ(replies[1].at("text"), Green("from client"));
  EXPECT_TRUE(run.To("2", "chat").empty());
}

TEST(Chat, NotificationRepliesLoadTheIconEveryTime) {
  ServerDir dir(R"({"CustomCommands": {
    "/n": {"Message": "look", "Type": "Notification", "MessageColor": [255, 0, 0], "DisplayTime": 5,
           "DisplayScale": 1.5, "Icon_BP": "/Game/Icons/Star"},
    "/e": {"Message": "plain", "Type": "Notification"}
  }})");
  auto run = RunScenario("texture /Game/Icons/Star\njoin 1 Alice\nchat 1 /n\nchat 1 /n\nchat 1 /e\n", dir);
  ExpectClean(run);
  const auto shown = run.To("1", "notification");
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].at("text"), "look");
  EXPECT_EQ(shown[0].at("color"), json::parse("[1.0, 0.0, 0.0, 1.0]"));
  EXPECT_FLOAT_EQ(shown[0].at("scale").get<float>(), 1.5F);
  EXPECT_FLOAT_EQ(shown[0].at("time").get<float>(), 5.0F);
  EXPECT_EQ(shown[0].at("icon"), "/Game/Icons/Star");
  EXPECT_TRUE(shown[2].at("icon").is_null());
  EXPECT_FLOAT_EQ(shown[2].at("scale").get<float>(), 0.0F);
  const auto loads = run.Traces("StaticLoadObject");
  EXPECT_EQ(FirstArgs(loads), (std::vector<std::string>{"/Game/Icons/Star", "/Game/Icons/Star", ""}));
}

TEST(Chat, ColoursAreCutToBytesAndMissingChannelsAreZero) {
  ServerDir dir(R"({"CustomCommands": {
    "/cut": {"Message": "cut", "Type": "Server", "MessageColor": [255.9, 256, -1]},
    "/short": {"Message": "short", "Type": "Server", "MessageColor": [255]},
    "/none": {"Message": "none", "Type": "Server"}
  }})");
  auto run = RunScenario("join 1 Alice\nchat 1 /cut\nchat 1 /short\nchat 1 /none\n", dir);
  ExpectClean(run);
  const auto replies = run.To("1", "server");
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(replies[0].at("color"), json::parse("[1.0, 0.0, 1.0, 1.0]"));
  EXPECT_EQ(replies[1].at("color"), json::parse("[1.0, 0.0, 0.0, 1.0]"));
  EXPECT_EQ(replies[2].at("color"), json::parse("[0.0, 0.0, 0.0, 1.0]"));
}

TEST(Chat, BracesInTheMessageGoThroughTheFormatterOnce) {
  ServerDir dir(R"({"CustomCommands": {
    "/ok": {"Message": "{{ok}} 100%", "Type": "Server"},
    "/bad": {"Message": "{name}", "Type": "Server", "Command_To_Execute": "/after"}
  }})");
  auto run = RunScenario("join 1 Alice\nchat 1 /ok\nchat 1 /bad\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"{ok} 100%"}));
  EXPECT_EQ(Texts(run.Of("say")), (std::vector<std::string>{"/after"}));
}

// --- Follow-up lines ----------------------------------------------------------------------------------

TEST(Chat, TheFollowUpLineComesAfterTheReplyAsThePlayersOwnChat) {
  ServerDir dir(R"({"CustomCommands": {"/go": {"Message": "going", "Type": "Server",
    "Command_To_Execute": "/other arg"}}})");
  auto run = RunScenario("join 1 Alice\njoin 2 Bob\nchat 1 /go\n", dir);
  ExpectClean(run);
  std::vector<std::string> order;
  for (const json& event : run.events) {
    const std::string kind = event.at("event");
    if (kind == "server" || kind == "say") order.push_back(kind);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"server", "say"}));
  const auto said = run.Of("say");
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].at("from"), "1");
  EXPECT_EQ(said[0].at("text"), "/other arg");
  EXPECT_EQ(said[0].at("mode"), 0);
  // Nobody owns /other, so the game shows the line to everyone as Alice's chat.
  EXPECT_EQ(Texts(run.To("2", "chat")), (std::vector<std::string>{"/other arg"}));
}

TEST(Chat, AKindThatMatchesNothingSendsNoReplyButStillTheFollowUp) {
  ServerDir dir(R"({"CustomCommands": {"/lower": {"Message": "x", "Type": "chat", "Command_To_Execute": "hello"}}})");
  auto run = RunScenario("join 1 Alice\nchat 1 /lower\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Of("server").empty());
  EXPECT_TRUE(run.Of("notification").empty());
  EXPECT_EQ(Texts(run.Of("say")), (std::vector<std::string>{"hello"}));
  EXPECT_EQ(Texts(run.To("1", "chat")), (std::vector<std::string>{"hello"}));
}

TEST(Chat, AChainOfCommandsIsFollowedThrough) {
  ServerDir dir(R"({"CustomCommands": {
    "/a": {"Message": "first", "Type": "Server", "Command_To_Execute": "/b"},
    "/b": {"Message": "second", "Type": "Server"}
  }})");
  auto run = RunScenario("join 1 Alice\nchat 1 /a\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(Texts(run.Of("say")), (std::vector<std::string>{"/b"}));
}

TEST(Chat, ACommandLeadingBackToItselfNestsFourDeepAndEnds) {
  ServerDir dir(R"({"CustomCommands": {"/loop": {"Message": "again", "Type": "Server",
    "Command_To_Execute": "/LOOP"}}})");
  auto run = RunScenario("join 1 Alice\nchat 1 /loop\nchat 1 /loop\n", dir);
  ExpectClean(run);
  // Each typed line: the reply, then four nested follow-ups each answered; the fifth reply sends no line.
  EXPECT_EQ(run.To("1", "server").size(), 10u);
  EXPECT_EQ(run.Of("say").size(), 8u);
}

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
    EXPECT_EQ(game.Of("server").size(), 1u);
    EXPECT_EQ(game.Of("say").size(), 1u);
  }
  InstallCustomCommands({});  // the held table gives its strings back while the game still runs
  EXPECT_TRUE(CustomCommandTable().empty());
  EXPECT_EQ(game.PluginBlocks(), 0);
  EXPECT_TRUE(game.Of("fault").empty());
}

TEST(Chat, AFailedBuildLeavesTheHeldTableAsItWas) {
  heraldix::test::LiveGame game;
  InstallCustomCommands(BuildCustomCommandTable(json::parse(R"({"CustomCommands": {"/keep": {"Message": "k"}}})")));
  EXPECT_THROW(InstallCustomCommands(BuildCustomCommandTable(json::parse(R"({"CustomCommands": {"/new": 1}})"))),
               nlohmann::json::exception);
  EXPECT_THROW(BuildCustomCommandTable(json::parse("[]")), nlohmann::json::exception);
  ASSERT_EQ(CustomCommandTable().size(), 1u);
  EXPECT_EQ(CustomCommandTable().begin()->first.View(), u"/keep");
  InstallCustomCommands({});
  EXPECT_EQ(game.PluginBlocks(), 0);
}

}  // namespace
