// The real plug-in on the simulated server when things go wrong around it: config.json broken or gone at
// a reload, players vanishing from the world's list between broadcasts, and the library unloaded and
// loaded again with greetings still pending. Nothing may be lost, leaked or faulted.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/game/Allocator.h"
#include "sim/host/Host.h"
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

void ExpectReloadTakesSecondAndNothingLeaks(LiveServer& server) {
  server.Take();
  server.Line("config-text " + std::string(Second));
  for (const char* line : {"console 1 hx.reload", "chat 1 /second", "wait 1"}) server.Line(line);
  EXPECT_EQ(ServerTextsTo(server.Take(), "1"), (Strings{"Heraldix: Reloaded config", "second reply", "second timed"}));
  server.Unload();
  ExpectNoFaults(server);
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
  ExpectReloadTakesSecondAndNothingLeaks(server);
}

// Root reads files whatever their permissions say, so a test run as root takes an ordinary user's
// identity for as long as it needs, as a game server runs under one; the identity comes back whatever
// the test finds.
class AsOrdinaryUser {
 public:
  AsOrdinaryUser() : wasRoot_(::geteuid() == 0) {
    if (wasRoot_) switched_ = ::seteuid(NobodyId) == 0;
  }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
  ~AsOrdinaryUser() {
    if (switched_ && ::seteuid(0) != 0) std::abort();  // every later test would run as nobody
  }
  [[nodiscard]] bool Ready() const { return !wasRoot_ || switched_; }

 private:
  static constexpr uid_t NobodyId = 65534;
  bool wasRoot_;
  bool switched_ = false;
};

TEST(Faults, AReloadWithConfigRemovedOrUnreadableKeepsThePreviousConfiguration) {
  ServerDir dir(First);
  // The server directory is the user's own in a real install; here it must at least be open to them.
  namespace fs = std::filesystem;
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
  LiveServer server(dir);
  server.Line("join 1 Alice");
  const fs::path config = dir.ConfigPath();
  server.Line("config-rm");
  ExpectReloadFailsAndFirstStays(server, "removed");
  // In place of the file: a directory, a link to itself (which nobody can open, root included), a
  // dangling link.
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"a directory", [&] { fs::create_directory(config); }},
      {"a link loop", [&] { fs::create_symlink(config.filename(), config); }},
      {"a dangling link", [&] { fs::create_symlink("does-not-exist.json", config); }}};
  for (const auto& [what, make] : rows) {
    make();
    ExpectReloadFailsAndFirstStays(server, what);
    fs::remove(config);
  }
  dir.WriteConfig(Second);
  ASSERT_EQ(::chmod(config.c_str(), 0), 0);
  {
    const AsOrdinaryUser user;
    if (user.Ready()) {
      ExpectReloadFailsAndFirstStays(server, "no read permission");
    } else {
      std::cout << "not tried without read permission: root without the right to take another user's identity\n";
    }
  }
  ASSERT_EQ(::chmod(config.c_str(), 0600), 0);
  ExpectReloadTakesSecondAndNothingLeaks(server);
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

TEST(Faults, UnloadAndLoadCyclesWithGreetingsPendingLeaveNothingBehind) {
  ServerDir dir(R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Hi {0}"}},
      "CustomCommands": {"/hi": {"Message": "hello", "Type": "Server"}},
      "TimedMessages": {"Enabled": true, "Interval": 2, "Messages": [{"MessageToSend": "tick", "MessageType": "Server"}]}})");
  LiveServer server(dir);
  std::uint64_t nextId = 1;
  for (int cycle = 0; cycle < 25 && !HasFailure(); ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    // Greetings scheduled in this life, some with the delay almost over, then the library goes.
    const std::string first = std::to_string(nextId);
    std::string last;
    for (int i = 0; i < 4; ++i) {
      last = std::to_string(nextId++);
      server.Line("join " + last + " P" + last);
      server.Line("wait 1");
    }
    EXPECT_GT(sim::PendingTimerCalls(), 0U);
    server.Unload();
    EXPECT_EQ(sim::PendingTimerCalls(), 0U);
    EXPECT_EQ(sim::RegisteredCommandCount(), 0U);
    EXPECT_EQ(sim::InstalledHookCount(), 0U);
    EXPECT_EQ(sim::PluginMemory().blocks, 0);
    server.Take();
    // Time passes without the plug-in; then it comes back and runs as on a fresh start. The dropped delays
    // greet nobody: the players of the last life were possessed before this load.
    for (const char* line : {"wait 10", "load", "wait 10"}) server.Line(line);
    const auto quiet = server.Take();
    EXPECT_EQ(EventsOf(quiet, "chat").size(), 0U) << "greetings from an earlier life";
    EXPECT_EQ(ServerTextsTo(quiet, first).size(), 5U) << "timed messages every 2 s";
    // A new possession in this life is greeted once.
    for (const std::string verb : {"die ", "respawn "}) server.Line(verb + last);
    server.Line("chat " + last + " /hi");
    server.Line("wait 6");
    const auto events = server.Take();
    EXPECT_EQ(Texts(EventsOf(events, "chat"), "to"), Strings{last});
    EXPECT_EQ(ServerTextsTo(events, last).at(0), "hello");
  }
  server.Unload();
  ExpectNoFaults(server);
}

}  // namespace
