// Placeholders in configured texts, through the real plug-in on the simulated server: what each player is
// shown, with the key on, off, or of the wrong type.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/runner/EventWriter.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::RunScenarioInZone;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using nlohmann::json;

// What each player was shown, in order: "chat: ...", "server: ..." or "notification: ...", chat markup
// rendered as a player sees it.
std::map<std::string, Strings> Shown(const heraldix::test::Run& run) {
  std::map<std::string, Strings> shown;
  for (const json& event : run.events) {
    const std::string kind = event.value("event", "");
    if (kind != "chat" && kind != "server" && kind != "notification") continue;
    const std::string text = event.at("text").get<std::string>();
    shown[event.at("to").get<std::string>()].push_back(kind + ": " +
                                                       (kind == "chat" ? sim::RenderRichColor(text, false) : text));
  }
  return shown;
}

json Welcome(const char* message, const char* type = "Chat") {
  return {{"EnableWelcomeMessage", true}, {"Message", message}, {"WelcomeMessageType", type}};
}

json Timed(const json& message) {
  return {{"TimedMessages", {{"Enabled", true}, {"Interval", 600}, {"Messages", json::array({message})}}}};
}

TEST(Placeholders, EachPlayerIsShownTheValuesAsTheyAreWhenOnAndTodaysTextWhenOff) {
  struct Case {
    const char* story;
    json placeholders;  // the key's value; null leaves it out
    json config;        // the rest of config.json
    const char* scenario;
    std::map<std::string, Strings> expected;
    const char* zone = "UTC";
  };
  const json braces = {{"Heraldix", {{"WelcomeMessage", Welcome("Welcome {Player}, {0}!")}}}};
  const json named = {{"Heraldix", {{"WelcomeMessage", Welcome("Welcome {0}")}}}};
  const char* bracesJoin = "join 1 {x}\njoin 2 a}b\nwait 6\n";
  const json commands = {{"CustomCommands",
                          {{"/me", {{"Message", "You are {Player}"}, {"Type", "Notification"}}},
                           {"/vip", {{"Message", "x"}, {"RequiredPermissionGroups", {"VIP"}}}}}},
                         {"NoPermission", "Not for you, {Player}"}};
  const Case cases[] = {
      {"a name in braces is greeted by name, through {Player} and {0} alike",
       true,
       braces,
       bracesJoin,
       {{"1", {"chat: Welcome {x}, {x}!"}}, {"2", {"chat: Welcome a}b, a}b!"}}}},
      {"without the key a name in braces breaks the greeting, as it always did", nullptr, named, bracesJoin, {}},
      {"without the key a plain name is greeted as always",
       false,
       named,
       "join 1 Alice\nwait 6\n",
       {{"1", {"chat: Welcome Alice"}}}},
      {"markup characters in a name show as they are in chat",
       true,
       {{"Heraldix", {{"WelcomeMessage", Welcome("Hi {Player}")}}}},
       "join 1 a</>b<RichColor\njoin 2 \"x&lt;y &amp; <RichColor Color=1>z\"\nwait 6\n",
       {{"1", {"chat: Hi a</>b<RichColor"}}, {"2", {"chat: Hi x&lt;y &amp; <RichColor Color=1>z"}}}},
      {"and as they are in a server line, which is no markup",
       true,
       {{"Heraldix", {{"WelcomeMessage", Welcome("Hi {0} {Player}", "Server")}}}},
       "join 1 a<b>&amp;\nwait 6\n",
       {{"1", {"server: Hi a<b>&amp; a<b>&amp;"}}}},
      {"a timed message naming the player goes to each their own; the stale entry counts for nothing",
       true,
       Timed({{"MessageToSend", "{Player}: {PlayersOnline} online at {Time} on {Date}"}}),
       "join 1 Ann\njoin 2 Bo</>\njoin 3 Cy\nstale 3\nwait 1\n",
       {{"1", {"chat: Ann: 2 online at 19:00 on 2025-12-31"}}, {"2", {"chat: Bo</>: 2 online at 19:00 on 2025-12-31"}}},
       "EST5EDT,M3.2.0,M11.1.0"},
      {"only the players of its groups get it",
       true,
       Timed(
           {{"MessageToSend", "For {Player}"}, {"Only_Send_To_Permission_Groups", {"VIP"}}, {"MessageType", "Server"}}),
       "join 1 Ann VIP\njoin 2 Bo\nwait 1\n",
       {{"1", {"server: For Ann"}}}},
      {"a scheduled message tells its own minute",
       true,
       {{"ScheduledMessages",
         {{"Enabled", true}, {"Messages", {{{"MessageToSend", "It is {Time}"}, {"At", {"05:31"}}}}}}}},
       "join 1 Ann\nwait 70\n",
       {{"1", {"chat: It is 05:31"}}},
       "IST-5:30"},
      {"a command's reply and a refusal name whoever typed it",
       true,
       commands,
       "join 1 Ann\njoin 2 {Bo}\nchat 1 /me\nchat 2 /vip\n",
       {{"1", {"notification: You are Ann"}}, {"2", {"chat: Not for you, {Bo}"}}}},
      {"a near miss keeps today's rule: the message sends nothing",
       true,
       Timed({{"MessageToSend", "{player}"}, {"MessageType", "Server"}}),
       "join 1 Ann\nwait 1\n",
       {}},
      {"a doubled brace is one brace, not a placeholder",
       true,
       Timed({{"MessageToSend", "{{Player}} is {Player}"}}),
       "join 1 Ann\nwait 1\n",
       {{"1", {"chat: {Player} is Ann"}}}},
      {"a key that is not true leaves the names to today's rule",
       "true",
       Timed({{"MessageToSend", "Hi {Player}"}}),
       "join 1 Ann\nwait 1\n",
       {}},
  };
  for (const Case& c : cases) {
    json config = c.config;
    if (!c.placeholders.is_null()) config["Heraldix"]["Placeholders"] = c.placeholders;
    ServerDir dir(config.dump());
    const auto run = RunScenarioInZone(c.scenario, dir, c.zone);
    heraldix::test::ExpectNoFaults(run);
    EXPECT_EQ(Shown(run), c.expected) << c.story;
  }
}

}  // namespace
