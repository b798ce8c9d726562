// The welcome message and the timed messages through the real plug-in library on the simulated server.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/Config.h"
#include "events/TimedMessages.h"
#include "events/Welcome.h"
#include "host/GameFunctions.h"
#include "host/IHooks.h"
#include "sim/host/Clock.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Texts;
using nlohmann::json;

void ExpectClean(const heraldix::test::Run& run) { heraldix::test::ExpectNoFaults(run); }

std::vector<double> Times(const std::vector<json>& events) {
  std::vector<double> times;
  for (const json& event : events) times.push_back(event.at("t").get<double>());
  return times;
}

std::vector<std::string> Recipients(const std::vector<json>& events) { return Texts(events, "to"); }

std::string Markup(std::string_view colour, std::string_view text) { return heraldix::test::Rich(colour, text); }

// A configuration with greetings on and the given members added to "WelcomeMessage".
std::string Welcome(std::string_view members, std::string_view more = "") {
  std::string config = R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true)";
  if (!members.empty()) config += ", " + std::string(members);
  config += "}}";
  if (!more.empty()) config += ", " + std::string(more);
  return config + "}";
}

// A configuration with timed messages on, the given interval and messages.
std::string Timed(std::string_view interval, std::string_view messages, std::string_view more = "") {
  std::string config = R"({"TimedMessages": {"Enabled": true, "Interval": )" + std::string(interval) +
                       R"(, "Messages": )" + std::string(messages) + "}";
  if (!more.empty()) config += ", " + std::string(more);
  return config + "}";
}

// --- Welcome --------------------------------------------------------------------------------------

