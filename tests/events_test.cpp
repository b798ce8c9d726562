// The welcome message and the timed messages through the real plug-in library on the simulated server.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
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
#include "tests/support/Stories.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::Rich;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
using nlohmann::json;

// A configuration with greetings on and the given members added to "WelcomeMessage".
std::string Welcome(std::string_view members, std::string_view more = "") {
  std::string config = R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true)";
  if (!members.empty()) config += ", " + std::string(members);
  config += "}}";
  if (!more.empty()) config += ", " + std::string(more);
  return config + "}";
}

// A configuration with timed messages on, the given interval (and any settings after it) and messages.
std::string Timed(std::string_view interval, std::string_view messages, std::string_view more = "") {
  std::string config = R"({"TimedMessages": {"Enabled": true, "Interval": )" + std::string(interval) +
                       R"(, "Messages": )" + std::string(messages) + "}";
  if (!more.empty()) config += ", " + std::string(more);
  return config + "}";
}

// A list of server messages, one for each word.
std::string ServerMessages(std::string_view words) {
  std::string list;
  for (std::size_t start = 0; start < words.size();) {
    const std::size_t end = std::min(words.find(' ', start), words.size());
    list += (list.empty() ? R"([{"MessageToSend": ")" : R"(, {"MessageToSend": ")") +
            std::string(words.substr(start, end - start)) + R"(", "MessageType": "Server"})";
    start = end + 1;
  }
  return list + "]";
}

// Greetings as server messages, so that a timeline shows who was greeted.
const std::string ServerWelcome = Welcome(R"("WelcomeMessageType": "Server", "Message": "Hi {0}")");
const std::string OneTimed = ServerMessages("m");

// "t text" for every server message, in order, joined by " | ".
std::string Timeline(const heraldix::test::Run& run) {
  std::string lines;
  for (const json& event : run.Of("server")) {
    lines += (lines.empty() ? "" : " | ") + std::to_string(event.at("t").get<std::int64_t>()) + " " +
             event.at("text").get<std::string>();
  }
  return lines;
}

// A server with this config.json, these scenario lines, and what the players meet: the whole run as the shared
// view writes it, or the timeline of server messages.
struct Story {
  const char* name;
  std::string config;
  std::string lines;
  std::string expected;
  std::size_t delays = SIZE_MAX;  // greetings scheduled, when it matters
  const char* zone = nullptr;     // the server's time zone, as TZ names it; UTC by default
};

enum class View { Seen, Timeline };

void Tell(const Story& story, View view = View::Seen) {
  SCOPED_TRACE(story.name);
  const ServerDir dir(story.config);
  const auto run = story.zone == nullptr ? RunScenario(story.lines, dir)
                                         : heraldix::test::RunScenarioInZone(story.lines, dir, story.zone);
  heraldix::test::ExpectNoFaults(run);
  EXPECT_EQ(view == View::Timeline ? Timeline(run) : heraldix::test::Seen(run), story.expected);
  if (story.delays != SIZE_MAX) {
    EXPECT_EQ(run.Traces("DelayExecute").size(), story.delays);
  }
}

// --- Welcome --------------------------------------------------------------------------------------

TEST(Events, EachVisitIsGreetedOnceWhenALivingCharacterIsPossessed) {
  heraldix::test::TellStories("events/each-visit-is-greeted-once");
}

