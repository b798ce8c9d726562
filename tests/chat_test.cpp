// Custom chat commands through the real plug-in library on the simulated server.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "chat/CustomCommands.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::ExpectNoFaults;
using heraldix::test::Feed;
using heraldix::test::Rich;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
using nlohmann::json;

// The first argument of each host call of one kind.
Strings FirstArgs(const heraldix::test::Run& run, std::string_view call) {
  Strings args;
  for (const json& trace : run.Traces(call)) args.push_back(trace.at("args").at(0).get<std::string>());
  return args;
}

// A server and its config.json; Alice (1), who types the lines, sees `alice`.
struct Story {
  const char* name;
  std::string config;
  std::string lines;
  Strings alice;
  std::optional<Strings> registered{};  // chat commands, in order
  std::optional<Strings> said{};        // follow-up lines players were made to say
  std::optional<Strings> bob{};         // what Bob (2) saw
  std::optional<Strings> loads{};       // texture paths asked for
};

void Tell(const Story& story) {
  SCOPED_TRACE(story.name);
  const ServerDir dir(story.config);
  const auto run = RunScenario(story.lines, dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Feed(run, "1"), story.alice);
  if (story.registered) {
    EXPECT_EQ(FirstArgs(run, "RegisterChatCommand"), *story.registered);
  }
  if (story.said) {
    EXPECT_EQ(Texts(run.Of("say")), *story.said);
  }
  if (story.bob) {
    EXPECT_EQ(Feed(run, "2"), *story.bob);
  }
  if (story.loads) {
    EXPECT_EQ(FirstArgs(run, "StaticLoadObject"), *story.loads);
  }
}

const std::string Refusal = "You don't have permission to perform this command";

}  // namespace

// --- Registration ---------------------------------------------------------------------------------

TEST(Chat, TheTableRegistersEveryCommandWithAMessage) {
  const Story stories[] = {
      {.name = "in table order",
       .config = R"({"CustomCommands": {"/zeta": {"Message": "z"}, "/Alpha": {"Message": "a"},
                                        "/beta": {"Message": "b"}, "/Zed": {"Message": "Z"}}})",
       .lines = "",
       .alice = {},
       .registered = Strings{"/Alpha", "/beta", "/Zed", "/zeta"}},
      {.name = "members without a message are skipped, follow-up and all",
       .config = R"({"CustomCommands": {"/empty": {"Message": "", "Command_To_Execute": "/x"},
                     "/none": {"Command_To_Execute": "/x", "Type": "Server"}, "/real": {"Message": "here"}}})",
       .lines = "join 1 Alice\nchat 1 /empty\nchat 1 /none\n",
       .alice = {"chat Alice: /empty", "chat Alice: /none"},
       .registered = Strings{"/real"},
       .said = Strings{}},
      {.name = "case twins keep the first name and the last record",
       .config = R"({"CustomCommands": {"/Rules": {"Message": "upper", "Type": "Server"},
                                        "/rules": {"Message": "lower", "Type": "Server"}}})",
       .lines = "join 1 Alice\nchat 1 /RULES\n",
       .alice = {"server [0 0 0 1] lower"},
       .registered = Strings{"/Rules"}},
      {.name = "names outside ASCII get one mark per byte",
       .config = R"({"CustomCommands": {"/h\u00e9": {"Message": "x"}}})",
       .lines = "",
       .alice = {},
       .registered = Strings{"/h??"}},
      {.name = "a name holding a space is registered but never found",
       .config = R"({"CustomCommands": {"/server info": {"Message": "info", "Type": "Server"}}})",
       .lines = "join 1 Alice\nchat 1 /server info\n",
       .alice = {"chat Alice: /server info"},
       .registered = Strings{"/server info"}},
  };
  for (const Story& story : stories) Tell(story);
}

TEST(Chat, NoSectionOrAnEmptyOneRegistersNothingAndSaysNothing) {
  for (const char* config :
       {R"({})", R"({"CustomCommands": {}})", R"({"CustomCommands": []})", R"({"CustomCommands": null})"}) {
    SCOPED_TRACE(config);
    const ServerDir dir(config);
    const auto run = RunScenario("", dir);
    ExpectNoFaults(run);
    EXPECT_TRUE(run.Traces("RegisterChatCommand").empty());
    EXPECT_TRUE(run.Of("log").empty());
  }
}