TEST(Events, AJoiningPlayerIsGreetedOnTheFirstTimerCallFiveSecondsLater) {
  ServerDir dir(Welcome(""));
  auto run = RunScenario("join 1 Alice\nwait 4\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Of("chat").empty());
  const auto delays = run.Traces("DelayExecute");
  ASSERT_EQ(delays.size(), 1u);
  EXPECT_EQ(delays[0].at("args"), json::parse("[5]"));

  run = RunScenario("join 1 Alice\nwait 10\n", dir);
  ExpectClean(run);
  const auto greeting = run.To("1", "chat");
  ASSERT_EQ(greeting.size(), 1u);
  EXPECT_EQ(greeting[0].at("t"), 5);
  EXPECT_EQ(greeting[0].at("sender"), "Heraldix");
  // Black is all channels at most one, so the bytes are printed as they are.
  EXPECT_EQ(greeting[0].at("text"), Markup("0, 0, 0, 255", "Welcome to the server Alice"));
}

TEST(Events, GreetingsOffSchedulesNothing) {
  for (const char* config : {R"({})", R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": false}}})"}) {
    ServerDir dir(config);
    auto run = RunScenario("join 1 Alice\nwait 10\n", dir);
    ExpectClean(run);
    EXPECT_TRUE(run.Traces("DelayExecute").empty()) << config;
    EXPECT_TRUE(run.Of("chat").empty()) << config;
  }
}

TEST(Events, OneGreetingPerVisit) {
  ServerDir dir(Welcome(R"("Message": "Hi {0}")"));
  auto run = RunScenario("join 1 Alice\nwait 10\ndie 1\nrespawn 1\nwait 10\nleave 1\njoin 1 Alice\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{5, 25}));
  EXPECT_EQ(run.Traces("DelayExecute").size(), 2u);
}

TEST(Events, ADeadCharacterBringsNoGreetingUntilALivingOneIsPossessed) {
  // Alice is already playing when greetings are switched on, so her next possession decides.
  ServerDir dir("{}");
  auto run = RunScenario(
      "join 1 Alice\nconfig-text " + Welcome("") + "\nconsole none hx.reload\npossess-dead 1\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Traces("DelayExecute").empty());
  EXPECT_TRUE(run.Of("chat").empty());

  dir.WriteConfig("{}");  // the reload above left greetings on in the file
  run = RunScenario("join 1 Alice\nconfig-text " + Welcome("") +
                        "\nconsole none hx.reload\npossess-dead 1\nwait 10\nrespawn 1\nwait 10\n",
                    dir);
  ExpectClean(run);
  EXPECT_EQ(run.Traces("DelayExecute").size(), 1u);
  EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{15}));
}

TEST(Events, TwoPossessionsWithinTheDelay) {
  ServerDir dir(Welcome(""));
  // Both delays run out before the same timer call: one greeting.
  auto run = RunScenario("join 1 Alice\nrespawn 1\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{5}));
  // Two seconds apart: each delay is followed by its own timer call, so two greetings.
  run = RunScenario("join 1 Alice\nwait 2\nrespawn 1\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{5, 7}));
}

TEST(Events, APlayerWhoLeavesDuringTheDelayIsGreetedOnTheNextVisit) {
  ServerDir dir(Welcome(""));
  auto run = RunScenario("join 1 Alice\nwait 2\nleave 1\nwait 10\njoin 1 Alice\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{17}));
}

TEST(Events, PlayersDueTogetherAreEachGreetedOnceInQueueOrder) {
  ServerDir dir(Welcome(R"("Message": "Hi {0}")"));
  auto run = RunScenario("join 3 Carol\njoin 1 Alice\njoin 2 Bob\nwait 20\n", dir);
  ExpectClean(run);
  const auto greetings = run.Of("chat");
  ASSERT_EQ(greetings.size(), 3u);
  EXPECT_EQ(Recipients(greetings), (std::vector<std::string>{"3", "1", "2"}));
  EXPECT_EQ(Times(greetings), (std::vector<double>{5, 5, 5}));
}

TEST(Events, EachKindOfGreeting) {
  {
    ServerDir dir(Welcome(R"("WelcomeMessageType": "Server", "WelcomeMessageColour": {"R": 255, "G": 0, "B": 300})"));
    auto run = RunScenario("join 1 Alice\nwait 5\n", dir);
    ExpectClean(run);
    const auto shown = run.To("1", "server");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].at("text"), "Welcome to the server Alice");
    EXPECT_EQ(shown[0].at("color").at(0), 1.0);
    EXPECT_EQ(shown[0].at("color").at(1), 0.0);
    EXPECT_GT(shown[0].at("color").at(2).get<double>(), 0.0);  // 300 cut to 44
    EXPECT_LT(shown[0].at("color").at(2).get<double>(), 0.1);
  }
  {
    ServerDir dir(Welcome(R"("WelcomeMessageType": "Notification", "NotificationDisplayScale": 2,
                              "NotificationDisplayTime": 4, "Icon_BP": "/Game/Hello")"));
    auto run = RunScenario("texture /Game/Hello\njoin 1 Alice\nwait 5\n", dir);
    ExpectClean(run);
    const auto shown = run.To("1", "notification");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FLOAT_EQ(shown[0].at("scale").get<float>(), 2.0F);
    EXPECT_FLOAT_EQ(shown[0].at("time").get<float>(), 4.0F);
    EXPECT_EQ(shown[0].at("icon"), "/Game/Hello");
  }
  {
    ServerDir dir(Welcome(R"("WelcomeMessageType": "Notification")"));
    auto run = RunScenario("join 1 Alice\nwait 5\n", dir);
    ExpectClean(run);
    const auto shown = run.To("1", "notification");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FLOAT_EQ(shown[0].at("scale").get<float>(), 1.0F);
    EXPECT_FLOAT_EQ(shown[0].at("time").get<float>(), 10.0F);
    EXPECT_TRUE(shown[0].at("icon").is_null());
    EXPECT_EQ(run.Traces("StaticLoadObject").size(), 1u);
  }
  for (const char* type : {"chat", "Client", "whatever"}) {
    ServerDir dir(Welcome(std::string(R"("WelcomeMessageType": ")") + type + "\""));
    auto run = RunScenario("join 1 Alice\nwait 5\n", dir);
    ExpectClean(run);
    EXPECT_EQ(run.To("1", "chat").size(), 1u) << type;
  }
}

TEST(Events, NamesAndSendersOutsideAscii) {
  ServerDir dir(R"({"Heraldix": {"ClientChatSenderName": "H\u00e9rault",
    "WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Gr\u00fc\u00df dich, {0}!"}}})");
  auto run = RunScenario("join 1 Zo\u00eb\u65e5\nwait 5\n", dir);
  ExpectClean(run);
  const auto greeting = run.To("1", "chat");
  ASSERT_EQ(greeting.size(), 1u);
  EXPECT_EQ(greeting[0].at("sender"), "H??rault");
  EXPECT_EQ(greeting[0].at("text"), Markup("0, 0, 0, 255", "Gr\u00fc\u00df dich, Zo\u00eb\u65e5!"));
}

