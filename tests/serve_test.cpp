// `heraldix-sim serve` as a process, the way an admin or a service manager runs it: its standard input,
// its outputs and what becomes of them, its RCON port, and how it ends.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/write.hpp>

#include <nlohmann/json.hpp>

#include "sim/rcon/RconPacket.h"
#include "tests/support/Support.h"

using heraldix::rcon::Auth;
using heraldix::rcon::AuthResponse;
using heraldix::rcon::Command;
using heraldix::rcon::Encode;
using heraldix::rcon::Packet;
using heraldix::rcon::PacketParser;
using heraldix::rcon::ResponseValue;

namespace {

// heraldix-sim with pipes on its three standard streams. Reads wait with poll() in bounded rounds, so a
// server that never says what the test waits for fails the test instead of hanging it.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args) {
    int toChild[2];
    int fromOut[2];
    int fromErr[2];
    if (::pipe(toChild) != 0 || ::pipe(fromOut) != 0 || ::pipe(fromErr) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      // Whatever the test runner ignores, the server starts with the default: death by SIGPIPE.
      ::signal(SIGPIPE, SIG_DFL);
      ::dup2(toChild[0], STDIN_FILENO);
      ::dup2(fromOut[1], STDOUT_FILENO);
      ::dup2(fromErr[1], STDERR_FILENO);
      for (int fd : {toChild[0], toChild[1], fromOut[0], fromOut[1], fromErr[0], fromErr[1]}) ::close(fd);
      std::vector<char*> argv;
      std::string program = HERALDIX_SIM_EXECUTABLE;
      argv.push_back(program.data());
      std::vector<std::string> copies = args;
      for (std::string& arg : copies) argv.push_back(arg.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromOut[1]);
    ::close(fromErr[1]);
    input_ = toChild[1];
    output_ = fromOut[0];
    errors_ = fromErr[0];
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;
  ~SimProcess() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    for (int fd : {input_, output_, errors_}) {
      if (fd >= 0) ::close(fd);
    }
  }

  void Write(const std::string& text) {
    ASSERT_EQ(::write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseInput() {
    ::close(input_);
    input_ = -1;
  }
  void Signal(int signal) { ::kill(pid_, signal); }
  // The reader of standard output or standard error goes away, as `| head -5` does.
  void CloseOutput() { CloseFd(output_); }
  void CloseErrors() { CloseFd(errors_); }
  // True while the process has not ended.
  bool Running() {
    if (status_ >= 0) return false;
    int raw = 0;
    if (::waitpid(pid_, &raw, WNOHANG) == 0) return true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return false;
  }

  // Reads both outputs (those still open) until `done` holds or both are closed.
  bool ReadUntil(const std::function<bool()>& done) { return ReadSome(done, true); }
  // Reads standard error only, leaving standard output unread: a reader that has stalled.
  bool ReadErrorsUntil(const std::function<bool()>& done) { return ReadSome(done, false); }

  // Reads everything to the end, then answers the exit status (128 + signal when killed by one).
  int Wait() {
    ReadUntil([] { return false; });
    if (status_ >= 0) return status_;
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
  }

  std::vector<nlohmann::json> Events(std::string_view kind) const {
    std::vector<nlohmann::json> events;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
      auto event = nlohmann::json::parse(line, nullptr, false);
      if (!event.is_discarded() && event.value("event", "") == kind) events.push_back(event);
    }
    return events;
  }

  int RconPort() {
    const std::string marker = "rcon listening on 127.0.0.1:";
    if (!ReadUntil([&] {
          return err.find(marker) != std::string::npos && err.find('\n', err.find(marker)) != std::string::npos;
        })) {
      return -1;
    }
    return std::stoi(err.substr(err.find(marker) + marker.size()));
  }

  std::string out;
  std::string err;

 private:
  void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }

  bool ReadSome(const std::function<bool()>& done, bool withOutput) {
    for (int round = 0; round < 600; ++round) {
      if (done()) return true;
      pollfd fds[2] = {{withOutput ? output_ : -1, POLLIN, 0}, {errors_, POLLIN, 0}};
      if (::poll(fds, 2, 100) < 0) return false;
      bool open = false;
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0) continue;
        open = true;
        if ((fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
        if (got > 0) {
          (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(got));
        } else {
          ::close(fds[i].fd);
          (i == 0 ? output_ : errors_) = -1;
        }
      }
      if (!open) return done();
    }
    return done();
  }