TEST(Chat, ABrokenSectionAtLoadRegistersNoChatCommandButTheRestOfLoadStands) {
  const std::string timed =
      R"("TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})";
  for (const char* commands :
       {R"({"CustomCommands": [1], )", R"({"CustomCommands": {"/a": "text"}, )",
        R"({"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "DisplayTime": "10"}}, )",
        R"({"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "MessageColor": "red"}}, )",
        R"({"CustomCommands": {"/a": {"Message": "ok", "MessageColor": [0, 0, 0, "x"]}}, )",
        R"({"CustomCommands": {"/a": {"Message": 3}}, )"}) {
    SCOPED_TRACE(commands);
    const ServerDir dir(commands + timed);
    const auto run = RunScenario("join 1 Alice\nchat 1 /a\nrcon hx.sendserver 1 \"admin\" 0 255 0\nwait 1\n", dir);
    ExpectNoFaults(run);
    EXPECT_TRUE(run.Traces("RegisterChatCommand").empty());
    EXPECT_EQ(run.Traces("RegisterConsoleCommand").size(), 5U);
    EXPECT_EQ(run.Traces("InstallHook").size(), 3U);
    EXPECT_FALSE(run.Of("log").empty());
    // The line reached no command, so it is plain chat; the admin command and the timed message work.
    EXPECT_EQ(Feed(run, "1"), (Strings{"chat Alice: /a", "server [0 1 0 1] admin", "server [0 0 0 1] tm"}));
  }
}

TEST(Chat, ReloadAndUnloadReplaceAndRemoveTheCommandsAndAFailedReloadKeepsThem) {
  const ServerDir dir(R"({"CustomCommands": {"/old": {"Message": "old", "Type": "Server"}, "/a": {"Message": "a"}}})");
  const auto run = RunScenario(
      "join 1 Alice\n"
      "config-text {\"CustomCommands\": {\"/new\": {\"Message\": \"new\", \"Type\": \"Server\"}}}\n"
      "console none hx.reload\n"
      "chat 1 /old\nchat 1 /new\n"
      "config-text {\"CustomCommands\": {\"/third\": {\"Message\": \"3\", \"DisplayScale\": [1]}}}\n"
      "console none hx.reload\n"
      "chat 1 /new\nchat 1 /third\n",
      dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Feed(run, "1"),
            (Strings{"chat Alice: /old", "server [0 0 0 1] new", "server [0 0 0 1] new", "chat Alice: /third"}));
  EXPECT_EQ(FirstArgs(run, "RegisterChatCommand"), (Strings{"/a", "/old", "/new"}));
  // The old table at the first reload, /new at unload; the failed reload removed nothing.
  EXPECT_EQ(FirstArgs(run, "UnregisterChatCommand"), (Strings{"/a", "/old", "/new"}));
}

// --- Lookup and permissions -----------------------------------------------------------------------

TEST(Chat, TheFirstWordSelectsTheCommandIgnoringCase) {
  Tell({.name = "first word",
        .config = R"({"CustomCommands": {"/help": {"Message": "Hi", "Type": "Server", "MessageColor": [0, 255, 0]}}})",
        .lines = "join 1 Alice\nchat 1 /help\nchat 1 /HELP me please\nchat 1    /Help\nchat 1 /helpme\n",
        .alice = {"server [0 1 0 1] Hi", "server [0 1 0 1] Hi", "server [0 1 0 1] Hi", "chat Alice: /helpme"}});
}