TEST(Events, BracesInTemplateAndName) {
  ServerDir dir(Welcome(R"("WelcomeMessageType": "Server", "Message": "{{{{{0}}}}} and {{x}}")"));
  auto run = RunScenario("join 1 Alice\nwait 5\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Of("server").empty());  // "{x}" survives the first pass and the delivery rejects it

  dir.WriteConfig(Welcome(R"("WelcomeMessageType": "Server", "Message": "{{{{{0}}}}}")"));
  run = RunScenario("join 1 Alice\nwait 5\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"{Alice}"}));

  // A brace in one name costs only that player the greeting; the queue empties all the same.
  dir.WriteConfig(Welcome(R"("WelcomeMessageType": "Server")"));
  run = RunScenario("join 1 Al{ice\njoin 2 Bob\nwait 5\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.To("1", "server").empty());
  EXPECT_EQ(Texts(run.To("2", "server")), (std::vector<std::string>{"Welcome to the server Bob"}));
}

TEST(Events, AGreetingThatCannotBeMadeIsDroppedAndTheOthersStillGo) {
  const char* broken[] = {
      R"("Message": "{1}")",
      R"("Message": "{0")",
      R"("Message": 5)",
      R"("WelcomeMessageType": 5)",
      R"("WelcomeMessageColour": "red")",
      R"("WelcomeMessageType": "Notification", "NotificationDisplayTime": "10")",
  };
  for (const char* members : broken) {
    ServerDir dir(Welcome(members));
    auto run = RunScenario(
        "join 1 Alice\njoin 2 Bob\nwait 5\n"
        "config-text {\"Heraldix\": {\"WelcomeMessage\": {\"EnableWelcomeMessage\": true}}}\n"
        "console none hx.reload\nwait 10\n",
        dir);
    ExpectClean(run);
    // Both ids left the queue at the failed step: the repaired configuration greets nobody afterwards.
    EXPECT_TRUE(run.Of("chat").empty()) << members;
    EXPECT_TRUE(run.Of("server").empty()) << members;
    EXPECT_TRUE(run.Of("notification").empty()) << members;
  }
}

TEST(Events, ABrokenSectionAtPossessionSchedulesNothingAndTheGameGoesOn) {
  for (const char* config : {R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": 1}}})",
                             R"({"Heraldix": {"WelcomeMessage": []}})", R"({"Heraldix": "x"})"}) {
    ServerDir dir(config);
    auto run = RunScenario("join 1 Alice\nwait 10\nleave 1\n", dir);
    ExpectClean(run);
    EXPECT_TRUE(run.Traces("DelayExecute").empty()) << config;
  }
}

TEST(Events, UnloadingWithAWelcomePendingRunsNoPluginCode) {
  ServerDir dir(Welcome(""));
  auto run = RunScenario("join 1 Alice\nwait 2\nunload\nwait 10\nload\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Of("chat").empty());
  // After the reload the player is greeted at their next possession, the lists having started afresh.
  run = RunScenario("join 1 Alice\nwait 10\nunload\nload\nrespawn 1\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{5, 15}));
}

// The simulated host drops a plug-in's pending calls when it unloads the library, but a host that runs
// one late must find it harmless: a delayed welcome from before the lists were forgotten marks nobody.
TEST(Events, ADelayedWelcomeFromBeforeTheListsWereForgottenMarksNobody) {
  heraldix::test::LiveGame game;
  ReplaceConfig(json::parse(Welcome("")));
  const std::string possession(Game::AShooterCharacter_PossessedBy::Key());
  ASSERT_TRUE(TarrowApi::GetHooks().SetHook(possession, &Hook_AShooterCharacter_PossessedBy,
                                            &AShooterCharacter_PossessedBy_original));

  game.Line("join 1 Alice");
  ForgetWelcomes();
  game.Line("wait 10");
  EXPECT_TRUE(PendingWelcomes().empty());
  EXPECT_TRUE(WelcomedPlayers().empty());

  // A welcome scheduled after the lists were forgotten is marked as ever.
  game.Line("die 1");
  game.Line("respawn 1");
  game.Line("wait 10");
  EXPECT_EQ(PendingWelcomes(), (std::vector<std::uint64_t>{1}));

  TarrowApi::GetHooks().DisableHook(possession, &Hook_AShooterCharacter_PossessedBy);
  ForgetWelcomes();
  ReplaceConfig(json());
  EXPECT_TRUE(game.Of("fault").empty());
}

TEST(Events, TheWelcomeStepRunsWhateverTheTimedSectionHolds) {
  for (const char* timed :
       {R"("TimedMessages": 5)", R"("TimedMessages": {"Enabled": "yes"})",
        R"("TimedMessages": {"Enabled": true, "Interval": "x"})", R"("TimedMessages": {"Enabled": false})",
        R"("TimedMessages": {"Enabled": true, "Messages": null})"}) {
    ServerDir dir(Welcome("", timed));
    auto run = RunScenario("join 1 Alice\nwait 10\n", dir);
    ExpectClean(run);
    EXPECT_EQ(Times(run.To("1", "chat")), (std::vector<double>{5})) << timed;
  }
}

// --- Timed messages -------------------------------------------------------------------------------

TEST(Events, TheFirstTimedMessageGoesAtOnceThenEveryInterval) {
  ServerDir dir(Timed("60", R"([{"MessageToSend": "tick", "MessageType": "Server"}])"));
  auto run = RunScenario("join 1 Alice\nwait 130\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "server")), (std::vector<double>{1, 61, 121}));
}

TEST(Events, IntervalsOfZeroNegativeAndFractional) {
  const std::string one = R"([{"MessageToSend": "m", "MessageType": "Server"}])";
  for (const char* interval : {"0", "-5"}) {
    ServerDir dir(Timed(interval, one));
    auto run = RunScenario("join 1 Alice\nwait 4\ntick\n", dir);
    ExpectClean(run);
    EXPECT_EQ(Times(run.To("1", "server")), (std::vector<double>{1, 2, 3, 4, 4})) << interval;
  }
  ServerDir dir(Timed("2.9", one));
  auto run = RunScenario("join 1 Alice\nwait 6\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "server")), (std::vector<double>{1, 3, 5}));
}

// The clock may stand anywhere in its range: the due time stops at either end instead of wrapping round.
TEST(Events, TheDueTimeStopsAtTheEndsOfTheClocksRange) {
  heraldix::test::LiveGame game;
  const std::string timer(Game::AGameState_DefaultTimer::Key());
  ASSERT_TRUE(TarrowApi::GetHooks().SetHook(timer, &Hook_AGameState_DefaultTimer, &AGameState_DefaultTimer_original));
  constexpr std::int64_t max = INT64_MAX;
  constexpr std::int64_t min = INT64_MIN;
  constexpr std::int64_t second = 10'000'000;
  struct Row {
    std::int64_t now;
    const char* interval;
    std::int64_t due;
  };
  const Row rows[] = {
      {max - 60 * second - 1, "60", max - 1},
      {max - 60 * second, "60", max},
      {max - 60 * second + 1, "60", max},
      {max, "2147483647", max},
      {min + 5 * second + 1, "-5", min + 1},
      {min + 5 * second, "-5", min},
      {min + 5 * second - 1, "-5", min},
      {min, "-2147483648", min},
      {max, "-2147483648", max - 2147483648 * second},
      {0, "-1", -second},
  };
  for (const Row& row : rows) {
    ReplaceConfig(
        json::parse(std::string(R"({"TimedMessages": {"Enabled": true, "Interval": )") + row.interval + "}}"));
    NextTimedMessageTime() = min;
    sim::SetSystemClockSource([now = row.now] { return now; });
    game.Line("tick");
    EXPECT_EQ(NextTimedMessageTime(), row.due) << row.now << " + " << row.interval << " s";
  }
  TarrowApi::GetHooks().DisableHook(timer, &Hook_AGameState_DefaultTimer);
  NextTimedMessageTime() = 0;
  ReplaceConfig(json());
  EXPECT_TRUE(game.Of("fault").empty());
}

TEST(Events, AClockSetBackWaitsUntilItReachesTheDueTimeAgain) {
  ServerDir dir(Timed("10", R"([{"MessageToSend": "m", "MessageType": "Server"}])"));
  auto run = RunScenario("join 1 Alice\nwait 1\nclock -3600\nwait 3600\nwait 20\n", dir);
  ExpectClean(run);
  // Due at second 11 of the old clock, which the moved clock reaches at second 3611.
  EXPECT_EQ(Times(run.To("1", "server")), (std::vector<double>{1, 3611, 3621}));
}

TEST(Events, SwitchedOffMessagesSendNothingAndKeepTheirDueTime) {
  const std::string messages = R"([{"MessageToSend": "m", "MessageType": "Server"}])";
  ServerDir dir(Timed("100", messages));
  const std::string off = R"({"TimedMessages": {"Enabled": false, "Interval": 100, "Messages": )" + messages + "}}";
  auto run = RunScenario("join 1 Alice\nwait 1\nconfig-text " + off + "\nconsole none hx.reload\nwait 50\n" +
                             "config-text " + Timed("100", messages) + "\nconsole none hx.reload\nwait 60\n",
                         dir);
  ExpectClean(run);
  // Sent at once, silent while off, then due again where the first message put it.
  EXPECT_EQ(Times(run.To("1", "server")), (std::vector<double>{1, 101}));
}

TEST(Events, OneMessageRepeatsAndTwoAlternateStrictly) {
  {
    ServerDir dir(Timed("0", R"([{"MessageToSend": "only", "MessageType": "Server"}])"));
    auto run = RunScenario("join 1 Alice\nwait 20\n", dir);
    ExpectClean(run);
    EXPECT_EQ(Texts(run.To("1", "server")), std::vector<std::string>(20, "only"));
  }
  ServerDir dir(Timed("0", R"([{"MessageToSend": "A", "MessageType": "Server"},
                              {"MessageToSend": "B", "MessageType": "Server"}])"));
  auto run = RunScenario("join 1 Alice\nwait 40\n", dir);
  ExpectClean(run);
  const auto texts = Texts(run.To("1", "server"));
  ASSERT_EQ(texts.size(), 40u);
  for (std::size_t i = 1; i < texts.size(); ++i) EXPECT_NE(texts[i], texts[i - 1]) << i;
}

TEST(Events, ThreeMessagesAreDrawnEvenlyAndNeverTwiceInARow) {
  ServerDir dir(Timed("0", R"([{"MessageToSend": "A", "MessageType": "Server"},
                              {"MessageToSend": "B", "MessageType": "Server"},
                              {"MessageToSend": "C", "MessageType": "Server"}])"));
  auto run = RunScenario("join 1 Alice\nwait 600\n", dir);
  ExpectClean(run);
  const auto texts = Texts(run.To("1", "server"));
  ASSERT_EQ(texts.size(), 600u);
  std::map<std::string, int> counts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ++counts[texts[i]];
    if (i > 0) {
      EXPECT_NE(texts[i], texts[i - 1]) << i;
    }
  }
  ASSERT_EQ(counts.size(), 3u);
  // A draw stuck in the low bits of a 31-bit generator, or one never reaching the last index, shows here.
  for (const auto& [text, count] : counts) {
    EXPECT_GT(count, 150) << text;
    EXPECT_LT(count, 250) << text;
  }
}

TEST(Events, EachKindOfTimedMessage) {
  ServerDir dir(
      Timed("0", R"([{"MessageToSend": "srv", "MessageType": "Server", "MessageColour": {"R": 256, "G": -1}}])"));
  auto run = RunScenario("join 1 Alice\njoin 2 Bob\nwait 1\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Recipients(run.Of("server")), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(run.Of("server")[0].at("color"), json::parse("[0.0, 1.0, 0.0, 1.0]"));

  for (const char* type : {"Chat", "Client"}) {
    dir.WriteConfig(Timed("0", std::string(R"([{"MessageToSend": "hello", "Sender": "Cr\u00ebw", "MessageType": ")") +
                                   type + R"(", "MessageColour": {"R": 255}}])"));
    run = RunScenario("join 1 Alice\nwait 1\n", dir);
    ExpectClean(run);
    const auto chat = run.To("1", "chat");
    ASSERT_EQ(chat.size(), 1u) << type;
    EXPECT_EQ(chat[0].at("sender"), "Cr\u00ebw");
    EXPECT_EQ(chat[0].at("text"), Markup("1, 0, 0, 1", "hello"));
  }

  dir.WriteConfig(Timed("0", R"([{"MessageToSend": "hello"}])"));
  run = RunScenario("join 1 Alice\nwait 1\n", dir);
  ExpectClean(run);
  ASSERT_EQ(run.To("1", "chat").size(), 1u);
  EXPECT_EQ(run.To("1", "chat")[0].at("sender"), "Heraldix");

  dir.WriteConfig(Timed("0", R"([{"MessageToSend": "note", "MessageType": "Notification", "Icon_BP": "/Game/I"}])"));
  run = RunScenario("texture /Game/I\njoin 1 Alice\nwait 1\n", dir);
  ExpectClean(run);
  const auto shown = run.To("1", "notification");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FLOAT_EQ(shown[0].at("scale").get<float>(), 1.0F);
  EXPECT_FLOAT_EQ(shown[0].at("time").get<float>(), 10.0F);
  EXPECT_EQ(shown[0].at("icon"), "/Game/I");

  dir.WriteConfig(Timed("0", R"([{"MessageToSend": "low", "MessageType": "chat"}])"));
  run = RunScenario("join 1 Alice\nwait 3\n", dir);
  ExpectClean(run);
  EXPECT_TRUE(run.Of("chat").empty());
}

TEST(Events, OnlyGroupsReachTheirMembersAndExcludedGroupsAreLeftOut) {
  const std::string players = "join 1 Alice VIP\njoin 2 Bob\njoin 3 Carol Admins\njoin 4 Dan\nstale 4\nwait 1\n";
  {
    ServerDir dir(Timed("0", R"([{"MessageToSend": "m", "MessageType": "Server",
                                 "Only_Send_To_Permission_Groups": ["VIP", "Admins"]}])"));
    auto run = RunScenario(players, dir);
    ExpectClean(run);
    EXPECT_EQ(Recipients(run.Of("server")), (std::vector<std::string>{"1", "3"}));
    std::vector<std::string> asked;
    for (const json& trace : run.Traces("IsPlayerInGroup")) asked.push_back(trace.at("args").dump());
    EXPECT_EQ(asked, (std::vector<std::string>{R"(["1","VIP"])", R"(["2","VIP"])", R"(["2","Admins"])",
                                               R"(["3","VIP"])", R"(["3","Admins"])"}));
  }
  {
    ServerDir dir(Timed("0", R"([{"MessageToSend": "m", "MessageType": "Server",
                                 "Exclude_Permissions_Groups": ["VIP"]}])"));
    auto run = RunScenario(players, dir);
    ExpectClean(run);
    EXPECT_EQ(Recipients(run.Of("server")), (std::vector<std::string>{"2", "3"}));
  }
  {
    ServerDir dir(Timed("0", R"([{"MessageToSend": "m", "MessageType": "Server",
                                 "Only_Send_To_Permission_Groups": ["VIP"], "Exclude_Permissions_Groups": ["VIP"]}])"));
    auto run = RunScenario(players, dir);
    ExpectClean(run);
    EXPECT_EQ(Recipients(run.Of("server")), (std::vector<std::string>{"1"}));
  }
  {
    ServerDir dir(Timed("0", R"([{"MessageToSend": "m", "MessageType": "Server",
                                 "Only_Send_To_Permission_Groups": ["Gr\u00fcn"]}])"));
    auto run = RunScenario("join 1 Alice Gr??n\njoin 2 Bob\nwait 1\n", dir);
    ExpectClean(run);
    EXPECT_EQ(Recipients(run.Of("server")), (std::vector<std::string>{"1"}));
  }
}

TEST(Events, ABadMessageIsSkippedSilently) {
  const char* broken[] = {
      R"([{"MessageToSend": "m", "MessageType": "Notification", "DisplayTime": "10"}])",
      R"([{"MessageToSend": "{0}", "MessageType": "Server"}])",
      R"([{"MessageToSend": 1}])",
      R"(["just text"])",
      R"([])",
      R"(null)",
      R"({"a": {"MessageToSend": "m"}, "b": {"MessageToSend": "m"}})",
      R"([{"MessageToSend": "m", "Only_Send_To_Permission_Groups": "VIP"}])",
      R"([{"MessageToSend": "m", "MessageColour": {"R": "red"}}])",
      R"([{"MessageToSend": "m", "Sender": 3}])",
  };
  for (const char* messages : broken) {
    ServerDir dir(Timed("0", messages));
    auto run = RunScenario("join 1 Alice\nwait 3\n", dir);
    ExpectClean(run);
    EXPECT_TRUE(run.Of("server").empty()) << messages;
    EXPECT_TRUE(run.Of("chat").empty()) << messages;
    EXPECT_TRUE(run.Of("notification").empty()) << messages;
    EXPECT_TRUE(run.Of("log").empty()) << messages;
  }
}

TEST(Events, ABadMessageStillUsesItsTurn) {
  ServerDir dir(Timed("10", R"([{"MessageToSend": "{0}", "MessageType": "Server"}])"));
  const std::string fixed = Timed("10", R"([{"MessageToSend": "fixed", "MessageType": "Server"}])");
  auto run = RunScenario("join 1 Alice\nwait 3\nconfig-text " + fixed + "\nconsole none hx.reload\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Times(run.To("1", "server")), (std::vector<double>{11}));
}

// --- Scheduled messages ---------------------------------------------------------------------------

// Scheduled messages on, with these messages; the run starts on Thursday 2026-01-01 at 00:00:00 UTC.
std::string Scheduled(std::string_view messages, std::string_view more = "") {
  std::string config = R"({"ScheduledMessages": {"Enabled": true, "Messages": )" + std::string(messages) + "}";
  if (!more.empty()) config += ", " + std::string(more);
  return config + "}";
}

// "t text" for every server message to player 1.
std::vector<std::string> Timeline(const heraldix::test::Run& run) {
  std::vector<std::string> lines;
  for (const json& event : run.To("1", "server")) {
    lines.push_back(std::to_string(event.at("t").get<std::int64_t>()) + " " + event.at("text").get<std::string>());
  }
  return lines;
}

TEST(Events, ScheduledMessagesGoOutOnceAtTheirMinutesNeverAgainThatDayAndNeverLate) {
  const std::string warnings = R"([{"MessageToSend": "in 10", "MessageType": "Server", "At": ["00:01", "00:03"]},
                                   {"MessageToSend": "in 5", "MessageType": "Server", "At": ["00:02"]}])";
  struct Case {
    const char* story;
    const char* scenario;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"on the first timer call within each minute", "join 1 A\nwait 240\n", {"60 in 10", "120 in 5", "180 in 10"}},
      {"the clock moved back within the day sends nothing twice",
       "join 1 A\nwait 130\nclock -100\nwait 160\n",
       {"60 in 10", "120 in 5", "280 in 10"}},
      {"a minute jumped over is not sent late", "join 1 A\nwait 30\nclock +120\nwait 40\n", {"31 in 5", "60 in 10"}},
      {"the clock moved back to yesterday sends yesterday's",
       "join 1 A\nwait 70\nclock -86400\nwait 10\nclock -20\nwait 10\n",
       {"60 in 10", "71 in 10"}},
      {"across midnight, the next day's", "join 1 A\nwait 70\nclock +86300\nwait 100\n", {"60 in 10", "160 in 10"}},
      {"a server down over a minute sends nothing for it when it comes back",
       "join 1 A\nwait 30\nunload\nwait 100\nload\nwait 60\n",
       {"131 in 5", "180 in 10"}},
  };
  for (const Case& c : cases) {
    ServerDir dir(Scheduled(warnings));
    auto run = RunScenario(c.scenario, dir);
    ExpectClean(run);
    EXPECT_EQ(Timeline(run), c.expected) << c.story;
  }
}

TEST(Events, ScheduledMessagesKeepToTheirDaysInTheServersZone) {
  // Thursday at 00:00 UTC is Wednesday at 19:00 in New York and Thursday at 01:00 in Berlin.
  const std::string events =
      R"([{"MessageToSend": "weekend", "MessageType": "Server", "At": ["12:00"], "Days": ["Sat", "Sun"]},
                                 {"MessageToSend": "midweek", "MessageType": "Server", "At": ["19:01"], "Days": ["Wed"]},
                                 {"MessageToSend": "daily", "MessageType": "Server", "At": ["01:01"]}])";
  struct Case {
    const char* zone;
    const char* scenario;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      // Thursday 12:00 no; Saturday 12:00 yes; back to Friday 12:00 no.
      {"UTC", "join 1 A\nclock +43190\nwait 20\nclock +172800\nwait 20\nclock -86400\nwait 60\n", {"21 weekend"}},
      {"EST5EDT,M3.2.0,M11.1.0", "join 1 A\nwait 70\n", {"60 midweek"}},
      {"CET-1CEST,M3.5.0,M10.5.0/3", "join 1 A\nwait 70\n", {"60 daily"}},
  };
  for (const Case& c : cases) {
    ServerDir dir(Scheduled(events));
    auto run = heraldix::test::RunScenarioInZone(c.scenario, dir, c.zone);
    ExpectClean(run);
    EXPECT_EQ(Timeline(run), c.expected) << c.zone;
  }
}

