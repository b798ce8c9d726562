// `heraldix-sim serve` as a process, the way an admin or a service manager runs it: its standard input,
// its outputs and what becomes of them, its RCON port, and how it ends.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "sim/rcon/RconPacket.h"
#include "tests/support/Expect.h"
#include "tests/support/RconClient.h"
#include "tests/support/SimProcess.h"
#include "tests/support/Support.h"

using heraldix::test::RconClient;
using heraldix::test::SimProcess;
using heraldix::test::Strings;
using heraldix::test::Texts;
using sim::rcon::Auth;
using sim::rcon::Command;
using sim::rcon::Packet;
using sim::rcon::ResponseValue;

namespace {

std::vector<std::string> ServeArgs(const heraldix::test::ServerDir& dir, std::vector<std::string> more = {}) {
  std::vector<std::string> args = {"serve", "--json", "--server-dir", dir.Path().string()};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

constexpr const char* Config = R"({"Heraldix": {"ServerMessageColor": {"R": 255, "G": 0, "B": 0}}})";

}  // namespace

TEST(Serve, PlaysItsScriptThenStandardInputAndEndsWithItsInputOnceEveryLineHasPlayed) {
  heraldix::test::ServerDir dir(Config);
  const auto script = dir.Path() / "opening.scenario";
  std::ofstream(script) << "join 7 Ann\nwait 1\nrcon hx.sendserver 7 \"after a second\"\n";
  SimProcess sim(ServeArgs(dir, {"--script", script.string()}));
  sim.Write("# a comment\nhelp\nrcon hx.sendserver 0 \"to all\"\nnot-a-command\n");
  sim.CloseInput();
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  // help lists the lines on standard error, out of the way of the events.
  EXPECT_NE(sim.err.find("\n  join ID NAME [GROUP...]\n"), std::string::npos) << sim.err;
  // A bad line is reported with its place and the server goes on.
  EXPECT_NE(sim.err.find("stdin:4: unknown command \"not-a-command\""), std::string::npos) << sim.err;
  // The wait holds the lines after it for one game second.
  EXPECT_EQ(Texts(sim.Events("server")), (Strings{"after a second", "to all"})) << sim.out;
  EXPECT_EQ(Texts(sim.Events("server"), "t"), (Strings{"1", "1"}));
}

TEST(Serve, RefusesToStartOnABadScriptOrAnIncompleteCommandLine) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* says;
  };
  heraldix::test::ServerDir dir(Config);
  const auto script = dir.Path() / "bad.scenario";
  std::ofstream(script) << "join 7 Ann\nwait soon\n";
  const Row rows[] = {
      {"a bad script line", {"--script", script.string()}, "bad.scenario:2: bad number of seconds \"soon\""},
      {"a remote console without a password", {"--rcon-port", "0"}, "--rcon-password"},
      {"no console and no remote console", {"--no-console"}, "--no-console needs --rcon-port"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimProcess sim(ServeArgs(dir, row.args));
    EXPECT_EQ(sim.Wait(), 2);
    EXPECT_NE(sim.err.find(row.says), std::string::npos) << sim.err;
    EXPECT_TRUE(sim.Events("server").empty());
  }
}

TEST(Serve, WithoutAConsoleItRunsWithStandardInputClosedUntilSigterm) {
  heraldix::test::ServerDir dir(Config);
  const auto script = dir.Path() / "opening.scenario";
  std::ofstream(script) << "join 7 Ann\nwait 1\nrcon hx.sendserver 7 \"a second on\"\n";
  SimProcess sim(
      ServeArgs(dir, {"--no-console", "--rcon-port", "0", "--rcon-password", "pw", "--script", script.string()}));
  sim.CloseInput();  // as a service manager starts it: </dev/null
  const int port = sim.RconPort();
  ASSERT_GT(port, 0) << sim.err;
  // The game's timer goes on after its input ended: the line held for one more timer call plays.
  ASSERT_TRUE(sim.ReadUntil([&] { return !sim.Events("server").empty(); })) << sim.err;
  EXPECT_EQ(sim.Events("server").at(0).at("text"), "a second on");
  EXPECT_EQ(sim.Events("server").at(0).at("t"), 1);
  RconClient admin(static_cast<std::uint16_t>(port));
  admin.Send({{1, Auth, "pw"}, {2, Command, "hx.sendserver 0 \"still here\""}});
  EXPECT_EQ(admin.Receive(3).back(), (Packet{2, ResponseValue, "Heraldix: Successfully sent message to everyone"}));
  EXPECT_TRUE(sim.Running());
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  EXPECT_NE(sim.err.find("serve: stopped; the plug-in is unloaded"), std::string::npos) << sim.err;
}