TEST(Chat, GroupsAreAskedInListOrderUntilOneSaysYesAndDefaultLetsEveryoneIn) {
  const ServerDir dir(R"({"CustomCommands": {
    "/vip": {"Message": "welcome", "Type": "Server", "RequiredPermissionGroups": ["VIP", "Admins", "Mods"]},
    "/all": {"Message": "open", "Type": "Server", "RequiredPermissionGroups": ["Admins", "dEfAuLt"]}}})");
  const auto run = RunScenario("join 7 Alice Admins\njoin 1 Bob\nchat 7 /vip\nchat 1 /all\n", dir);
  ExpectNoFaults(run);
  Strings asked;
  for (const json& trace : run.Traces("IsPlayerInGroup"))
    asked.push_back(trace.at("args").dump() + trace.at("result").dump());
  EXPECT_EQ(asked, (Strings{R"(["7","VIP"]false)", R"(["7","Admins"]true)"})) << "nothing asked for /all";
  EXPECT_EQ(Feed(run, "7"), Strings{"server [0 0 0 1] welcome"});
  EXPECT_EQ(Feed(run, "1"), Strings{"server [0 0 0 1] open"});
}

TEST(Chat, ARefusedPlayerGetsTheRedRefusalAloneAndNoFollowUp) {
  const std::string vip =
      R"("CustomCommands": {"/vip": {"Message": "s", "Command_To_Execute": "/after", "RequiredPermissionGroups": ["VIP"]}}})";
  const Story stories[] = {
      {.name = "from the configured sender",
       .config = R"({"NoPermission": "Not for you, Zo\u00eb", "Heraldix": {"ClientChatSenderName": "Gate"}, )" + vip,
       .lines = "join 1 Alice\njoin 2 Bob\nchat 1 /vip\n",
       .alice = {"chat Gate: " + Rich("1, 0, 0, 1", "Not for you, Zoë")},
       .said = Strings{},
       .bob = Strings{}},
      {.name = "defaults when nothing is configured",
       .config = "{" + vip,
       .lines = "join 1 Alice\nchat 1 /vip\n",
       .alice = {"chat Heraldix: " + Rich("1, 0, 0, 1", Refusal)}},
      {.name = "defaults for values of the wrong type",
       .config = R"({"NoPermission": 5, "Heraldix": 7, )" + vip,
       .lines = "join 1 Alice\nchat 1 /vip\n",
       .alice = {"chat Heraldix: " + Rich("1, 0, 0, 1", Refusal)}},
      {.name = "defaults for null and an array",
       .config = R"({"NoPermission": null, "Heraldix": {"ClientChatSenderName": ["x"]}, )" + vip,
       .lines = "join 1 Alice\nchat 1 /vip\n",
       .alice = {"chat Heraldix: " + Rich("1, 0, 0, 1", Refusal)}},
  };
  for (const Story& story : stories) Tell(story);
}

// --- Replies and follow-up lines --------------------------------------------------------------------