TEST(Events, EachKindOfGreeting) {
  const std::string welcome = "Welcome to the server Alice";
  const Story stories[] = {
      {"a notification with its look", Welcome(R"("WelcomeMessageType": "Notification", "NotificationDisplayScale": 2,
                  "NotificationDisplayTime": 4, "Icon_BP": "/Game/Hello")"),
       "texture /Game/Hello\njoin 1 Alice\nwait 5\n",
       "load /Game/Hello | 1: notification [0 0 0 1] scale 2 time 4 icon /Game/Hello " + welcome},
      {"a notification by default", Welcome(R"("WelcomeMessageType": "Notification")"), "join 1 Alice\nwait 5\n",
       "load  | 1: notification [0 0 0 1] scale 1 time 10 " + welcome},
      {"any other kind is chat", Welcome(R"("WelcomeMessageType": "chat")"), "join 1 Alice\nwait 5\n",
       "1: chat Heraldix: " + Rich("0, 0, 0, 255", welcome)},
      {"client is chat", Welcome(R"("WelcomeMessageType": "Client", "WelcomeMessageColour": {"R": 255})"),
       "join 1 Alice\nwait 5\n", "1: chat Heraldix: " + Rich("1, 0, 0, 1", welcome)},
      {"names and senders outside ASCII",
       R"({"Heraldix": {"ClientChatSenderName": "H\u00e9rault",
          "WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Gr\u00fc\u00df dich, {0}!"}}})",
       "join 1 Zo\u00eb\u65e5\nwait 5\n",
       "1: chat H??rault: " + Rich("0, 0, 0, 255", "Gr\u00fc\u00df dich, Zo\u00eb\u65e5!")},
      {"braces in the template are paired once", Welcome(R"("WelcomeMessageType": "Server", "Message": "{{{{{0}}}}}")"),
       "join 1 Alice\nwait 5\n", "1: server [0 0 0 1] {Alice}"},
      // "{x}" survives the first pass and the delivery rejects it.
      {"a brace left after the first pass sends nothing",
       Welcome(R"("WelcomeMessageType": "Server", "Message": "{{{{{0}}}}} and {{x}}")"), "join 1 Alice\nwait 5\n", ""},
      // A brace in one name costs only that player the greeting; the queue empties all the same.
      {"a brace in a name", Welcome(R"("WelcomeMessageType": "Server")"),
       "join 1 Al{ice\njoin 2 Bob\nwait 5\nwait 10\n", "2: server [0 0 0 1] Welcome to the server Bob"},
  };
  for (const Story& story : stories) Tell(story);
}