TEST(Events, ScheduledMessagesComeAfterTheTimedMessageAndBeforeTheGreetingOfTheSameCall) {
  const std::string config = Timed("59", R"([{"MessageToSend": "timed", "MessageType": "Server"}])",
                                   R"("ScheduledMessages": {"Enabled": true, "Messages": [
                                        {"MessageToSend": "scheduled", "MessageType": "Server", "At": ["00:01"]}]},
                                      "Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true,
                                        "WelcomeMessageType": "Server", "Message": "welcome"}})");
  ServerDir dir(config);
  auto run = RunScenario("wait 55\njoin 1 A\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Timeline(run), (std::vector<std::string>{"60 timed", "60 scheduled", "60 welcome"}));
}

TEST(Events, BrokenScheduledMessagesAreSkippedSilentlyAndTheRestStillGoOut) {
  const std::string messages = R"([{"MessageToSend": "{0}", "MessageType": "Server", "At": ["00:01"]},
                                   {"MessageToSend": "bad time", "MessageType": "Server", "At": ["00:01", "25:61"]},
                                   {"MessageToSend": "bad day", "MessageType": "Server", "At": ["00:01"], "Days": ["Thu "]},
                                   {"MessageToSend": "not a list", "MessageType": "Server", "At": "00:01"},
                                   {"MessageToSend": "no time", "MessageType": "Server"},
                                   {"MessageToSend": "m", "MessageType": "Notification", "At": ["00:01"], "DisplayTime": "x"},
                                   "text",
                                   {"MessageToSend": "fine", "MessageType": "Server", "At": ["00:01"]}])";
  const std::string configs[] = {
      Scheduled(messages),
      R"({"ScheduledMessages": {"Enabled": "yes", "Messages": []}})",
      R"({"ScheduledMessages": []})",
      R"({"ScheduledMessages": {"Enabled": true, "Messages": {"At": ["00:01"]}}})",
      R"({"ScheduledMessages": {"Enabled": false, "Messages": [{"MessageType": "Server", "At": ["00:01"]}]}})",
  };
  const std::vector<std::string> expected[] = {{"60 fine"}, {}, {}, {}, {}};
  for (std::size_t i = 0; i < std::size(configs); ++i) {
    ServerDir dir(configs[i]);
    auto run = RunScenario("join 1 A\nwait 70\n", dir);
    ExpectClean(run);
    EXPECT_EQ(Timeline(run), expected[i]) << configs[i];
    EXPECT_TRUE(run.Of("notification").empty());
    EXPECT_TRUE(run.Of("log").empty());
  }
}

