// Custom chat commands through the real plug-in library on the simulated server.
#include <string>
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

// A server with this config.json, where Alice (1) and maybe Bob (2) type these lines, and what the run showed.
struct Story {
  const char* name;
  std::string config;
  std::string lines;
  std::string seen;
};

void Tell(const Story& story) {
  SCOPED_TRACE(story.name);
  const ServerDir dir(story.config);
  const auto run = RunScenario(story.lines, dir);
  ExpectNoFaults(run);
  EXPECT_EQ(heraldix::test::Seen(run, true), story.seen);
}

const std::string Refusal = "You don't have permission to perform this command";

}  // namespace

// --- Registration ---------------------------------------------------------------------------------

TEST(Chat, TheTableRegistersEveryCommandWithAMessage) {
  const Story stories[] = {
      {"in table order",
       R"({"CustomCommands": {"/zeta": {"Message": "z"}, "/Alpha": {"Message": "a"}, "/beta": {"Message": "b"},
                              "/Zed": {"Message": "Z"}}})",
       "", "+/Alpha | +/beta | +/Zed | +/zeta"},
      {"members without a message are skipped, follow-up and all",
       R"({"CustomCommands": {"/empty": {"Message": "", "Command_To_Execute": "/x"},
                     "/none": {"Command_To_Execute": "/x", "Type": "Server"}, "/real": {"Message": "here"}}})",
       "join 1 Alice\nchat 1 /empty\nchat 1 /none\n", "+/real | 1: chat Alice: /empty | 1: chat Alice: /none"},
      {"case twins keep the first name and the last record",
       R"({"CustomCommands": {"/Rules": {"Message": "upper", "Type": "Server"},
                              "/rules": {"Message": "lower", "Type": "Server"}}})",
       "join 1 Alice\nchat 1 /RULES\n", "+/Rules | 1: server [0 0 0 1] lower"},
      {"names outside ASCII get one mark per byte", R"({"CustomCommands": {"/h\u00e9": {"Message": "x"}}})", "",
       "+/h??"},
      {"a name holding a space is registered but never found",
       R"({"CustomCommands": {"/server info": {"Message": "info", "Type": "Server"}}})",
       "join 1 Alice\nchat 1 /server info\n", "+/server info | 1: chat Alice: /server info"},
  };
  for (const Story& story : stories) Tell(story);
}

TEST(Chat, AnEmptyOrBrokenSectionRegistersNoChatCommandButTheRestOfLoadStands) {
  const std::string timed =
      R"("TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}})";
  const std::pair<const char*, bool> rows[] = {
      {"{", false},
      {R"({"CustomCommands": {}, )", false},
      {R"({"CustomCommands": [], )", false},
      {R"({"CustomCommands": null, )", false},
      {R"({"CustomCommands": [1], )", true},
      {R"({"CustomCommands": {"/a": "text"}, )", true},
      {R"({"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "DisplayTime": "10"}}, )", true},
      {R"({"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "MessageColor": "red"}}, )", true},
      {R"({"CustomCommands": {"/a": {"Message": "ok", "MessageColor": [0, 0, 0, "x"]}}, )", true},
      {R"({"CustomCommands": {"/a": {"Message": 3}}, )", true},
  };
  for (const auto& [commands, broken] : rows) {
    SCOPED_TRACE(commands);
    const ServerDir dir(commands + timed);
    const auto run = RunScenario("join 1 Alice\nchat 1 /a\nrcon hx.sendserver 1 \"admin\" 0 255 0\nwait 1\n", dir);
    ExpectNoFaults(run);
    EXPECT_EQ(run.Of("log").empty(), !broken) << "a broken section is logged, an empty one is not";
    // The line reached no command, so it is plain chat; the admin command and the timed message work.
    EXPECT_EQ(Feed(run, "1"), (Strings{"chat Alice: /a", "server [0 1 0 1] admin", "server [0 0 0 1] tm"}));
  }
}

// --- Lookup and permissions -----------------------------------------------------------------------