// `heraldix-sim serve ... | head -5`, and the same for standard error: the server outlives its reader.
class ServeReaderGone : public testing::TestWithParam<bool> {};

TEST_P(ServeReaderGone, EndsOnlyThatOutputAndTheServerStopsCleanlyLater) {
  const bool standardOutput = GetParam();
  heraldix::test::ServerDir dir(Config);
  SimProcess sim(ServeArgs(dir, {"--trace", "--rcon-port", "0", "--rcon-password", "pw"}));
  const int port = sim.RconPort();
  ASSERT_GT(port, 0) << sim.err;
  sim.Write("join 7 Ann\n");
  ASSERT_TRUE(sim.ReadUntil([&] { return !sim.out.empty(); }));
  if (standardOutput) {
    sim.CloseOutput();
  } else {
    sim.CloseErrors();
  }
  // Events for the closed output (the replies' rcon events) and notes for it (connections opening and
  // closing): neither may end the server.
  for (int client = 1; client <= 3; ++client) {
    RconClient admin(static_cast<std::uint16_t>(port));
    admin.Send({{1, Auth, "pw"}, {2, Command, "hx.sendserver 7 \"hello\""}});
    EXPECT_EQ(admin.Receive(3).back(), (Packet{2, ResponseValue, "Heraldix: Successfully sent message to player"}));
  }
  sim.Write("rcon hx.sendserver 7 \"and from the console\"\nquit\nrcon hx.sendserver 7 \"after quit\"\n");
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  // The plug-in was unloaded on the way out: the output still read says so.
  if (standardOutput) {
    EXPECT_NE(sim.err.find("serve: standard output is closed; events are no longer written"), std::string::npos);
    EXPECT_NE(sim.err.find("serve: stopped; the plug-in is unloaded"), std::string::npos) << sim.err;
  } else {
    EXPECT_EQ(sim.Events("server").size(), 4U) << "nothing after quit runs\n" << sim.out;
    EXPECT_EQ(sim.Events("trace").back().at("call"), "RemoveHook") << sim.out;
    EXPECT_TRUE(sim.Events("fault").empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Outputs, ServeReaderGone, testing::Bool(), [](const testing::TestParamInfo<bool>& test) {
  return std::string(test.param ? "StandardOutput" : "StandardError");
});

TEST(Serve, AStalledReaderDelaysNoReplyAndLearnsHowManyEventsWereDropped) {
  heraldix::test::ServerDir dir(Config);
  constexpr int Players = 100;
  constexpr int Commands = 300;
  const auto script = dir.Path() / "full-server.scenario";
  {
    std::ofstream joins(script);
    for (int id = 1; id <= Players; ++id) joins << "join " << id << " P" << id << "\n";
  }
  SimProcess sim(ServeArgs(dir, {"--script", script.string(), "--rcon-port", "0", "--rcon-password", "pw"}));
  const int port = sim.RconPort();
  ASSERT_GT(port, 0) << sim.err;
  // Nobody reads standard output from here on; each command sends a line to every player, far more than
  // a pipe holds. Every reply still arrives.
  RconClient admin(static_cast<std::uint16_t>(port));
  std::vector<Packet> requests{{1, Auth, "pw"}};
  for (int id = 2; id < Commands + 2; ++id) requests.push_back({id, Command, "hx.sendserver 0 \"news\""});
  admin.Send(requests);
  const auto replies = admin.Receive(2 + Commands);
  ASSERT_EQ(replies.size(), 2U + Commands) << sim.err;
  EXPECT_EQ(replies.back(), (Packet{Commands + 1, ResponseValue, "Heraldix: Successfully sent message to everyone"}));
  sim.Write("quit\n");
  EXPECT_EQ(sim.Wait(), 0) << sim.err;

  // Once read again, the output says where events went missing and how many; with the events written,
  // that makes every event the game made.
  std::uint64_t dropped = 0;
  for (const auto& event : sim.Events("dropped")) dropped += event.at("count").get<std::uint64_t>();
  EXPECT_GT(dropped, 0U);
  const std::size_t written = sim.Events("server").size() + sim.Events("rcon").size();
  EXPECT_EQ(written + dropped, static_cast<std::size_t>(Commands) * (Players + 1));
  EXPECT_NE(sim.err.find("serve: the output's reader fell behind: "), std::string::npos) << sim.err;
}