TEST(Events, AReloadWithinTheMinuteDoesNotSendAScheduledMessageAgain) {
  const std::string config = Scheduled(R"([{"MessageToSend": "now", "MessageType": "Server", "At": ["00:01"]}])");
  ServerDir dir(config);
  auto run = RunScenario("join 1 A\nwait 61\nconsole none hx.reload\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Timeline(run), (std::vector<std::string>{"60 now"}));
}

// --- Player counts and rotation -------------------------------------------------------------------

TEST(Events, PlayerCountConditionsHoldAtTheTurnOrTheMessageSendsNothing) {
  struct Case {
    const char* condition;
    const char* players;
    bool sent;
  };
  const Case cases[] = {
      {R"("Min_Players_Online": 2)", "join 1 A\n", false},
      {R"("Min_Players_Online": 2)", "join 1 A\njoin 2 B\n", true},
      {R"("Max_Players_Online": 1)", "join 1 A\njoin 2 B\n", false},
      {R"("Max_Players_Online": 1)", "join 1 A\njoin 2 B\nstale 2\n", true},  // only resolvable entries count
      {R"("Min_Players_Online": 1, "Max_Players_Online": 1)", "join 1 A\n", true},
      {R"("Min_Players_Online": 3, "Max_Players_Online": 1)", "join 1 A\njoin 2 B\n", false},
      {R"("Min_Players_Online": "2")", "join 1 A\njoin 2 B\n", false},  // a wrong type: skipped silently
  };
  for (const Case& c : cases) {
    const std::string message = std::string(R"({"MessageToSend": "m", "MessageType": "Server", )") + c.condition + "}";
    for (const std::string& config :
         {Timed("0", "[" + message + "]"),
          Scheduled("[" + message.substr(0, message.size() - 1) + R"(, "At": ["00:00"]}])")}) {
      ServerDir dir(config);
      auto run = RunScenario(std::string(c.players) + "wait 1\n", dir);
      ExpectClean(run);
      EXPECT_EQ(run.To("1", "server").size(), c.sent ? 1U : 0U) << config << " with " << c.players;
    }
  }
}

TEST(Events, SequentialOrderGoesThroughTheListAndCarriesOnAcrossAReloadThatShortensIt) {
  const std::string five =
      R"([{"MessageToSend": "a", "MessageType": "Server"}, {"MessageToSend": "b", "MessageType": "Server"},
                               {"MessageToSend": "c", "MessageType": "Server"}, {"MessageToSend": "d", "MessageType": "Server"},
                               {"MessageToSend": "e", "MessageType": "Server"}])";
  const std::string two =
      R"([{"MessageToSend": "x", "MessageType": "Server"}, {"MessageToSend": "y", "MessageType": "Server"}])";
  ServerDir dir(R"({"TimedMessages": {"Enabled": true, "Interval": 10, "Order": "Sequential", "Messages": )" + five +
                "}}");
  const std::string shortened =
      R"({"TimedMessages": {"Enabled": true, "Interval": 10, "Order": "Sequential", "Messages": )" + two + "}}";
  auto run = RunScenario("join 1 A\nwait 35\nconfig-text " + shortened + "\nconsole none hx.reload\nwait 30\n", dir);
  ExpectClean(run);
  // a b c d, then the fourth index wraps around the two left: x y x.
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"a", "b", "c", "d", "x", "y", "x"}));
}

