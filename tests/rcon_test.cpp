// Remote console: the packet parser and encoder on raw bytes, and the server over real loopback sockets.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/write.hpp>

#include <nlohmann/json.hpp>

#include "sim/rcon/RconPacket.h"
#include "sim/rcon/RconServer.h"
#include "tests/support/Support.h"

using heraldix::rcon::AppendEncoded;
using heraldix::rcon::Auth;
using heraldix::rcon::AuthResponse;
using heraldix::rcon::Command;
using heraldix::rcon::Encode;
using heraldix::rcon::Packet;
using heraldix::rcon::PacketParser;
using heraldix::rcon::RconDispatch;
using heraldix::rcon::RconServer;
using heraldix::rcon::RconServerOptions;
using heraldix::rcon::ResponseValue;

namespace {

std::string Int32Bytes(std::int32_t value) {
  std::string out;
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<char>((bits >> shift) & 0xFFU));
  }
  return out;
}

// A packet written by hand, so tests can state sizes and terminators the encoder would never produce.
std::string RawPacket(std::int32_t size, std::int32_t id, std::int32_t type, const std::string& rest) {
  return Int32Bytes(size) + Int32Bytes(id) + Int32Bytes(type) + rest;
}

std::vector<Packet> ParseAll(const std::string& bytes, PacketParser& parser) {
  std::vector<Packet> out;
  parser.Feed(bytes, out);
  return out;
}

const std::vector<Packet> Three = {{1, Auth, "secret"}, {2, Command, "hx.reload"}, {3, ResponseValue, ""}};

std::string Stream(const std::vector<Packet>& packets) {
  std::string out;
  for (const Packet& packet : packets) {
    out += Encode(packet);
  }
  return out;
}

}  // namespace

// ---- wire format ----

TEST(Rcon, EncodesLittleEndianHeaderBodyAndTwoTerminators) {
  const std::string bytes = Encode(Packet{0x01020304, Command, "hi"});
  const std::string expected("\x0c\x00\x00\x00\x04\x03\x02\x01\x02\x00\x00\x00hi\x00\x00", 16);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(Encode(Packet{-1, AuthResponse, ""}), RawPacket(10, -1, 2, std::string(2, '\0')));
}

TEST(Rcon, EncoderRefusesABodyTooLongForOnePacket) {
  EXPECT_NO_THROW((void)Encode(Packet{1, ResponseValue, std::string(heraldix::rcon::MaxBodyBytes, 'a')}));
  EXPECT_THROW((void)Encode(Packet{1, ResponseValue, std::string(heraldix::rcon::MaxBodyBytes + 1, 'a')}),
               std::length_error);
}

TEST(Rcon, LongBodiesAreCutIntoPacketsAtCharacterBoundaries) {
  // The limit falls inside the two-byte "é": it must move to the next packet whole.
  const std::string body = std::string(heraldix::rcon::MaxBodyBytes - 1, 'a') + "\xc3\xa9" + std::string(5000, 'b');
  std::string wire;
  AppendEncoded(wire, 9, ResponseValue, body);
  PacketParser parser;
  const auto packets = ParseAll(wire, parser);
  ASSERT_FALSE(parser.Broken()) << parser.Error();
  ASSERT_EQ(packets.size(), 3U);
  EXPECT_EQ(packets[0].body.size(), heraldix::rcon::MaxBodyBytes - 1);
  EXPECT_EQ(packets[1].body.substr(0, 2), "\xc3\xa9");
  std::string joined;
  for (const Packet& packet : packets) {
    EXPECT_EQ(packet.id, 9);
    EXPECT_EQ(packet.type, ResponseValue);
    joined += packet.body;
  }
  EXPECT_EQ(joined, body);

  std::string empty;
  AppendEncoded(empty, 4, ResponseValue, "");
  EXPECT_EQ(empty, Encode(Packet{4, ResponseValue, ""}));
}

TEST(Rcon, ParsesPacketsHoweverTheyAreCut) {
  const std::string wire = Stream(Three);
  for (std::size_t cut = 0; cut <= wire.size(); ++cut) {
    PacketParser parser;
    std::vector<Packet> out;
    ASSERT_TRUE(parser.Feed(wire.substr(0, cut), out));
    ASSERT_TRUE(parser.Feed(wire.substr(cut), out));
    EXPECT_EQ(out, Three) << "cut at " << cut;
    EXPECT_EQ(parser.Pending(), 0U);
  }
  PacketParser parser;
  std::vector<Packet> out;
  for (char byte : wire) ASSERT_TRUE(parser.Feed(std::string_view(&byte, 1), out));
  EXPECT_EQ(out, Three);
}