TEST(Chat, OnlyMembersOfARequiredGroupRunACommandAndOthersGetTheRedRefusalAlone) {
  const std::string vip =
      R"("CustomCommands": {"/vip": {"Message": "s", "Command_To_Execute": "/after", "RequiredPermissionGroups": ["VIP"]}}})";
  const std::string refusal = "1: chat Heraldix: " + Rich("1, 0, 0, 1", Refusal);
  const Story stories[] = {
      {"groups asked in list order until one says yes; default lets everyone in; the refusal has its defaults",
       R"({"CustomCommands": {"/all": {"Message": "open", "Type": "Server", "RequiredPermissionGroups": ["Admins", "dEfAuLt"]},
          "/vip": {"Message": "hi", "Type": "Server", "Command_To_Execute": "/after",
                   "RequiredPermissionGroups": ["VIP", "Admins", "Mods"]}}})",
       "join 7 Alice Admins\njoin 1 Bob\nchat 7 /vip\nchat 1 /all\nchat 1 /vip\n",
       "+/all | +/vip | 7: server [0 0 0 1] hi | say from 7 mode 0: /after | 7: chat Alice: /after | 1: chat Alice: "
       "/after | 1: server [0 0 0 1] open | " +
           refusal},
      {"from the configured sender",
       R"({"NoPermission": "Not for you, Zo\u00eb", "Heraldix": {"ClientChatSenderName": "Gate"}, )" + vip,
       "join 1 Alice\njoin 2 Bob\nchat 1 /vip\n", "+/vip | 1: chat Gate: " + Rich("1, 0, 0, 1", "Not for you, Zoë")},
      {"defaults for values of the wrong type", R"({"NoPermission": 5, "Heraldix": 7, )" + vip,
       "join 1 Alice\nchat 1 /vip\n", "+/vip | " + refusal},
  };
  for (const Story& story : stories) Tell(story);
  const ServerDir dir(stories[0].config);
  EXPECT_EQ(Texts(RunScenario(stories[0].lines, dir).Traces("IsPlayerInGroup"), "args"),
            (Strings{R"(["7","VIP"])", R"(["7","Admins"])", R"(["1","VIP"])", R"(["1","Admins"])", R"(["1","Mods"])"}));
}

// --- Replies and follow-up lines --------------------------------------------------------------------

TEST(Chat, RepliesGoToTheAskerAloneAsConfigured) {
  std::string loop = "+/loop";
  for (int reply = 1; reply <= 10; ++reply)
    loop += " | 1: server [0 0 0 1] again" + std::string(reply % 5 == 0 ? "" : " | say from 1 mode 0: /LOOP");
  const Story stories[] = {
      {"chat and client replies carry sender and colour",
       R"({"CustomCommands": {"/c": {"Message": "from chat", "Sender": "Sch\u00f6n", "MessageColor": [0, 255, 0]},
                              "/k": {"Message": "from client", "Type": "Client", "MessageColor": [0, 255, 0]}}})",
       "join 1 Alice\njoin 2 Bob\nchat 1 /c\nchat 1 /k\n",
       "+/c | +/k | 1: chat Schön: " + Rich("0, 1, 0, 1", "from chat") +
           " | 1: chat : " + Rich("0, 1, 0, 1", "from client")},
      {"notifications load their icon every time",
       R"({"CustomCommands": {
          "/n": {"Message": "look", "Type": "Notification", "MessageColor": [255, 0, 0], "DisplayTime": 5,
                 "DisplayScale": 1.5, "Icon_BP": "/Game/Icons/Star"},
          "/e": {"Message": "plain", "Type": "Notification"}}})",
       "texture /Game/Icons/Star\njoin 1 Alice\nchat 1 /n\nchat 1 /n\nchat 1 /e\n",
       "+/e | +/n | load /Game/Icons/Star | 1: notification [1 0 0 1] scale 1.5 time 5 icon /Game/Icons/Star look | "
       "load /Game/Icons/Star | 1: notification [1 0 0 1] scale 1.5 time 5 icon /Game/Icons/Star look | "
       "load  | 1: notification [0 0 0 1] scale 0 time 0 plain"},
      {"braces go through the formatter once; a reply that fails still sends the follow-up",
       R"({"CustomCommands": {"/ok": {"Message": "{{ok}} 100%", "Type": "Server"},
          "/bad": {"Message": "{name}", "Type": "Server", "Command_To_Execute": "/after"}}})",
       "join 1 Alice\nchat 1 /ok\nchat 1 /bad\n",
       "+/bad | +/ok | 1: server [0 0 0 1] {ok} 100% | say from 1 mode 0: /after | 1: chat Alice: /after"},
      {"the first word selects the command, ignoring case",
       R"({"CustomCommands": {"/help": {"Message": "Hi", "Type": "Server", "MessageColor": [0, 255, 0]}}})",
       "join 1 Alice\nchat 1 /help\nchat 1 /HELP me please\nchat 1    /Help\nchat 1 /helpme\n",
       "+/help | 1: server [0 1 0 1] Hi | 1: server [0 1 0 1] Hi | 1: server [0 1 0 1] Hi | 1: chat Alice: /helpme"},
      {"a kind that matches nothing sends no reply but still the follow-up",
       R"({"CustomCommands": {"/lower": {"Message": "x", "Type": "chat", "Command_To_Execute": "hello"}}})",
       "join 1 Alice\nchat 1 /lower\n", "+/lower | say from 1 mode 0: hello | 1: chat Alice: hello"},
      // Each typed line: the reply, then four nested follow-ups each answered; the fifth reply sends no line.
      {"a command leading back to itself nests four deep and ends",
       R"({"CustomCommands": {"/loop": {"Message": "again", "Type": "Server", "Command_To_Execute": "/LOOP"}}})",
       "join 1 Alice\nchat 1 /loop\nchat 1 /loop\n", loop},
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
  ExpectNoFaults(game);
}
