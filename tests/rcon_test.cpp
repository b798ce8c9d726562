// Remote console: the packet parser and encoder on raw bytes, and the server over real loopback sockets.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

#include "sim/rcon/RconPacket.h"
#include "sim/rcon/RconServer.h"
#include "tests/support/RconClient.h"

using namespace sim::rcon;
using heraldix::test::RconClient;
using heraldix::test::Wire;

namespace {

std::string Int32Bytes(std::int32_t value) {
  std::string out;
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((bits >> shift) & 0xFFU));
  return out;
}

// A packet written by hand, so tests can state sizes and terminators the encoder would never produce.
std::string RawPacket(std::int32_t size, std::int32_t id, std::int32_t type, const std::string& rest) {
  return Int32Bytes(size) + Int32Bytes(id) + Int32Bytes(type) + rest;
}

// Packets as "id:type:body", joined by " | ", so that a row states a whole exchange as one value.
std::string Show(const std::vector<Packet>& packets) {
  std::string shown;
  for (const Packet& packet : packets) {
    shown += (shown.empty() ? "" : " | ") + std::to_string(packet.id) + ":" + std::to_string(packet.type) + ":" +
             packet.body;
  }
  return shown;
}

// Malformed packets, each with the reason the parser gives as soon as its fault arrives: a server that
// waited for more would never close the connection.
struct Malformed {
  std::string bytes;
  std::string reason;
};
const std::vector<Malformed> MalformedPackets = {
    // Sizes outside 10 to 4096, from the size alone.
    {Int32Bytes(9), "packet size 9 is below 10"},
    {Int32Bytes(4097), "packet size 4097 is above 4096"},
    {Int32Bytes(-1), "packet size -1 is negative"},
    // An unknown type, before the body arrives.
    {RawPacket(100, 1, 1, "partial"), "packet type 1 is unknown"},
    // A body without both terminators, or with a NUL inside.
    {RawPacket(12, 1, Command, std::string("ab\0x", 4)), "packet body lacks its two NUL terminators"},
    {RawPacket(13, 1, Command, std::string("a\0b\0\0", 5)), "packet body holds a NUL before its terminators"},
};

}  // namespace

// ---- wire format ----

TEST(Rcon, LongBodiesAreCutIntoPacketsAtCharacterBoundaries) {
  // The limit falls inside the two-byte "é": it must move to the next packet whole.
  const std::string body = std::string(MaxBodyBytes - 1, 'a') + "\xc3\xa9" + std::string(5000, 'b');
  std::string wire;
  AppendEncoded(wire, 9, ResponseValue, body);
  PacketParser parser;
  std::vector<Packet> packets;
  ASSERT_TRUE(parser.Feed(wire, packets)) << parser.Error();
  EXPECT_EQ(Show(packets), "9:0:" + std::string(MaxBodyBytes - 1, 'a') + " | 9:0:\xc3\xa9" +
                               std::string(MaxBodyBytes - 2, 'b') + " | 9:0:" + std::string(5002 - MaxBodyBytes, 'b'));
}

// ---- the server over loopback ----

namespace {

using Clock = RconServerOptions::Clock;

// Answers like a small game: a few fixed commands, and nothing for the rest.
struct FakeDispatch final : RconDispatch {
  std::vector<std::string> calls;
  std::vector<std::uint64_t> connections;  // of each call
  std::vector<std::uint64_t> closed;

  void Closed(std::uint64_t connection) override { closed.push_back(connection); }

  std::vector<std::string> Execute(std::uint64_t connection, std::int32_t, const std::string& line) override {
    calls.push_back(line);
    connections.push_back(connection);
    const std::string name = line.substr(0, line.find(' '));
    if (name == "echo") return {line.size() > 5 ? line.substr(5) : std::string()};
    if (name == "two") return {"first", "second"};
    if (name == "throw") throw std::runtime_error("handler broke");
    if (name == "big") return {std::string(10000, 'z')};
    return {};
  }
};

struct TestServer {
  asio::io_context io;
  FakeDispatch dispatch;
  Clock::time_point now = Clock::time_point() + std::chrono::hours(1);
  std::vector<std::string> notes;
  RconServer server;

  explicit TestServer(RconServerOptions options = {})
      : server(io, dispatch, [this, &options] {
          if (options.password.empty()) options.password = "pw";
          options.now = [this] { return now; };
          options.note = [this](const std::string& text) { notes.push_back(text); };
          return options;
        }()) {}

  // What the game loop does: run the network work that is ready, then the time limits.
  void RunFor(std::chrono::milliseconds span) {
    io.restart();
    io.run_for(span);
    server.ApplyTimeLimits();
  }
  void Advance(std::chrono::seconds span) {
    now += span;
    io.restart();
    io.poll();
    server.ApplyTimeLimits();
  }
  // A client whose waits run this server's loop.
  std::unique_ptr<RconClient> Connect() {
    return std::make_unique<RconClient>(server.Port(), [this] { RunFor(std::chrono::milliseconds(2)); });
  }
};

}  // namespace