  pid_t pid_ = -1;
  int status_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
};

std::vector<std::string> ServeArgs(const heraldix::test::ServerDir& dir, std::vector<std::string> more = {}) {
  std::vector<std::string> args = {"serve", "--json", "--server-dir", dir.Path().string()};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// A connection to the server's port whose reads give up after a while, so a server that does not
// answer fails the test instead of hanging it.
struct RconConnection {
  asio::io_context io;
  asio::ip::tcp::socket socket{io};

  explicit RconConnection(int port) {
    socket.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), static_cast<std::uint16_t>(port)));
    const timeval limit{30, 0};
    ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  void Send(const std::string& bytes) { asio::write(socket, asio::buffer(bytes)); }
};

// Reads whole packets from a blocking socket to another process's server.
std::vector<Packet> ReadPackets(asio::ip::tcp::socket& socket, std::size_t count) {
  PacketParser parser;
  std::vector<Packet> packets;
  std::array<char, 4096> buffer{};
  while (packets.size() < count) {
    asio::error_code error;
    const std::size_t got = socket.read_some(asio::buffer(buffer), error);
    if (error || !parser.Feed(std::string_view(buffer.data(), got), packets)) break;
  }
  return packets;
}

constexpr const char* Config = R"({"Heraldix": {"ServerMessageColor": {"R": 255, "G": 0, "B": 0}}})";

}  // namespace

TEST(Serve, PlaysStandardInputLinesAndEndsOnQuit) {
  heraldix::test::ServerDir dir(Config);
  SimProcess sim(ServeArgs(dir));
  sim.Write("join 7 Ann\n# a comment\nhelp\nrcon hx.sendserver 0 \"to all\"\nnot-a-command\nquit\nrcon hx.reload\n");
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  // help lists the lines on standard error, out of the way of the events.
  EXPECT_NE(sim.err.find("\n  join ID NAME [GROUP...]\n"), std::string::npos) << sim.err;
  EXPECT_NE(sim.err.find("\n  quit\n"), std::string::npos) << sim.err;
  const auto shown = sim.Events("server");
  ASSERT_EQ(shown.size(), 1U) << sim.out;
  EXPECT_EQ(shown[0]["to"], "7");
  EXPECT_EQ(shown[0]["text"], "to all");
  // A bad line is reported with its place and the server goes on; nothing after quit runs.
  EXPECT_NE(sim.err.find("stdin:5: unknown command \"not-a-command\""), std::string::npos) << sim.err;
  const auto replies = sim.Events("rcon");
  ASSERT_EQ(replies.size(), 1U);
  EXPECT_EQ(replies[0]["text"], "Heraldix: Successfully sent message to everyone");
}

TEST(Serve, ScriptRunsFirstAndAWaitHoldsLaterLinesForThatManyGameSeconds) {
  heraldix::test::ServerDir dir(Config);
  const auto script = dir.Path() / "opening.scenario";
  std::ofstream(script) << "join 7 Ann\nwait 1\nrcon hx.sendserver 7 \"after a second\"\n";
  SimProcess sim(ServeArgs(dir, {"--script", script.string()}));
  sim.Write("rcon hx.sendserver 7 \"from stdin\"\n");
  sim.CloseInput();  // end of input ends the server once every line has played
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  const auto shown = sim.Events("server");
  ASSERT_EQ(shown.size(), 2U) << sim.out;
  EXPECT_EQ(shown[0]["text"], "after a second");
  EXPECT_EQ(shown[0]["t"], 1);
  EXPECT_EQ(shown[1]["text"], "from stdin");
}

TEST(Serve, RejectsABadScriptLineBeforeStarting) {
  heraldix::test::ServerDir dir(Config);
  const auto script = dir.Path() / "bad.scenario";
  std::ofstream(script) << "join 7 Ann\nwait soon\n";
  SimProcess sim(ServeArgs(dir, {"--script", script.string()}));
  EXPECT_EQ(sim.Wait(), 2);
  EXPECT_NE(sim.err.find("bad.scenario:2: bad number of seconds \"soon\""), std::string::npos) << sim.err;
  EXPECT_TRUE(sim.Events("server").empty());
}

