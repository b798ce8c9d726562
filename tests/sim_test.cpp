// The simulated server: host registries, the game's checks, the allocator, scenario lines, and plug-in
// loading with a misbehaving plug-in.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/ICommands.h"
#include "host/Permissions.h"
#include "host/Tools.h"
#include "sim/host/Utf.h"
#include "sim/runner/EventWriter.h"
#include "sim/runner/Scenario.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

using heraldix::test::LiveGame;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Texts;
using nlohmann::json;

namespace {

const std::string RoguePlugin = HERALDIX_ROGUE_PLUGIN;

std::vector<std::string> seen;  // what the test's own callbacks saw, in order

void RecordConsole(APlayerController*, FString* line, bool) {
  seen.push_back("console:" + sim::EncodeUtf8(line->View()));
}

// The faults' texts, for a failure message.
std::string FaultTexts(const std::vector<json>& faults) { return testing::PrintToString(Texts(faults)); }

}  // namespace

// --- Host registries --------------------------------------------------------------------------------

TEST(Sim, ConsoleLineGoesToTheCommandNamedByItsFirstWordIgnoringAsciiCase) {
  LiveGame game;
  seen.clear();
  auto& commands = TarrowApi::GetCommands();
  commands.RegisterConsoleCommand(FString(u"hx.Test"), &RecordConsole);
  game.Line("console none HX.TEST one two");
  game.Line("console none hx.testing nothing");
  game.Line("console none    hx.test  spaced");
  EXPECT_EQ(seen, (std::vector<std::string>{"console:HX.TEST one two", "console:   hx.test  spaced"}));
  EXPECT_TRUE(commands.UnregisterConsoleCommand(FString(u"HX.test")));
  game.Line("console none hx.test gone");
  EXPECT_EQ(seen.size(), 2U);
  // Unregistering what is not registered is harmless.
  EXPECT_FALSE(commands.UnregisterConsoleCommand(FString(u"hx.test")));
  EXPECT_TRUE(game.Of("fault").empty());
}

// --- The game ---------------------------------------------------------------------------------------

TEST(Sim, PermissionGroupsMatchExactlyAndTheGroupsLineReplacesThem) {
  LiveGame game;
  game.Line("join 5 Alice Admins VIP");
  EXPECT_TRUE(Permissions::IsPlayerInGroup(5, FString(u"VIP")));
  EXPECT_FALSE(Permissions::IsPlayerInGroup(5, FString(u"vip")));
  game.Line("groups 5 Admins");
  EXPECT_FALSE(Permissions::IsPlayerInGroup(5, FString(u"VIP")));
  EXPECT_TRUE(Permissions::IsPlayerInGroup(5, FString(u"Admins")));
}