TEST(Events, AGreetingThatCannotBeMadeIsDroppedAndTheOthersStillGo) {
  // Both ids leave the queue at the failed step: the repaired configuration greets nobody afterwards.
  const std::string repair =
      "join 1 Alice\njoin 2 Bob\nwait 5\n"
      "config-text {\"Heraldix\": {\"WelcomeMessage\": {\"EnableWelcomeMessage\": true}}}\n"
      "console none hx.reload\nwait 10\n";
  for (const char* members : {R"("Message": "{1}")", R"("Message": "{0")", R"("Message": 5)",
                              R"("WelcomeMessageType": 5)", R"("WelcomeMessageColour": "red")",
                              R"("WelcomeMessageType": "Notification", "NotificationDisplayTime": "10")"}) {
    Tell({members, Welcome(members), repair, "log info: Reloaded config: 0 custom commands, 0 timed messages"});
  }
}

TEST(Events, GreetingsOffOrABrokenSectionAtPossessionScheduleNothingAndTheGameGoesOn) {
  for (const char* config : {R"({})", R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": false}}})",
                             R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": 1}}})",
                             R"({"Heraldix": {"WelcomeMessage": []}})", R"({"Heraldix": "x"})"}) {
    Tell({config, config, "join 1 Alice\nwait 10\nleave 1\n", "", 0});
  }
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

// --- Timed messages -------------------------------------------------------------------------------

TEST(Events, TimedMessagesGoAtOnceThenEveryIntervalByTheClock) {
  const std::string off = R"({"TimedMessages": {"Enabled": false, "Interval": 100, "Messages": )" + OneTimed + "}}";
  const std::string fixed = Timed("10", ServerMessages("fixed"));
  const char* sequential = R"(10, "Order": "Sequential")";
  const Story stories[] = {
      {"every interval", Timed("60", OneTimed), "join 1 Alice\nwait 130\n", "1 m | 61 m | 121 m"},
      {"an interval of zero: every timer call", Timed("0", OneTimed), "join 1 Alice\nwait 4\ntick\n",
       "1 m | 2 m | 3 m | 4 m | 4 m"},
      // Due at second 11 of the old clock, which the moved clock reaches at second 3611.
      {"a clock set back waits until it reaches the due time again", Timed("10", OneTimed),
       "join 1 Alice\nwait 1\nclock -3600\nwait 3600\nwait 20\n", "1 m | 3611 m | 3621 m"},
      // Sent at once, silent while off, then due again where the first message put it.
      {"switched off, they send nothing and keep their due time", Timed("100", OneTimed),
       "join 1 Alice\nwait 1\nconfig-text " + off + "\nconsole none hx.reload\nwait 50\nconfig-text " +
           Timed("100", OneTimed) + "\nconsole none hx.reload\nwait 60\n",
       "1 m | 101 m"},
      {"a bad message still uses its turn", Timed("10", R"([{"MessageToSend": "{0}", "MessageType": "Server"}])"),
       "join 1 Alice\nwait 3\nconfig-text " + fixed + "\nconsole none hx.reload\nwait 10\n", "11 fixed"},
      // a b c d, then the fourth index wraps around the two left: x y x.
      {"sequential order carries on across a reload that shortens the list",
       Timed(sequential, ServerMessages("a b c d e")),
       "join 1 A\nwait 35\nconfig-text " + Timed(sequential, ServerMessages("x y")) +
           "\nconsole none hx.reload\nwait 30\n",
       "1 a | 11 b | 21 c | 31 d | 41 x | 51 y | 61 x"},
  };
  for (const Story& story : stories) Tell(story, View::Timeline);
}

// The clock may stand anywhere in its range: the due time stops at either end instead of wrapping round.
TEST(Events, TheDueTimeStopsAtTheEndsOfTheClocksRange) {
  heraldix::test::LiveGame game;
  const std::string timer(Game::AGameState_DefaultTimer::Key());
  ASSERT_TRUE(TarrowApi::GetHooks().SetHook(timer, &Hook_AGameState_DefaultTimer, &AGameState_DefaultTimer_original));
  constexpr std::int64_t max = INT64_MAX;
  constexpr std::int64_t min = INT64_MIN;
  constexpr std::int64_t second = 10'000'000;
  // The clock, the interval in seconds, and the due time after one timer call.
  const std::tuple<std::int64_t, const char*, std::int64_t> rows[] = {
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
  for (const auto& [now, interval, due] : rows) {
    ReplaceConfig(json::parse(std::string(R"({"TimedMessages": {"Enabled": true, "Interval": )") + interval + "}}"));
    NextTimedMessageTime() = min;
    sim::SetSystemClockSource([now = now] { return now; });
    game.Line("tick");
    EXPECT_EQ(NextTimedMessageTime(), due) << now << " + " << interval << " s";
  }
  TarrowApi::GetHooks().DisableHook(timer, &Hook_AGameState_DefaultTimer);
  NextTimedMessageTime() = 0;
  ReplaceConfig(json());
  EXPECT_TRUE(game.Of("fault").empty());
}

TEST(Events, RandomOrderRepeatsOneMessageAndDrawsTwoOrMoreEvenlyButNeverTwiceInARow) {
  std::size_t count = 0;
  for (const char* list : {"A", "A B", "A B C"}) {
    ++count;
    ServerDir dir(Timed("0", ServerMessages(list)));
    auto run = RunScenario("join 1 Alice\nwait 600\n", dir);
    heraldix::test::ExpectNoFaults(run);
    const auto texts = Texts(run.To("1", "server"));
    ASSERT_EQ(texts.size(), 600u);
    std::map<std::string, int> counts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ++counts[texts[i]];
      if (count > 1 && i > 0) {
        EXPECT_NE(texts[i], texts[i - 1]) << count << " messages, turn " << i;
      }
    }
    ASSERT_EQ(counts.size(), count);
    // A draw stuck in the low bits of a 31-bit generator, or one never reaching the last index, shows here.
    for (const auto& [text, seen] : counts) EXPECT_NEAR(seen, 600.0 / count, 50) << text;
  }
  // Fifteen bits whatever the runtime gives, low and high halves alike.
  int high = 0;
  for (int i = 0; i < 20000; ++i) {
    const int r = Rand15();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
    high += r >= 16384 ? 1 : 0;
  }
  EXPECT_NEAR(high, 10000, 1000);
}

TEST(Events, EachKindOfTimedMessage) {
  const Story stories[] = {
      {"a server message to everyone, channels cut to bytes",
       Timed("0", R"([{"MessageToSend": "srv", "MessageType": "Server", "MessageColour": {"R": 256, "G": -1}}])"),
       "join 1 Alice\njoin 2 Bob\nwait 1\n", "1: server [0 1 0 1] srv | 2: server [0 1 0 1] srv"},
      {"chat from its sender",
       Timed(
           "0",
           R"([{"MessageToSend": "hello", "Sender": "Cr\u00ebw", "MessageType": "Chat", "MessageColour": {"R": 255}}])"),
       "join 1 Alice\nwait 1\n", "1: chat Cr\u00ebw: " + Rich("1, 0, 0, 1", "hello")},
      {"chat by default, from Heraldix", Timed("0", R"([{"MessageToSend": "hello"}])"), "join 1 Alice\nwait 1\n",
       "1: chat Heraldix: " + Rich("0, 0, 0, 255", "hello")},
      {"a notification with its icon",
       Timed("0", R"([{"MessageToSend": "note", "MessageType": "Notification", "Icon_BP": "/Game/I"}])"),
       "texture /Game/I\njoin 1 Alice\nwait 1\n",
       "load /Game/I | 1: notification [0 0 0 1] scale 1 time 10 icon /Game/I note"},
      {"an unknown kind sends nothing", Timed("0", R"([{"MessageToSend": "low", "MessageType": "chat"}])"),
       "join 1 Alice\nwait 3\n", ""},
  };
  for (const Story& story : stories) Tell(story);
}

TEST(Events, OnlyGroupsReachTheirMembersAndExcludedGroupsAreLeftOut) {
  const std::string players = "join 1 Alice VIP\njoin 2 Bob\njoin 3 Carol Admins\njoin 4 Dan\nstale 4\nwait 1\n";
  const auto groups = [](const char* members) {
    return Timed("0", std::string(R"([{"MessageToSend": "m", "MessageType": "Server", )") + members + "}]");
  };
  const Story stories[] = {
      {"only", groups(R"("Only_Send_To_Permission_Groups": ["VIP", "Admins"])"), players,
       "1: server [0 0 0 1] m | 3: server [0 0 0 1] m"},
      {"excluded", groups(R"("Exclude_Permissions_Groups": ["VIP"])"), players,
       "2: server [0 0 0 1] m | 3: server [0 0 0 1] m"},
      {"both", groups(R"("Only_Send_To_Permission_Groups": ["VIP"], "Exclude_Permissions_Groups": ["VIP"])"), players,
       "1: server [0 0 0 1] m"},
      {"outside ASCII", groups(R"("Only_Send_To_Permission_Groups": ["Gr\u00fcn"])"),
       "join 1 Alice Gr??n\njoin 2 Bob\nwait 1\n", "1: server [0 0 0 1] m"},
  };
  for (const Story& story : stories) Tell(story);
  // Each player's groups are asked in list order until one says yes.
  ServerDir dir(stories[0].config);
  auto run = RunScenario(players, dir);
  EXPECT_EQ(Texts(run.Traces("IsPlayerInGroup"), "args"),
            (Strings{R"(["1","VIP"])", R"(["2","VIP"])", R"(["2","Admins"])", R"(["3","VIP"])", R"(["3","Admins"])"}));
}

TEST(Events, ABadMessageIsSkippedSilently) {
  for (const char* messages :
       {R"([{"MessageToSend": "m", "MessageType": "Notification", "DisplayTime": "10"}])",
        R"([{"MessageToSend": "{0}", "MessageType": "Server"}])", R"([{"MessageToSend": 1}])", R"(["just text"])",
        R"([])", R"(null)", R"({"a": {"MessageToSend": "m"}, "b": {"MessageToSend": "m"}})",
        R"([{"MessageToSend": "m", "Only_Send_To_Permission_Groups": "VIP"}])",
        R"([{"MessageToSend": "m", "MessageColour": {"R": "red"}}])", R"([{"MessageToSend": "m", "Sender": 3}])"}) {
    Tell({messages, Timed("0", messages), "join 1 Alice\nwait 3\n", ""});
  }
}

// --- Scheduled messages ---------------------------------------------------------------------------

// Scheduled messages on, with these messages; the run starts on Thursday 2026-01-01 at 00:00:00 UTC.
std::string Scheduled(std::string_view messages, std::string_view more = "") {
  std::string config = R"({"ScheduledMessages": {"Enabled": true, "Messages": )" + std::string(messages) + "}";
  if (!more.empty()) config += ", " + std::string(more);
  return config + "}";
}

TEST(Events, ScheduledMessagesGoOutOnceAtTheirMinutesNeverAgainThatDayAndNeverLate) {
  const std::string warnings =
      Scheduled(R"([{"MessageToSend": "in 10", "MessageType": "Server", "At": ["00:01", "00:03"]},
                                   {"MessageToSend": "in 5", "MessageType": "Server", "At": ["00:02"]}])");
  const std::string withTimedAndWelcome =
      Timed("59", ServerMessages("timed"), R"("ScheduledMessages": {"Enabled": true, "Messages": [
                {"MessageToSend": "scheduled", "MessageType": "Server", "At": ["00:01"]}]},
            "Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server",
                                            "Message": "welcome"}})");
  const Story stories[] = {
      {"on the first timer call within each minute", warnings, "join 1 A\nwait 240\n",
       "60 in 10 | 120 in 5 | 180 in 10"},
      {"the clock moved back within the day sends nothing twice", warnings,
       "join 1 A\nwait 130\nclock -100\nwait 160\n", "60 in 10 | 120 in 5 | 280 in 10"},
      {"a minute jumped over is not sent late", warnings, "join 1 A\nwait 30\nclock +120\nwait 40\n",
       "31 in 5 | 60 in 10"},
      {"the clock moved back to yesterday sends yesterday's", warnings,
       "join 1 A\nwait 70\nclock -86400\nwait 10\nclock -20\nwait 10\n", "60 in 10 | 71 in 10"},
      {"across midnight, the next day's", warnings, "join 1 A\nwait 70\nclock +86300\nwait 100\n",
       "60 in 10 | 160 in 10"},
      {"a server down over a minute sends nothing for it when it comes back", warnings,
       "join 1 A\nwait 30\nunload\nwait 100\nload\nwait 60\n", "131 in 5 | 180 in 10"},
      {"a reload within the minute does not send it again", warnings,
       "join 1 A\nwait 61\nconsole none hx.reload\nwait 10\n", "60 in 10"},
      {"after the timed message and before the greeting of the same timer call", withTimedAndWelcome,
       "wait 55\njoin 1 A\nwait 10\n", "60 timed | 60 scheduled | 60 welcome"},
  };
  for (const Story& story : stories) Tell(story, View::Timeline);

  // Days in the server's zone: Thursday at 00:00 UTC is Wednesday at 19:00 in New York and Thursday at 01:00
  // in Berlin.
  const std::string days = Scheduled(
      R"([{"MessageToSend": "weekend", "MessageType": "Server", "At": ["12:00"], "Days": ["Sat", "Sun"]},
          {"MessageToSend": "midweek", "MessageType": "Server", "At": ["19:01"], "Days": ["Wed"]},
          {"MessageToSend": "daily", "MessageType": "Server", "At": ["01:01"]}])");
  const Story zones[] = {
      // Thursday 12:00 no; Saturday 12:00 yes; back to Friday 12:00 no.
      {"UTC", days, "join 1 A\nclock +43190\nwait 20\nclock +172800\nwait 20\nclock -86400\nwait 60\n", "21 weekend"},
      {"New York", days, "join 1 A\nwait 70\n", "60 midweek", SIZE_MAX, "EST5EDT,M3.2.0,M11.1.0"},
      {"Berlin", days, "join 1 A\nwait 70\n", "60 daily", SIZE_MAX, "CET-1CEST,M3.5.0,M10.5.0/3"},
  };
  for (const Story& story : zones) Tell(story, View::Timeline);
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
  const char* configs[] = {
      R"({"ScheduledMessages": {"Enabled": "yes", "Messages": []}})",
      R"({"ScheduledMessages": []})",
      R"({"ScheduledMessages": {"Enabled": true}})",
      R"({"ScheduledMessages": {"Enabled": true, "Messages": {"At": ["00:01"]}}})",
      R"({"ScheduledMessages": {"Enabled": false, "Messages": [{"MessageType": "Server", "At": ["00:01"]}]}})",
  };
  Tell({"one fine among broken ones", Scheduled(messages), "join 1 A\nwait 70\n", "1: server [0 0 0 1] fine"});
  for (const char* config : configs) Tell({config, config, "join 1 A\nwait 70\n", ""});
}