TEST(Rcon, AcceptsTheSmallestAndLargestSizes) {
  PacketParser parser;
  const std::string largest(heraldix::rcon::MaxBodyBytes, 'x');
  const auto packets = ParseAll(
      RawPacket(10, 1, Command, std::string(2, '\0')) + RawPacket(4096, 2, Command, largest + std::string(2, '\0')),
      parser);
  ASSERT_FALSE(parser.Broken()) << parser.Error();
  ASSERT_EQ(packets.size(), 2U);
  EXPECT_EQ(packets[0].body, "");
  EXPECT_EQ(packets[1].body, largest);
}

TEST(Rcon, RejectsAMalformedPacketAsSoonAsItsFaultArrives) {
  struct Row {
    std::string bytes;
    std::string reason;
  };
  const Row rows[] = {
      // Sizes outside 10 to 4096, from the size alone.
      {Int32Bytes(9), "packet size 9 is below 10"},
      {Int32Bytes(0), "packet size 0 is below 10"},
      {Int32Bytes(4097), "packet size 4097 is above 4096"},
      {Int32Bytes(-1), "packet size -1 is negative"},
      {Int32Bytes(INT32_MIN), "packet size -2147483648 is negative"},
      {Int32Bytes(INT32_MAX), "packet size 2147483647 is above 4096"},
      // Unknown types, before the body arrives.
      {RawPacket(100, 1, 1, "partial"), "packet type 1 is unknown"},
      {RawPacket(100, 1, 4, "partial"), "packet type 4 is unknown"},
      {RawPacket(100, 1, 5, "partial"), "packet type 5 is unknown"},
      {RawPacket(100, 1, -1, "partial"), "packet type -1 is unknown"},
      {RawPacket(100, 1, 100, "partial"), "packet type 100 is unknown"},
      // Bodies without both terminators, or with a NUL inside.
      {RawPacket(12, 1, Command, std::string("ab\0x", 4)), "packet body lacks its two NUL terminators"},
      {RawPacket(12, 1, Command, std::string("abx\0", 4)), "packet body lacks its two NUL terminators"},
      {RawPacket(12, 1, Command, "abxy"), "packet body lacks its two NUL terminators"},
      {RawPacket(13, 1, Command, std::string("a\0b\0\0", 5)), "packet body holds a NUL before its terminators"},
  };
  for (const Row& row : rows) {
    PacketParser parser;
    std::vector<Packet> out;
    EXPECT_FALSE(parser.Feed(row.bytes, out)) << row.reason;
    EXPECT_EQ(parser.Error(), row.reason);
    EXPECT_TRUE(out.empty());
  }
}

TEST(Rcon, PacketsBeforeABrokenOneAreKeptAndTheStreamStaysBroken) {
  PacketParser parser;
  std::vector<Packet> out;
  EXPECT_FALSE(parser.Feed(Stream(Three) + Int32Bytes(5), out));
  EXPECT_EQ(out, Three);
  EXPECT_TRUE(parser.Broken());
  out.clear();
  EXPECT_FALSE(parser.Feed(Encode(Packet{4, Command, "more"}), out));
  EXPECT_TRUE(out.empty());
}

TEST(Rcon, GarbageNeverMisleadsTheParser) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> piece(1, 64);
  for (int round = 0; round < 300; ++round) {
    std::string wire = Stream(Three);
    const std::size_t spot = static_cast<std::size_t>(random() % wire.size());
    wire[spot] = static_cast<char>(byte(random));
    PacketParser parser;
    std::vector<Packet> out;
    for (std::size_t at = 0; at < wire.size();) {
      const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(piece(random)), wire.size() - at);
      parser.Feed(std::string_view(wire).substr(at, take), out);
      at += take;
    }
    for (const Packet& packet : out) {
      EXPECT_TRUE(packet.type == 0 || packet.type == 2 || packet.type == 3);
      EXPECT_LE(packet.body.size(), heraldix::rcon::MaxBodyBytes);
      EXPECT_EQ(packet.body.find('\0'), std::string::npos);
    }
    EXPECT_LE(parser.Pending(), wire.size());
  }
}

// ---- the server over loopback ----