TEST(Chat, RepliesGoToTheAskerAloneAsConfigured) {
  const Story stories[] = {
      {.name = "chat and client replies carry sender and colour",
       .config = R"({"CustomCommands": {
          "/c": {"Message": "from chat", "Sender": "Sch\u00f6n", "MessageColor": [0, 255, 0]},
          "/k": {"Message": "from client", "Type": "Client", "MessageColor": [0, 255, 0]}}})",
       .lines = "join 1 Alice\njoin 2 Bob\nchat 1 /c\nchat 1 /k\n",
       .alice = {"chat Schön: " + Rich("0, 1, 0, 1", "from chat"), "chat : " + Rich("0, 1, 0, 1", "from client")},
       .bob = Strings{}},
      {.name = "notifications load their icon every time",
       .config = R"({"CustomCommands": {
          "/n": {"Message": "look", "Type": "Notification", "MessageColor": [255, 0, 0], "DisplayTime": 5,
                 "DisplayScale": 1.5, "Icon_BP": "/Game/Icons/Star"},
          "/e": {"Message": "plain", "Type": "Notification"}}})",
       .lines = "texture /Game/Icons/Star\njoin 1 Alice\nchat 1 /n\nchat 1 /n\nchat 1 /e\n",
       .alice = {"notification [1 0 0 1] scale 1.5 time 5 icon /Game/Icons/Star look",
                 "notification [1 0 0 1] scale 1.5 time 5 icon /Game/Icons/Star look",
                 "notification [0 0 0 1] scale 0 time 0 plain"},
       .loads = Strings{"/Game/Icons/Star", "/Game/Icons/Star", ""}},
      {.name = "colours are cut to bytes and missing channels are zero",
       .config = R"({"CustomCommands": {
          "/cut": {"Message": "cut", "Type": "Server", "MessageColor": [255.9, 256, -1]},
          "/short": {"Message": "short", "Type": "Server", "MessageColor": [255]},
          "/none": {"Message": "none", "Type": "Server"}}})",
       .lines = "join 1 Alice\nchat 1 /cut\nchat 1 /short\nchat 1 /none\n",
       .alice = {"server [1 0 1 1] cut", "server [1 0 0 1] short", "server [0 0 0 1] none"}},
      {.name = "braces go through the formatter once; a reply that fails still sends the follow-up",
       .config = R"({"CustomCommands": {"/ok": {"Message": "{{ok}} 100%", "Type": "Server"},
          "/bad": {"Message": "{name}", "Type": "Server", "Command_To_Execute": "/after"}}})",
       .lines = "join 1 Alice\nchat 1 /ok\nchat 1 /bad\n",
       .alice = {"server [0 0 0 1] {ok} 100%", "chat Alice: /after"},
       .said = Strings{"/after"}},
      {.name = "the follow-up comes after the reply as the player's own chat, for everyone",
       .config =
           R"({"CustomCommands": {"/go": {"Message": "going", "Type": "Server", "Command_To_Execute": "/other arg"}}})",
       .lines = "join 1 Alice\njoin 2 Bob\nchat 1 /go\n",
       .alice = {"server [0 0 0 1] going", "chat Alice: /other arg"},
       .said = Strings{"/other arg"},
       .bob = Strings{"chat Alice: /other arg"}},
      {.name = "a kind that matches nothing sends no reply but still the follow-up",
       .config = R"({"CustomCommands": {"/lower": {"Message": "x", "Type": "chat", "Command_To_Execute": "hello"}}})",
       .lines = "join 1 Alice\nchat 1 /lower\n",
       .alice = {"chat Alice: hello"},
       .said = Strings{"hello"}},
      {.name = "a chain of commands is followed through",
       .config = R"({"CustomCommands": {"/a": {"Message": "first", "Type": "Server", "Command_To_Execute": "/b"},
                                        "/b": {"Message": "second", "Type": "Server"}}})",
       .lines = "join 1 Alice\nchat 1 /a\n",
       .alice = {"server [0 0 0 1] first", "server [0 0 0 1] second"},
       .said = Strings{"/b"}},
      // Each typed line: the reply, then four nested follow-ups each answered; the fifth reply sends no line.
      {.name = "a command leading back to itself nests four deep and ends",
       .config =
           R"({"CustomCommands": {"/loop": {"Message": "again", "Type": "Server", "Command_To_Execute": "/LOOP"}}})",
       .lines = "join 1 Alice\nchat 1 /loop\nchat 1 /loop\n",
       .alice = Strings(10, "server [0 0 0 1] again"),
       .said = Strings(8, "/LOOP")},
  };
  for (const Story& story : stories) Tell(story);
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
    EXPECT_EQ(game.Of("server").size(), 1U);
    EXPECT_EQ(game.Of("say").size(), 1U);
  }
  InstallCustomCommands({});  // the held table gives its strings back while the game still runs
  EXPECT_TRUE(CustomCommandTable().empty());
  ExpectNoFaults(game);
}

TEST(Chat, AFailedBuildLeavesTheHeldTableAsItWas) {
  heraldix::test::LiveGame game;
  InstallCustomCommands(BuildCustomCommandTable(json::parse(R"({"CustomCommands": {"/keep": {"Message": "k"}}})")));
  EXPECT_THROW(InstallCustomCommands(BuildCustomCommandTable(json::parse(R"({"CustomCommands": {"/new": 1}})"))),
               json::exception);
  EXPECT_THROW(BuildCustomCommandTable(json::parse("[]")), json::exception);
  ASSERT_EQ(CustomCommandTable().size(), 1U);
  EXPECT_EQ(CustomCommandTable().begin()->first.View(), u"/keep");
  InstallCustomCommands({});
  ExpectNoFaults(game);
}
