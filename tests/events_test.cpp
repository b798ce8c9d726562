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
#include "events/GameTimer.h"
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

// A configuration with timed messages on, the given interval (and any settings after it) and messages.
std::string Timed(std::string_view interval, std::string_view messages) {
  return R"({"TimedMessages": {"Enabled": true, "Interval": )" + std::string(interval) + R"(, "Messages": )" +
         std::string(messages) + "}}";
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

// --- Welcome --------------------------------------------------------------------------------------

// The simulated host drops a plug-in's pending calls when it unloads the library, but a host that runs
// one late must find it harmless: a delayed welcome from before the lists were forgotten marks nobody.
TEST(Events, ADelayedWelcomeFromBeforeTheListsWereForgottenMarksNobody) {
  heraldix::test::LiveGame game;
  ReplaceConfig(json::parse(R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}})"));
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
}

// --- Player counts and rotation -------------------------------------------------------------------

// Drawn at random, the two messages a lone player can get take every turn between them, never twice in a row.
TEST(Events, SkipUnreceivableDrawnAtRandomNeverWastesATurn) {
  ServerDir dir(Timed(R"(10, "Skip_Unreceivable": true, "Order": "Random")",
                      R"([{"MessageToSend": "vip", "MessageType": "Server", "Only_Send_To_Permission_Groups": ["VIP"]},
                          {"MessageToSend": "all", "MessageType": "Server"},
                          {"MessageToSend": "crowd", "MessageType": "Server", "Min_Players_Online": 5},
                          {"MessageToSend": "all2", "MessageType": "Server"}])"));
  auto run = RunScenario("join 1 A\nwait 200\n", dir);
  heraldix::test::ExpectNoFaults(run);
  const std::vector<std::string> texts = Texts(run.To("1", "server"));
  EXPECT_EQ(texts.size(), 20U);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_TRUE(texts[i] == "all" || texts[i] == "all2") << texts[i];
    if (i > 0) {
      EXPECT_NE(texts[i], texts[i - 1]);
    }
  }
}

}  // namespace