namespace {

using Clock = RconServerOptions::Clock;

// Answers like a small game: a few fixed commands, and the unknown-command reply for the rest.
struct FakeDispatch final : RconDispatch {
  std::vector<std::pair<std::int32_t, std::string>> calls;
  std::vector<std::uint64_t> connections;  // of each call
  std::vector<std::uint64_t> closed;

  void Closed(std::uint64_t connection) override { closed.push_back(connection); }

  std::vector<std::string> Execute(std::uint64_t connection, std::int32_t id, const std::string& line) override {
    calls.emplace_back(id, line);
    connections.push_back(connection);
    const std::string name = line.substr(0, line.find(' '));
    if (name == "echo") {
      return {line.size() > 5 ? line.substr(5) : std::string()};
    }
    if (name == "two") {
      return {"first", "second"};
    }
    if (name == "silent") {
      return {};
    }
    if (name == "throw") {
      throw std::runtime_error("handler broke");
    }
    if (name == "big") {
      return {std::string(10000, 'z')};
    }
    return {"Unknown command: " + name};
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
          if (options.password.empty()) {
            options.password = "pw";
          }
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
};

// The test's side of a connection. Its reads never block: between attempts it lets the server run, and
// a generous round limit turns a server that never answers into a failure instead of a hang.
class Client {
 public:
  Client(TestServer& test) : test_(test), socket_(io_) {
    socket_.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), test.server.Port()));
    socket_.non_blocking(true);
  }

  void SendRaw(std::string_view bytes) {
    for (int round = 0; !bytes.empty() && round < Rounds; ++round) {
      asio::error_code error;
      const std::size_t sent = socket_.write_some(asio::buffer(bytes.data(), bytes.size()), error);
      if (error && error != asio::error::would_block) {
        return;  // the server closed on us; the test looks at that through Closed()
      }
      bytes.remove_prefix(sent);
      test_.RunFor(std::chrono::milliseconds(1));
    }
  }
  void Send(const Packet& packet) { SendRaw(Encode(packet)); }
  // The client's own end, as the server's notes name it.
  std::string Who() const { return "127.0.0.1:" + std::to_string(socket_.local_endpoint().port()); }

  std::vector<Packet> Receive(std::size_t count) {
    for (int round = 0; received_.size() < count && !eof_ && round < Rounds; ++round) {
      test_.RunFor(std::chrono::milliseconds(2));
      ReadAvailable();
    }
    const std::size_t take = std::min(count, received_.size());
    std::vector<Packet> out(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(take));
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(take));
    return out;
  }

  // True once the server has closed the connection; packets that came before are still Receive()d.
  bool Closed() {
    for (int round = 0; !eof_ && round < Rounds; ++round) {
      test_.RunFor(std::chrono::milliseconds(2));
      ReadAvailable();
    }
    return eof_;
  }

  // The connection is still open: the server answers a mirror request on it (with a refusal before login).
  bool Alive() {
    Send(Packet{555, ResponseValue, ""});
    const auto answer = Receive(1);
    return !eof_ && answer.size() == 1 &&
           (answer[0] == Packet{555, ResponseValue, ""} || answer[0] == Packet{-1, AuthResponse, ""});
  }

  void Login(const std::string& password = "pw") {
    Send(Packet{1000, Auth, password});
    const auto answer = Receive(2);
    ASSERT_EQ(answer.size(), 2U);
    ASSERT_EQ(answer[1].id, 1000) << "login refused";
  }

 private:
  static constexpr int Rounds = 2500;

  void ReadAvailable() {
    std::array<char, 8192> buffer{};
    for (;;) {
      asio::error_code error;
      const std::size_t got = socket_.read_some(asio::buffer(buffer), error);
      if (error == asio::error::would_block) {
        return;
      }
      if (error) {
        eof_ = true;
        return;
      }
      ASSERT_TRUE(parser_.Feed(std::string_view(buffer.data(), got), received_)) << parser_.Error();
    }
  }

  TestServer& test_;
  asio::io_context io_;
  asio::ip::tcp::socket socket_;
  PacketParser parser_;
  std::vector<Packet> received_;
  bool eof_ = false;
};

}  // namespace

TEST(Rcon, ServerRefusesToStartWithoutAPassword) {
  asio::io_context io;
  FakeDispatch dispatch;
  EXPECT_THROW(RconServer(io, dispatch, RconServerOptions{}), std::invalid_argument);
}