TEST(Sim, Utf8DecodeReplacesIllFormedSequences) {
  LiveGame game;
  using TarrowApi::Tools::Utf8Decode;
  EXPECT_EQ(Utf8Decode("\xE2\x82"), u"\uFFFD");                  // truncated: one maximal subpart
  EXPECT_EQ(Utf8Decode("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(Utf8Decode("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a surrogate
  EXPECT_EQ(Utf8Decode(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

// --- Scenario lines ---------------------------------------------------------------------------------

TEST(Sim, ScenarioLinesKeepTheirRestsVerbatimAndRefuseWhatCannotRun) {
  EXPECT_FALSE(sim::ParseScenarioLine(""));
  auto chat = sim::ParseScenarioLine("chat 1   /help \"quoted\"  ");
  ASSERT_TRUE(chat);
  EXPECT_EQ(chat->args, std::vector<std::string>{"1"});
  EXPECT_EQ(chat->rest, "  /help \"quoted\"  ");
  auto rcon = sim::ParseScenarioLine("rcon hx.sendserver 0 \"hi\" 255 0 0\r");
  ASSERT_TRUE(rcon);
  EXPECT_EQ(rcon->rest, "hx.sendserver 0 \"hi\" 255 0 0");
  EXPECT_THROW(sim::ParseScenarioLine("join 1"), sim::ScenarioError);
  EXPECT_THROW(sim::ParseScenarioLine("leave 1 2"), sim::ScenarioError);
  EXPECT_THROW(sim::ParseScenarioLine("join 1 \"open"), sim::ScenarioError);
  EXPECT_THROW(sim::ParseScenarioLine("die Alice"), sim::ScenarioError);
  EXPECT_THROW(sim::ParseScenarioLine("wait -5"), sim::ScenarioError);
  EXPECT_THROW(sim::ParseScenarioLine("wait 1.5"), sim::ScenarioError);
  EXPECT_TRUE(sim::ParseScenarioLine("wait 604800"));  // a week at most, refused before anything runs
  EXPECT_THROW(sim::ParseScenarioLine("wait 604801"), sim::ScenarioError);
  EXPECT_THROW(sim::ParseScenarioLine("console nobody hx.reload"), sim::ScenarioError);
  EXPECT_THROW(sim::ParsePlayerId("-1"), sim::ScenarioError);
  EXPECT_THROW(sim::ParsePlayerId("18446744073709551616"), sim::ScenarioError);
  EXPECT_EQ(sim::ParsePlayerId("18446744073709551615"), 18446744073709551615ULL);
}

TEST(Sim, EventsAreWrittenAsReadableTextWithTheMarkupsEscapesAsCharacters) {
  const json event = {
      {"event", "chat"}, {"t", 4}, {"to", "1"}, {"sender", "A"}, {"text", "<RichColor Color=\"1, 0, 0, 1\">&lt;3</>"}};
  // The chat shows the markup's escapes as the characters they stand for.
  EXPECT_EQ(sim::ReadableLine(event, false), "[4s] chat → 1: A: <3");
  EXPECT_EQ(sim::RenderRichColor("<RichColor Color=\"255, 0, 0, 255\">x</>y", true), "\x1b[38;2;255;0;0mx\x1b[0my");
}

// --- A misbehaving plug-in --------------------------------------------------------------------------

TEST(Sim, WhatARealGamePunishesIsOneFaultAndExitsOne) {
  struct Row {
    const char* name;
    const char* config;
    const char* scenario;
    const char* fault;  // part of the one fault's text
  };
  const Row rows[] = {
      {"a bad free in a command", "{}", "console none rogue.badfree\n", "bad free"},
      {"game memory left at unload", R"({"Rogue": {"LeakAtLoad": true}})", "", "1 block(s), 24 bytes"},
      {"an unknown key", "{}", "console none rogue.unknownkey\n", "unknown game function key: Rogue.NoSuchFunction"},
      {"an exception escaping a console command", "{}",
       "console none rogue.throw\nconsole none ROGUE.tell still here\n", "rogue console command"},
      // Registrations left at unload never run again.
      {"a console command left registered", R"({"Rogue": {"KeepRegistered": true}})",
       "unload\nconsole none rogue.tell nobody\ntick\n", "console command rogue.tell"},
      {"a hook left installed", R"({"Rogue": {"KeepRegistered": true}})",
       "unload\nconsole none rogue.tell nobody\ntick\n", "hook AGameState.DefaultTimer"},
      {"a block freed twice", "{}", "console none rogue.doublefree\n", "bad free"},
      {"growing what the allocator never gave", "{}", "console none rogue.badrealloc\n", "bad realloc"},
      {"freeing the world's list", "{}", "join 1 Alice\nconsole none rogue.freelist\n", "the game still owns"},
      {"an unknown field key", "{}", "console none rogue.unknownfield\n", "unknown game field key: Rogue.NoSuchField"},
      {"a player's field of the world", "{}", "console none rogue.wrongfield\n", "LastChatMessageTime"},
      {"a message to a destroyed player", "{}", "join 1 Alice\nconsole 1 rogue.tellsoon\nstale 1\nwait 1\n",
       "destroyed"},
      {"a message to what is no player", "{}", "console none rogue.tellbogus\n", "not an object of the game"},
      {"a message to nobody", "{}", "console none rogue.tell x\n", "is null"},
      {"a chat record stamped with a time", "{}", "join 1 A\nconsole 1 rogue.chatstamped\n",
       "ClientChatMessage: the record's ReceivedTime"},
      {"a texture loaded with flags", "{}", "console none rogue.loadflags\n", "load flags 1 given"},
      {"an exception escaping a delayed call", "{}", "console none rogue.throwlater\nwait 1\n", "rogue delayed call"},
      {"delayed calls without end", "{}", "console none rogue.busy\nwait 1\n", "keep scheduling more at no delay"},
      {"a chat line that says itself again", "{}", "join 1 Alice\nchat 1 /again\n", "more than 64 chat lines"},
      // Hook bodies must call on to the game's own function once, the timer first and the logout last.
      {"a timer hook that skips the game's timer", R"({"Rogue": {"Hooks": "skip"}})", "tick\n",
       "AGameState.DefaultTimer: the hook did not call on"},
      {"a timer hook that runs the game's timer twice", R"({"Rogue": {"Hooks": "twice"}})", "tick\n",
       "AGameState.DefaultTimer: the game's own function ran 2 times"},
      {"a timer hook that asks the game first", R"({"Rogue": {"Hooks": "late"}})", "tick\n",
       "AGameState.DefaultTimer: the hook reached the game or the host before"},
      {"a logout hook that skips the game's logout", R"({"Rogue": {"Hooks": "skip"}})", "join 1 A\nleave 1\n",
       "AShooterGameMode.Logout: the hook did not call on"},
      {"a logout hook that asks the game after it", R"({"Rogue": {"Hooks": "late"}})", "join 1 A\nleave 1\n",
       "AShooterGameMode.Logout: the hook reached the game or the host after"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ServerDir dir(row.config);
    const auto run = RunScenario(row.scenario, dir, RoguePlugin);
    EXPECT_EQ(run.exitStatus, 1);
    ASSERT_EQ(run.Of("fault").size(), 1U) << FaultTexts(run.Of("fault"));
    EXPECT_NE(FaultTexts(run.Of("fault")).find(row.fault), std::string::npos) << FaultTexts(run.Of("fault"));
    EXPECT_TRUE(run.Of("server").empty()) << "nothing reaches a player through a punished call";
  }
  // At the nesting limit, the 64th line said from inside the others is the last.
  ServerDir dir("{}");
  EXPECT_EQ(RunScenario("join 1 Alice\nchat 1 /again\n", dir, RoguePlugin).Of("say").size(), 64U);
}