TEST(Events, SkipUnreceivableNeverWastesATurnOnAMessageNobodyOnlineWouldGet) {
  const std::string messages =
      R"([{"MessageToSend": "vip", "MessageType": "Server", "Only_Send_To_Permission_Groups": ["VIP"]},
                                   {"MessageToSend": "all", "MessageType": "Server"},
                                   {"MessageToSend": "crowd", "MessageType": "Server", "Min_Players_Online": 5},
                                   {"MessageToSend": "all2", "MessageType": "Server"}])";
  for (const char* order : {"Sequential", "Random"}) {
    ServerDir dir(R"({"TimedMessages": {"Enabled": true, "Interval": 10, "Skip_Unreceivable": true, "Order": ")" +
                  std::string(order) + R"(", "Messages": )" + messages + "}}");
    auto run = RunScenario("join 1 A\nwait 200\n", dir);
    ExpectClean(run);
    const std::vector<std::string> texts = Texts(run.To("1", "server"));
    EXPECT_EQ(texts.size(), 20U) << order << ": every turn sends";
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_TRUE(texts[i] == "all" || texts[i] == "all2") << order << " " << texts[i];
      if (i > 0) {
        EXPECT_NE(texts[i], texts[i - 1]) << order;
      }
    }
  }
  // With a VIP online the VIP message has its turns; with nobody online no turn qualifies and none is sent.
  ServerDir dir(
      R"({"TimedMessages": {"Enabled": true, "Interval": 10, "Skip_Unreceivable": true, "Order": "Sequential", "Messages": )" +
      messages + "}}");
  auto run = RunScenario("join 1 A VIP\nwait 40\nleave 1\nwait 20\njoin 1 A\nwait 10\n", dir);
  ExpectClean(run);
  EXPECT_EQ(Texts(run.To("1", "server")), (std::vector<std::string>{"vip", "all", "all2", "vip", "all"}));
}