// --- Player counts and rotation -------------------------------------------------------------------

TEST(Events, PlayerCountConditionsHoldAtTheTurnOrTheMessageSendsNothing) {
  // A condition, the players online at the turn, and whether the message goes out.
  const std::tuple<const char*, const char*, bool> cases[] = {
      {R"("Min_Players_Online": 2)", "join 1 A\n", false},
      {R"("Min_Players_Online": 2)", "join 1 A\njoin 2 B\n", true},
      {R"("Max_Players_Online": 1)", "join 1 A\njoin 2 B\n", false},
      {R"("Max_Players_Online": 1)", "join 1 A\njoin 2 B\nstale 2\n", true},  // only resolvable entries count
      {R"("Min_Players_Online": 1, "Max_Players_Online": 1)", "join 1 A\n", true},
      {R"("Min_Players_Online": 3, "Max_Players_Online": 1)", "join 1 A\njoin 2 B\n", false},
      {R"("Min_Players_Online": "2")", "join 1 A\njoin 2 B\n", false},  // a wrong type: skipped silently
  };
  for (const auto& [condition, players, sent] : cases) {
    const std::string message = std::string(R"({"MessageToSend": "m", "MessageType": "Server", )") + condition + "}";
    for (const std::string& config :
         {Timed("0", "[" + message + "]"),
          Scheduled("[" + message.substr(0, message.size() - 1) + R"(, "At": ["00:00"]}])")}) {
      ServerDir dir(config);
      auto run = RunScenario(std::string(players) + "wait 1\n", dir);
      heraldix::test::ExpectNoFaults(run);
      EXPECT_EQ(run.To("1", "server").size(), sent ? 1U : 0U) << config << " with " << players;
    }
  }
}