TEST(Rcon, EveryRequestIsAnsweredInArrivalOrderWithItsId) {
  struct Row {
    const char* name;
    std::vector<Packet> sent;      // in one write
    std::string answers;           // as Show writes them
    std::vector<std::string> run;  // what reached the game
    bool byteByByte = false;
  };
  const Packet login{1, Auth, "pw"};
  const Row rows[] = {
      // A login is answered with an empty value, then the auth response with the request's id.
      {"a wrong password is answered with -1 and runs nothing until a right one",
       {{5, Auth, "wrong"}, {6, Command, "echo x"}, {7, Auth, "pw"}},
       "5:0: | -1:2: | -1:2: | 7:0: | 7:2:",
       {}},
      {"requests before login are refused and never reach the game",
       {{3, Command, "echo sneaky"}, {4, ResponseValue, ""}, login, {5, ResponseValue, ""}},
       "-1:2: | -1:2: | 1:0: | 1:2: | 5:0:",
       {}},
      {"a handler that says nothing or breaks still answers",
       {login, {11, Command, "silent"}, {12, Command, "throw"}},
       "1:0: | 1:2: | 11:0: | 12:0:",
       {"silent", "throw"}},
      // Several replies to one request in order; an empty value is mirrored back.
      {"pipelined requests in one segment",
       {login, {2, Command, "echo a"}, {3, Command, "two"}, {4, Command, "echo b"}, {5, ResponseValue, ""}},
       "1:0: | 1:2: | 2:0:a | 3:0:first | 3:0:second | 4:0:b | 5:0:",
       {"echo a", "two", "echo b"}},
      {"requests split into single bytes",
       {login, {2, Command, "echo split"}},
       "1:0: | 1:2: | 2:0:split",
       {"echo split"},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TestServer test;
    const auto client = test.Connect();
    const std::string wire = Wire(row.sent);
    if (row.byteByByte) {
      for (char byte : wire) client->SendRaw(std::string_view(&byte, 1));
    } else {
      client->SendRaw(wire);
    }
    EXPECT_EQ(Show(client->Receive(std::count(row.answers.begin(), row.answers.end(), '|') + 1)), row.answers);
    EXPECT_EQ(test.dispatch.calls, row.run);
    EXPECT_TRUE(client->Alive());
  }
}

TEST(Rcon, AHostilePacketClosesOnlyItsOwnConnection) {
  TestServer test;
  const auto bystander = test.Connect();
  bystander->Login();
  for (const Malformed& row : MalformedPackets) {
    SCOPED_TRACE(row.reason);
    const auto attacker = test.Connect();
    attacker->Login();
    attacker->SendRaw(Encode(Packet{2, Command, "echo before"}) + row.bytes);
    // What came before the bad packet is still answered; then the connection ends, and says why.
    EXPECT_EQ(attacker->Receive(1), (std::vector<Packet>{{2, ResponseValue, "before"}}));
    EXPECT_TRUE(attacker->Closed());
    EXPECT_EQ(test.dispatch.calls.back(), "echo before") << "nothing of the bad packet reaches the game";
    EXPECT_TRUE(bystander->Alive());
    const auto noted = std::find_if(test.notes.begin(), test.notes.end(), [&](const std::string& note) {
      return note.find("malformed packet: " + row.reason) != std::string::npos;
    });
    EXPECT_NE(noted, test.notes.end());
  }
  EXPECT_EQ(test.server.ConnectionCount(), 1U);
}

TEST(Rcon, FiveFailedLoginsInAMinuteRefuseTheAddressForFiveMinutesButNotWhenSpreadOut) {
  TestServer test;
  const auto admin = test.Connect();
  admin->Login();
  {
    const auto patient = test.Connect();
    for (int attempt = 1; attempt <= 8; ++attempt) {
      patient->Send(Packet{attempt, Auth, "guess"});
      EXPECT_EQ(patient->Receive(2).size(), 2U);
      test.now += std::chrono::seconds(16);  // never five within one minute
    }
    EXPECT_TRUE(patient->Alive());
    patient->Login();
  }
  test.now += std::chrono::minutes(1);
  {
    const auto guesser = test.Connect();
    for (int attempt = 1; attempt <= 4; ++attempt) {
      guesser->Send(Packet{attempt, Auth, "guess"});
      EXPECT_EQ(guesser->Receive(2).at(1).id, -1);
      test.Advance(std::chrono::seconds(10));
    }
    EXPECT_TRUE(guesser->Alive());
    guesser->Send(Packet{5, Auth, "guess"});
    EXPECT_EQ(guesser->Receive(2), (std::vector<Packet>{{5, ResponseValue, ""}, {-1, AuthResponse, ""}}));
    EXPECT_TRUE(guesser->Closed());
  }
  EXPECT_TRUE(test.Connect()->Closed());  // even with the right password
  EXPECT_TRUE(admin->Alive());            // a connection already logged in keeps working
  test.Advance(std::chrono::minutes(4) + std::chrono::seconds(59));
  EXPECT_TRUE(test.Connect()->Closed());
  test.now += std::chrono::seconds(1);
  const auto back = test.Connect();
  back->Login();
  EXPECT_TRUE(back->Alive());
  for (const std::string& note : test.notes)
    EXPECT_EQ(note.find("guess"), std::string::npos) << "a password in " << note;
}

TEST(Rcon, IdleConnectionsCloseAfterTenMinutesWithoutARequest) {
  TestServer test;
  const auto quiet = test.Connect();
  const auto busy = test.Connect();
  busy->Login();
  test.Advance(std::chrono::minutes(9));
  EXPECT_TRUE(busy->Alive());  // a request restarts its ten minutes
  test.Advance(std::chrono::seconds(59));
  EXPECT_EQ(test.server.ConnectionCount(), 2U);
  test.Advance(std::chrono::seconds(1));
  EXPECT_TRUE(quiet->Closed());
  EXPECT_EQ(test.server.ConnectionCount(), 1U);
  EXPECT_TRUE(busy->Alive());
  test.Advance(std::chrono::minutes(10));
  EXPECT_TRUE(busy->Closed());
}

TEST(Rcon, AtMostSixteenConnectionsAreOpenAtOnce) {
  TestServer test;
  std::vector<std::unique_ptr<RconClient>> clients;
  for (int i = 0; i < 16; ++i) {
    clients.push_back(test.Connect());
    clients.back()->Login();
  }
  EXPECT_EQ(test.server.ConnectionCount(), 16U);
  const auto refused = test.Connect();
  EXPECT_TRUE(refused->Closed());
  EXPECT_EQ(test.notes.back(), "rcon: refused " + refused->Who() + ": 16 connections already open");
  clients.pop_back();
  EXPECT_TRUE(clients.front()->Until([&] { return test.server.ConnectionCount() < 16U; }));
  const auto again = test.Connect();
  again->Login();
  EXPECT_TRUE(again->Alive());
}

TEST(Rcon, AClientThatNeverReadsIsDroppedInsteadOfBufferedForever) {
  RconServerOptions options;
  options.maxPendingOutput = 4096;
  TestServer test(options);
  const auto client = test.Connect();
  client->Login();
  client->Send(Packet{30, Command, "big"});
  EXPECT_TRUE(client->Closed());
  EXPECT_EQ(test.server.ConnectionCount(), 0U);
}

TEST(Rcon, EachConnectionIsNumberedForTheGameAndItsEndIsReportedAndNoted) {
  TestServer test;
  auto first = test.Connect();
  const auto second = test.Connect();
  first->Login();
  second->Login();
  for (RconClient* client : {first.get(), second.get(), first.get()}) {
    client->Send(Packet{1, Command, "echo a"});
    EXPECT_EQ(client->Receive(1).size(), 1U);
  }
  const auto& connections = test.dispatch.connections;
  ASSERT_EQ(connections.size(), 3U);
  EXPECT_EQ(connections[0], connections[2]);
  EXPECT_NE(connections[0], connections[1]);
  const std::string who = first->Who();
  first.reset();
  EXPECT_TRUE(second->Until([&] { return !test.dispatch.closed.empty(); }));
  EXPECT_EQ(test.dispatch.closed, (std::vector<std::uint64_t>{connections[0]}));
  EXPECT_EQ(test.notes.back(), "rcon: closed connection from " + who + ": closed by the client");
}

TEST(Rcon, TheLoopRunsOnSafelyAfterTheServerIsGone) {
  asio::io_context io;
  FakeDispatch dispatch;
  RconServerOptions options;
  options.password = "pw";
  auto server = std::make_unique<RconServer>(io, dispatch, options);
  RconClient client(server->Port(), [&] { io.run_for(std::chrono::milliseconds(2)); });
  client.Send({{1, Auth, "pw"}, {2, Command, "echo x"}});
  ASSERT_TRUE(client.Until([&] { return !dispatch.calls.empty(); }));
  // A request already on its way when the server goes must find nobody to run it.
  client.Send(Packet{3, Command, "echo late"});
  server.reset();
  io.restart();
  // Every handler the server left behind runs; the loop ends as soon as none is left.
  io.run_for(std::chrono::minutes(1));
  EXPECT_EQ(dispatch.calls.size(), 1U);
  EXPECT_EQ(dispatch.closed.size(), 1U);
}