TEST(Events, RandomOrderWithoutTheNewKeysDrawsExactlyAsBefore) {
  // The same scenario with "Order": "Random" and "Skip_Unreceivable": false spelled out, and without them.
  const std::string messages =
      R"([{"MessageToSend": "a", "MessageType": "Server"}, {"MessageToSend": "b", "MessageType": "Server"},
                                   {"MessageToSend": "c", "MessageType": "Server"}])";
  ServerDir plain(Timed("1", messages));
  ServerDir spelled(
      R"({"TimedMessages": {"Enabled": true, "Interval": 1, "Order": "Random", "Skip_Unreceivable": false, "Messages": )" +
      messages + "}}");
  // The plug-in never seeds the C runtime's generator; the test does, so both runs draw from the same point.
  std::srand(7);
  const auto first = Texts(RunScenario("join 1 A\nwait 50\n", plain).To("1", "server"));
  std::srand(7);
  const auto second = Texts(RunScenario("join 1 A\nwait 50\n", spelled).To("1", "server"));
  EXPECT_EQ(first.size(), 50U);
  EXPECT_EQ(first, second);
}

// --- The draw -------------------------------------------------------------------------------------

TEST(Events, TheDrawTakesFifteenBitsWhateverTheRuntimeGives) {
  int seenLow = 0;
  int seenHigh = 0;
  for (int i = 0; i < 20000; ++i) {
    const int r = Rand15();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
    if (r < 16384) {
      ++seenLow;
    } else {
      ++seenHigh;
    }
  }
  EXPECT_GT(seenLow, 9000);
  EXPECT_GT(seenHigh, 9000);
}

}  // namespace