TEST(Rcon, EveryRequestIsAnsweredInArrivalOrderWithItsId) {
  struct Row {
    const char* name;
    std::vector<Packet> sent;  // in one write
    std::vector<Packet> answers;
    std::vector<std::string> run;  // what reached the game
    bool byteByByte = false;
  };
  const Packet login{1, Auth, "pw"};
  const Packet loggedIn[] = {{1, ResponseValue, ""}, {1, AuthResponse, ""}};
  const Packet refused{-1, AuthResponse, ""};
  const Row rows[] = {
      {"login: an empty value, then the auth response with the request id",
       {{42, Auth, "pw"}, {43, Command, "echo hello there"}},
       {{42, ResponseValue, ""}, {42, AuthResponse, ""}, {43, ResponseValue, "hello there"}},
       {"echo hello there"}},
      {"a wrong password is answered with -1 and runs nothing until a right one",
       {{5, Auth, "wrong"}, {6, Command, "echo x"}, {7, Auth, "pw"}},
       {{5, ResponseValue, ""}, refused, refused, {7, ResponseValue, ""}, {7, AuthResponse, ""}},
       {}},
      {"requests before login are refused and never reach the game",
       {{3, Command, "echo sneaky"}, {4, ResponseValue, ""}, login, {5, ResponseValue, ""}},
       {refused, refused, loggedIn[0], loggedIn[1], {5, ResponseValue, ""}},
       {}},
      {"several replies to one request, then the empty value mirrored",
       {login, {9, Command, "two"}, {10, ResponseValue, ""}},
       {loggedIn[0], loggedIn[1], {9, ResponseValue, "first"}, {9, ResponseValue, "second"}, {10, ResponseValue, ""}},
       {"two"}},
      {"a handler that says nothing or breaks still answers, as does an unknown command",
       {login, {11, Command, "silent"}, {12, Command, "throw"}, {13, Command, "nosuch arg"}},
       {loggedIn[0],
        loggedIn[1],
        {11, ResponseValue, ""},
        {12, ResponseValue, ""},
        {13, ResponseValue, "Unknown command: nosuch"}},
       {"silent", "throw", "nosuch arg"}},
      {"pipelined requests in one segment",
       {login, {2, Command, "echo a"}, {3, Command, "two"}, {4, Command, "echo b"}, {5, ResponseValue, ""}},
       {loggedIn[0],
        loggedIn[1],
        {2, ResponseValue, "a"},
        {3, ResponseValue, "first"},
        {3, ResponseValue, "second"},
        {4, ResponseValue, "b"},
        {5, ResponseValue, ""}},
       {"echo a", "two", "echo b"}},
      {"requests split into single bytes",
       {login, {2, Command, "echo split"}},
       {loggedIn[0], loggedIn[1], {2, ResponseValue, "split"}},
       {"echo split"},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TestServer test;
    Client client(test);
    const std::string wire = Stream(row.sent);
    if (row.byteByByte) {
      for (char byte : wire) client.SendRaw(std::string_view(&byte, 1));
    } else {
      client.SendRaw(wire);
    }
    EXPECT_EQ(client.Receive(row.answers.size()), row.answers);
    std::vector<std::string> run;
    for (const auto& [id, line] : test.dispatch.calls) run.push_back(line);
    EXPECT_EQ(run, row.run);
    EXPECT_TRUE(client.Alive());
  }
}

// Naive clients take one read for one packet; with a write of its own for each packet (and Nagle's
// algorithm off) they see the login's two answers apart. The server runs one handler at a time here, so
// what the client can read after the request's handler is exactly what that handler wrote at once.
TEST(Rcon, EachPacketGoesOutInAWriteOfItsOwn) {
  TestServer test;
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), test.server.Port()));
  asio::write(socket, asio::buffer(Encode(Packet{1, Auth, "pw"}) + Encode(Packet{2, Command, "two"})));
  std::vector<std::string> writes;
  for (int round = 0; round < 5000 && writes.size() < 4; ++round) {
    if (socket.available() == 0) {
      if (test.io.poll_one() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    // Whatever else the server had sent would be here by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::string bytes(socket.available(), '\0');
    asio::read(socket, asio::buffer(bytes));
    writes.push_back(bytes);
  }
  EXPECT_EQ(writes, (std::vector<std::string>{Encode(Packet{1, ResponseValue, ""}), Encode(Packet{1, AuthResponse, ""}),
                                              Encode(Packet{2, ResponseValue, "first"}),
                                              Encode(Packet{2, ResponseValue, "second"})}));
}

TEST(Rcon, NotesNameTheClientByAddressAndPortAndNeverThePassword) {
  RconServerOptions options;
  options.maxConnections = 1;
  TestServer test(options);
  std::string first;
  {
    Client client(test);
    first = client.Who();
    client.Send(Packet{1, Auth, "hunter2-wrong"});
    client.Receive(2);
    Client second(test);
    EXPECT_TRUE(second.Closed());
    EXPECT_EQ(test.notes.back(), "rcon: refused " + second.Who() + ": 1 connections already open");
  }
  test.RunFor(std::chrono::milliseconds(20));
  const std::vector<std::string> expected{"rcon: connection from " + first, "rcon: failed login from " + first};
  ASSERT_GE(test.notes.size(), 4U);
  EXPECT_EQ(std::vector<std::string>(test.notes.begin(), test.notes.begin() + 2), expected);
  EXPECT_EQ(test.notes.back(), "rcon: closed connection from " + first + ": closed by the client");
  for (const std::string& note : test.notes) EXPECT_EQ(note.find("hunter2"), std::string::npos) << note;
}

TEST(Rcon, LongRepliesArriveAsSeveralPacketsWithTheSameId) {
  TestServer test;
  Client client(test);
  client.Login();
  client.Send(Packet{21, Command, "big"});
  const auto parts = client.Receive(3);
  ASSERT_EQ(parts.size(), 3U);
  std::string joined;
  for (const Packet& part : parts) {
    EXPECT_EQ(part.id, 21);
    joined += part.body;
  }
  EXPECT_EQ(joined, std::string(10000, 'z'));
}

TEST(Rcon, AHostilePacketClosesOnlyItsOwnConnection) {
  const std::vector<std::string> hostile = {
      Int32Bytes(9),
      Int32Bytes(4097),
      Int32Bytes(-20),
      RawPacket(10, 1, 7, std::string(2, '\0')),
      RawPacket(12, 1, Command, "abcd"),
      RawPacket(13, 1, Command, std::string("a\0b\0\0", 5)),
  };
  TestServer test;
  Client bystander(test);
  bystander.Login();
  for (const std::string& bytes : hostile) {
    Client attacker(test);
    attacker.Login();
    attacker.SendRaw(Encode(Packet{2, Command, "echo before"}) + bytes);
    // What came before the bad packet is still answered; then the connection ends.
    EXPECT_EQ(attacker.Receive(1), (std::vector<Packet>{{2, ResponseValue, "before"}}));
    EXPECT_TRUE(attacker.Closed());
    EXPECT_TRUE(bystander.Alive());
  }
  EXPECT_EQ(test.server.ConnectionCount(), 1U);
  bool noted = false;
  for (const std::string& note : test.notes) {
    noted = noted || note.find("malformed packet: packet size 9 is below 10") != std::string::npos;
  }
  EXPECT_TRUE(noted);
}

TEST(Rcon, FiveFailedLoginsInAMinuteRefuseTheAddressForFiveMinutes) {
  TestServer test;
  Client admin(test);
  admin.Login();
  {
    Client guesser(test);
    for (int attempt = 1; attempt <= 4; ++attempt) {
      guesser.Send(Packet{attempt, Auth, "guess"});
      EXPECT_EQ(guesser.Receive(2).at(1).id, -1);
      test.Advance(std::chrono::seconds(10));
    }
    EXPECT_TRUE(guesser.Alive());
    guesser.Send(Packet{5, Auth, "guess"});
    EXPECT_EQ(guesser.Receive(2), (std::vector<Packet>{{5, ResponseValue, ""}, {-1, AuthResponse, ""}}));
    EXPECT_TRUE(guesser.Closed());
  }
  {
    Client late(test);  // even with the right password
    EXPECT_TRUE(late.Closed());
  }
  EXPECT_TRUE(admin.Alive());  // a connection already logged in keeps working
  test.Advance(std::chrono::minutes(4) + std::chrono::seconds(59));
  {
    Client late(test);
    EXPECT_TRUE(late.Closed());
  }
  test.now += std::chrono::seconds(1);
  Client back(test);
  back.Login();
  EXPECT_TRUE(back.Alive());
}

TEST(Rcon, FailedLoginsSpreadOverMoreThanAMinuteAreNotCountedTogether) {
  TestServer test;
  Client guesser(test);
  for (int attempt = 1; attempt <= 8; ++attempt) {
    guesser.Send(Packet{attempt, Auth, "guess"});
    EXPECT_EQ(guesser.Receive(2).size(), 2U);
    test.now += std::chrono::seconds(16);  // never five within one minute
  }
  EXPECT_TRUE(guesser.Alive());
  guesser.Login();
}

TEST(Rcon, IdleConnectionsCloseAfterTenMinutesWithoutARequest) {
  TestServer test;
  Client quiet(test);
  Client busy(test);
  busy.Login();
  test.Advance(std::chrono::minutes(9));
  EXPECT_TRUE(busy.Alive());  // a request restarts its ten minutes
  test.Advance(std::chrono::seconds(59));
  EXPECT_EQ(test.server.ConnectionCount(), 2U);
  test.Advance(std::chrono::seconds(1));
  EXPECT_TRUE(quiet.Closed());
  EXPECT_EQ(test.server.ConnectionCount(), 1U);
  EXPECT_TRUE(busy.Alive());
  test.Advance(std::chrono::minutes(10));
  EXPECT_TRUE(busy.Closed());
}

TEST(Rcon, AtMostSixteenConnectionsAreOpenAtOnce) {
  TestServer test;
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < 16; ++i) {
    clients.push_back(std::make_unique<Client>(test));
    clients.back()->Login();
  }
  EXPECT_EQ(test.server.ConnectionCount(), 16U);
  {
    Client extra(test);
    EXPECT_TRUE(extra.Closed());
  }
  clients.pop_back();
  for (int round = 0; round < 200 && test.server.ConnectionCount() == 16U; ++round) {
    test.RunFor(std::chrono::milliseconds(2));
  }
  Client again(test);
  again.Login();
  EXPECT_TRUE(again.Alive());
}

