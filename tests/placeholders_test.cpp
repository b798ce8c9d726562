// Placeholders in configured texts, through the real plug-in on the simulated server: what each player is
// shown, with the key on, off, or of the wrong type.
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/runner/EventWriter.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

// What the players were shown, in order, chat markup rendered as a player sees it: "1 chat: Hi Ann | ...".
std::string Shown(const heraldix::test::Run& run) {
  std::string shown;
  for (const nlohmann::json& event : run.events) {
    const std::string kind = event.value("event", "");
    if (kind != "chat" && kind != "server" && kind != "notification") continue;
    const std::string text = event.at("text").get<std::string>();
    shown += (shown.empty() ? "" : " | ") + event.at("to").get<std::string>() + " " + kind + ": " +
             (kind == "chat" ? sim::RenderRichColor(text, false) : text);
  }
  return shown;
}

// "Placeholders" set to this JSON value (left out when empty) and greetings on with this template.
std::string Greeting(std::string_view message, std::string_view type = "Chat", std::string_view placeholders = "true") {
  const std::string key = placeholders.empty() ? "" : R"("Placeholders": )" + std::string(placeholders) + ", ";
  return R"({"Heraldix": {)" + key + R"("WelcomeMessage": {"EnableWelcomeMessage": true, "Message": ")" +
         std::string(message) + R"(", "WelcomeMessageType": ")" + std::string(type) + R"("}}})";
}

// "Placeholders" set to this JSON value and one timed message with these members, sent at once.
std::string Timed(std::string_view members, std::string_view placeholders = "true") {
  return R"({"Heraldix": {"Placeholders": )" + std::string(placeholders) +
         R"(}, "TimedMessages": {"Enabled": true, "Interval": 600, "Messages": [{)" + std::string(members) + "}]}}";
}

TEST(Placeholders, EachPlayerIsShownTheValuesAsTheyAreWhenOnAndTodaysTextWhenOff) {
  struct Case {
    const char* story;
    std::string config;
    std::string scenario;
    std::string expected;
    const char* zone = "UTC";
  };
  const std::string bracesJoin = "join 1 {x}\njoin 2 a}b\nwait 6\n";
  const Case cases[] = {
      {"a name in braces is greeted by name, through {Player} and {0} alike", Greeting("Welcome {Player}, {0}!"),
       bracesJoin, "1 chat: Welcome {x}, {x}! | 2 chat: Welcome a}b, a}b!"},
      {"without the key a name in braces breaks the greeting, as it always did", Greeting("Welcome {0}", "Chat", ""),
       bracesJoin, ""},
      {"without the key a plain name is greeted as always", Greeting("Welcome {0}", "Chat", "false"),
       "join 1 Alice\nwait 6\n", "1 chat: Welcome Alice"},
      {"markup characters in a name show as they are in chat", Greeting("Hi {Player}"),
       "join 1 a</>b<RichColor\njoin 2 \"x&lt;y &amp; <RichColor Color=1>z\"\nwait 6\n",
       "1 chat: Hi a</>b<RichColor | 2 chat: Hi x&lt;y &amp; <RichColor Color=1>z"},
      {"and as they are in a server line, which is no markup", Greeting("Hi {0} {Player}", "Server"),
       "join 1 a<b>&amp;\nwait 6\n", "1 server: Hi a<b>&amp; a<b>&amp;"},
      {"a timed message naming the player goes to each their own; the stale entry counts for nothing",
       Timed(R"("MessageToSend": "{Player}: {PlayersOnline} online at {Time} on {Date}")"),
       "join 1 Ann\njoin 2 Bo</>\njoin 3 Cy\nstale 3\nwait 1\n",
       "1 chat: Ann: 2 online at 19:00 on 2025-12-31 | 2 chat: Bo</>: 2 online at 19:00 on 2025-12-31",
       "EST5EDT,M3.2.0,M11.1.0"},
      {"only the players of its groups get it",
       Timed(R"("MessageToSend": "For {Player}", "Only_Send_To_Permission_Groups": ["VIP"], "MessageType": "Server")"),
       "join 1 Ann VIP\njoin 2 Bo\nwait 1\n", "1 server: For Ann"},
      {"a scheduled message tells its own minute",
       R"({"Heraldix": {"Placeholders": true},
           "ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "It is {Time}", "At": ["05:31"]}]}})",
       "join 1 Ann\nwait 70\n", "1 chat: It is 05:31", "IST-5:30"},
      {"a command's reply and a refusal name whoever typed it",
       R"({"Heraldix": {"Placeholders": true}, "NoPermission": "Not for you, {Player}",
           "CustomCommands": {"/me": {"Message": "You are {Player}", "Type": "Notification"},
                              "/vip": {"Message": "x", "RequiredPermissionGroups": ["VIP"]}}})",
       "join 1 Ann\njoin 2 {Bo}\nchat 1 /me\nchat 2 /vip\n", "1 notification: You are Ann | 2 chat: Not for you, {Bo}"},
      {"a near miss keeps today's rule: the message sends nothing",
       Timed(R"("MessageToSend": "{player}", "MessageType": "Server")"), "join 1 Ann\nwait 1\n", ""},
      {"a doubled brace is one brace, not a placeholder", Timed(R"("MessageToSend": "{{Player}} is {Player}")"),
       "join 1 Ann\nwait 1\n", "1 chat: {Player} is Ann"},
      {"a key that is not true leaves the names to today's rule",
       Timed(R"("MessageToSend": "Hi {Player}")", R"("true")"), "join 1 Ann\nwait 1\n", ""},
  };
  for (const Case& c : cases) {
    const heraldix::test::ServerDir dir(c.config);
    const auto run = heraldix::test::RunScenarioInZone(c.scenario, dir, c.zone);
    heraldix::test::ExpectNoFaults(run);
    EXPECT_EQ(Shown(run), c.expected) << c.story;
  }
}

}  // namespace
