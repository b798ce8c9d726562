// The real plug-in on the simulated server when things go wrong around it: config.json cut short or
// half-written at a reload, and players vanishing from the world's list between broadcasts. Nothing may be
// lost, leaked or faulted.
#include <algorithm>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::EventsOf;
using heraldix::test::ExpectNoFaults;
using heraldix::test::LiveServer;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
using nlohmann::json;

// The texts of the server lines one player received.
Strings ServerTextsTo(const std::vector<json>& events, std::string_view id) {
  Strings texts;
  for (const json& event : EventsOf(events, "server")) {
    if (event.at("to") == id) texts.push_back(event.at("text"));
  }
  return texts;
}

// Two configurations told apart by everything the plug-in reads from them: a chat command, a timed
// message. No trailing newline, so no proper prefix of the second is a whole JSON value.
constexpr std::string_view First =
    R"({"CustomCommands": {"/first": {"Message": "first reply", "Type": "Server"}},)"
    R"( "TimedMessages": {"Enabled": true, "Interval": 1, "Messages": [{"MessageToSend": "first timed", "MessageType": "Server"}]}})";
constexpr std::string_view Second =
    R"({"CustomCommands": {"/second": {"Message": "second reply", "Type": "Server"}},)"
    R"( "TimedMessages": {"Enabled": true, "Interval": 1, "Messages": [{"MessageToSend": "second timed", "MessageType": "Server"}]}})";

// Whether a reader that takes the first JSON value of the text and ignores the rest would get one.
bool StartsWithAValue(const std::string& text) {
  std::istringstream in(text);
  json value;
  try {
    in >> value;
    return true;
  } catch (const json::exception&) {
    return false;
  }
}

// One reload through the console by player 1, then what the players meet afterwards: the first
// configuration still in force, and "/second" no command, so everyone sees it as chat.
void ExpectReloadFailsAndFirstStays(LiveServer& server, const std::string& what) {
  SCOPED_TRACE(what);
  server.Take();
  for (const char* line : {"console 1 hx.reload", "chat 1 /first", "chat 1 /second", "wait 1"}) server.Line(line);
  const auto events = server.Take();
  EXPECT_EQ(ServerTextsTo(events, "1"), (Strings{"Heraldix: Failed to reload config", "first reply", "first timed"}));
  EXPECT_EQ(Texts(EventsOf(events, "chat")), Strings{"/second"});
}

TEST(Faults, AReloadOfAConfigCutOrHalfWrittenAnywhereKeepsThePreviousConfiguration) {
  ServerDir dir(First);
  LiveServer server(dir);
  server.Line("join 1 Alice");
  for (std::size_t cut = 0; cut < Second.size() && !HasFailure(); ++cut) {
    const std::string at = " after " + std::to_string(cut) + " bytes";
    dir.WriteConfig(Second.substr(0, cut));
    ExpectReloadFailsAndFirstStays(server, "cut" + at);
    if (cut % 7 != 0) continue;
    // A writer that died midway: the file has its full size, but the rest is zeros or old bytes.
    std::string zeros(Second.substr(0, cut));
    zeros.resize(Second.size(), '\0');
    dir.WriteConfig(zeros);
    ExpectReloadFailsAndFirstStays(server, "zeros" + at);
    std::string mixed(Second.substr(0, cut));
    mixed += First.substr(std::min(cut, First.size()));
    if (mixed != First && mixed != Second) {
      // Old bytes behind new ones are rarely valid JSON; when they are, the reload may take them.
      dir.WriteConfig(mixed);
      if (!StartsWithAValue(mixed)) ExpectReloadFailsAndFirstStays(server, "old bytes" + at);
      dir.WriteConfig(First);
      server.Line("console 1 hx.reload");
    }
  }
  // The whole file, at last, is taken.
  server.Take();
  server.Line("config-text " + std::string(Second));
  for (const char* line : {"console 1 hx.reload", "chat 1 /second", "wait 1"}) server.Line(line);
  EXPECT_EQ(ServerTextsTo(server.Take(), "1"), (Strings{"Heraldix: Reloaded config", "second reply", "second timed"}));
  server.Unload();
  ExpectNoFaults(server);
}

TEST(Faults, PlayersWhoLeaveOrGoStaleBetweenBroadcastsAreSkippedAndNobodyElseIsMissed) {
  // Two messages alternate: one for everyone (the all-players walk) and one that excludes a group (the
  // walk that asks each player's id and groups), so both walks meet the vanishing players.
  ServerDir dir(R"({"TimedMessages": {"Enabled": true, "Interval": 1, "Messages": [
      {"MessageToSend": "all", "MessageType": "Server"},
      {"MessageToSend": "most", "MessageType": "Notification", "Exclude_Permissions_Groups": ["muted"]}]}})");
  LiveServer server(dir);
  const auto muted = [](std::uint64_t id) { return id % 5 == 0; };
  std::set<std::uint64_t> online;
  std::set<std::uint64_t> stale;
  std::uint64_t nextId = 1;
  const auto join = [&] {
    const std::uint64_t id = nextId++;
    server.Line("join " + std::to_string(id) + " P" + std::to_string(id) + (muted(id) ? " muted" : ""));
    online.insert(id);
  };
  const auto nth = [&](int n) { return *std::next(online.begin(), n % static_cast<int>(online.size())); };
  for (int i = 0; i < 60; ++i) join();
  for (int second = 1; second <= 120; ++second) {
    SCOPED_TRACE("second " + std::to_string(second));
    // Between two timer calls: one player leaves, one goes stale, a stale entry is cleared, two join.
    const std::uint64_t leaving = nth(second);
    server.Line("leave " + std::to_string(leaving));
    online.erase(leaving);
    const std::uint64_t vanishing = nth(second * 7);
    server.Line("stale " + std::to_string(vanishing));
    online.erase(vanishing);
    stale.insert(vanishing);
    if (second % 3 == 0) {
      server.Line("leave " + std::to_string(*stale.begin()));
      stale.erase(stale.begin());
    }
    join();
    join();
    server.Take();
    server.Line("wait 1");
    std::multiset<std::uint64_t> reached;
    std::set<std::string> texts;
    for (const json& event : server.Take()) {
      if (event.at("event") != "server" && event.at("event") != "notification") continue;
      reached.insert(std::stoull(event.at("to").get<std::string>()));
      texts.insert(event.at("text").get<std::string>());
    }
    ASSERT_EQ(texts.size(), 1U);
    std::multiset<std::uint64_t> expected;
    for (std::uint64_t id : online) {
      if (*texts.begin() == "all" || !muted(id)) expected.insert(id);
    }
    ASSERT_EQ(reached, expected);
  }
  server.Unload();
  ExpectNoFaults(server);
}

}  // namespace