TEST(Rcon, AClientThatNeverReadsIsDroppedInsteadOfBufferedForever) {
  RconServerOptions options;
  options.maxPendingOutput = 4096;
  TestServer test(options);
  Client client(test);
  client.Login();
  client.Send(Packet{30, Command, "big"});
  EXPECT_TRUE(client.Closed());
  EXPECT_EQ(test.server.ConnectionCount(), 0U);
}

TEST(Rcon, EachConnectionIsNumberedForTheGameAndItsEndIsReported) {
  TestServer test;
  auto first = std::make_unique<Client>(test);
  Client second(test);
  first->Login();
  second.Login();
  first->Send(Packet{1, Command, "echo a"});
  EXPECT_EQ(first->Receive(1).size(), 1U);
  second.Send(Packet{1, Command, "echo b"});
  EXPECT_EQ(second.Receive(1).size(), 1U);
  first->Send(Packet{2, Command, "echo c"});
  EXPECT_EQ(first->Receive(1).size(), 1U);
  ASSERT_EQ(test.dispatch.connections.size(), 3U);
  EXPECT_EQ(test.dispatch.connections[0], test.dispatch.connections[2]);
  EXPECT_NE(test.dispatch.connections[0], test.dispatch.connections[1]);
  first.reset();
  for (int round = 0; round < 500 && test.dispatch.closed.empty(); ++round) {
    test.RunFor(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(test.dispatch.closed, (std::vector<std::uint64_t>{test.dispatch.connections[0]}));
}

TEST(Rcon, TheLoopRunsOnSafelyAfterTheServerIsGone) {
  asio::io_context io;
  FakeDispatch dispatch;
  RconServerOptions options;
  options.password = "pw";
  auto server = std::make_unique<RconServer>(io, dispatch, options);
  asio::io_context clientIo;
  asio::ip::tcp::socket socket(clientIo);
  socket.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), server->Port()));
  asio::write(socket, asio::buffer(Encode(Packet{1, Auth, "pw"}) + Encode(Packet{2, Command, "echo x"})));
  for (int round = 0; round < 500 && dispatch.calls.empty(); ++round) {
    io.run_for(std::chrono::milliseconds(2));
  }
  ASSERT_EQ(dispatch.calls.size(), 1U);
  // A request already on its way when the server goes must find nobody to run it.
  asio::write(socket, asio::buffer(Encode(Packet{3, Command, "echo late"})));
  server.reset();
  io.restart();
  io.run_for(std::chrono::milliseconds(20));
  EXPECT_EQ(dispatch.calls.size(), 1U);
  EXPECT_EQ(dispatch.closed.size(), 1U);
}