TEST(Events, SkipUnreceivableNeverWastesATurnOnAMessageNobodyOnlineWouldGet) {
  const std::string messages =
      R"([{"MessageToSend": "vip", "MessageType": "Server", "Only_Send_To_Permission_Groups": ["VIP"]},
                                   {"MessageToSend": "all", "MessageType": "Server"},
                                   {"MessageToSend": "crowd", "MessageType": "Server", "Min_Players_Online": 5},
                                   {"MessageToSend": "all2", "MessageType": "Server"}])";
  for (const char* order : {"Sequential", "Random"}) {
    ServerDir dir(Timed(std::string(R"(10, "Skip_Unreceivable": true, "Order": ")") + order + '"', messages));
    auto run = RunScenario("join 1 A\nwait 200\n", dir);
    heraldix::test::ExpectNoFaults(run);
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
  Tell({"a VIP online, then nobody", Timed(R"(10, "Skip_Unreceivable": true, "Order": "Sequential")", messages),
        "join 1 A VIP\nwait 40\nleave 1\nwait 20\njoin 1 A\nwait 10\n", "1 vip | 11 all | 21 all2 | 31 vip | 61 all"},
       View::Timeline);
}

TEST(Events, RandomOrderWithoutTheNewKeysDrawsExactlyAsBefore) {
  // The same scenario with "Order": "Random" and "Skip_Unreceivable": false spelled out, and without them.
  ServerDir plain(Timed("1", ServerMessages("a b c")));
  ServerDir spelled(Timed(R"(1, "Order": "Random", "Skip_Unreceivable": false)", ServerMessages("a b c")));
  // The plug-in never seeds the C runtime's generator; the test does, so both runs draw from the same point.
  std::srand(7);
  const auto first = Texts(RunScenario("join 1 A\nwait 50\n", plain).To("1", "server"));
  std::srand(7);
  const auto second = Texts(RunScenario("join 1 A\nwait 50\n", spelled).To("1", "server"));
  EXPECT_EQ(first.size(), 50U);
  EXPECT_EQ(first, second);
}

}  // namespace