TEST(Serve, WillNotOpenTheRemoteConsoleWithoutAPassword) {
  heraldix::test::ServerDir dir(Config);
  SimProcess sim(ServeArgs(dir, {"--rcon-port", "0"}));
  EXPECT_EQ(sim.Wait(), 2);
  EXPECT_NE(sim.err.find("--rcon-password"), std::string::npos) << sim.err;
}

TEST(Serve, AnswersRconClientsAndEndsCleanlyOnSigterm) {
  heraldix::test::ServerDir dir(Config);
  SimProcess sim(ServeArgs(dir, {"--rcon-port", "0", "--rcon-password", "letmein"}));
  const int port = sim.RconPort();
  ASSERT_GT(port, 0) << sim.err;
  sim.Write("join 7 Ann\n");
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), static_cast<std::uint16_t>(port)));
  asio::write(socket, asio::buffer(Encode(Packet{1, Auth, "letmein"}) + Encode(Packet{2, Command, "hx.reload"}) +
                                   Encode(Packet{3, Command, "hx.nosuch now"}) + Encode(Packet{4, ResponseValue, ""})));
  EXPECT_EQ(ReadPackets(socket, 5), (std::vector<Packet>{{1, ResponseValue, ""},
                                                         {1, AuthResponse, ""},
                                                         {2, ResponseValue, "Heraldix: Reloaded config"},
                                                         {3, ResponseValue, "Unknown command: hx.nosuch"},
                                                         {4, ResponseValue, ""}}));
  // The connection is the game's: the reply is an rcon event with the request's id.
  ASSERT_TRUE(sim.ReadUntil([&] { return sim.out.find("Unknown command: hx.nosuch") != std::string::npos; }));
  const auto replies = sim.Events("rcon");
  ASSERT_EQ(replies.size(), 2U) << sim.out;
  EXPECT_EQ(replies[0]["id"], 2);
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  EXPECT_TRUE(sim.Events("fault").empty()) << sim.out;
}

TEST(Serve, WithoutAConsoleItNeedsTheRemoteConsole) {
  heraldix::test::ServerDir dir(Config);
  SimProcess sim(ServeArgs(dir, {"--no-console"}));
  EXPECT_EQ(sim.Wait(), 2);
  EXPECT_NE(sim.err.find("--no-console needs --rcon-port"), std::string::npos) << sim.err;
}

TEST(Serve, WithoutAConsoleItRunsWithStandardInputClosedUntilSigterm) {
  heraldix::test::ServerDir dir(Config);
  SimProcess sim(ServeArgs(dir, {"--no-console", "--rcon-port", "0", "--rcon-password", "pw"}));
  sim.CloseInput();  // as a service manager starts it: </dev/null
  const int port = sim.RconPort();
  ASSERT_GT(port, 0) << sim.err;
  // A game second after its input ended, it still serves.
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  RconConnection admin(port);
  admin.Send(Encode(Packet{1, Auth, "pw"}) + Encode(Packet{2, Command, "hx.sendserver 0 \"still here\""}));
  EXPECT_EQ(ReadPackets(admin.socket, 3).back(),
            (Packet{2, ResponseValue, "Heraldix: Successfully sent message to everyone"}));
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
    RconConnection admin(port);
    admin.Send(Encode(Packet{1, Auth, "pw"}) + Encode(Packet{2, Command, "hx.sendserver 7 \"hello\""}));
    EXPECT_EQ(ReadPackets(admin.socket, 3).back(),
              (Packet{2, ResponseValue, "Heraldix: Successfully sent message to player"}));
  }
  sim.Write("rcon hx.sendserver 7 \"and from the console\"\nquit\n");
  EXPECT_EQ(sim.Wait(), 0) << sim.err;
  // The plug-in was unloaded on the way out: the output still read says so.
  if (standardOutput) {
    EXPECT_NE(sim.err.find("serve: standard output is closed; events are no longer written"), std::string::npos);
    EXPECT_NE(sim.err.find("serve: stopped; the plug-in is unloaded"), std::string::npos) << sim.err;
  } else {
    EXPECT_EQ(sim.Events("server").size(), 4U) << sim.out;
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
  RconConnection admin(port);
  std::string requests = Encode(Packet{1, Auth, "pw"});
  for (int id = 2; id < Commands + 2; ++id) requests += Encode(Packet{id, Command, "hx.sendserver 0 \"news\""});
  admin.Send(requests);
  const auto replies = ReadPackets(admin.socket, 2 + Commands);
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
