// Owns the remote-console TCP server: listening, authentication, dispatch of command lines, and limits.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

#include "sim/rcon/RconPacket.h"

namespace sim::rcon {

// What runs an authenticated client's command line. The game behind it hands the line to the command
// registered under its first word; the returned texts are that command's replies, in the order it sent
// them ("Unknown command: NAME" when no command takes the line). `connection` numbers the client's
// connection, never reused, so the game can keep one connection object of its own per client.
struct RconDispatch {
  virtual std::vector<std::string> Execute(std::uint64_t connection, std::int32_t id, const std::string& line) = 0;
  // The client's connection is gone; no further Execute names it.
  virtual void Closed(std::uint64_t /*connection*/) {}

 protected:
  ~RconDispatch() = default;
};

struct RconServerOptions {
  using Clock = std::chrono::steady_clock;

  std::string password;    // must not be empty: an open remote console would be anyone's server
  std::uint16_t port = 0;  // 0: the system picks one; Port() tells which
  std::size_t maxConnections = 16;
  std::chrono::seconds idleTimeout{std::chrono::minutes(10)};
  int maxFailedAuths = 5;
  std::chrono::seconds failedAuthWindow{std::chrono::minutes(1)};
  std::chrono::seconds refusalTime{std::chrono::minutes(5)};
  // Pause between two packets that answer the same request (the login's empty value and its answer, the
  // parts of a long reply). Clients that take one read for one packet then read each on its own, as they
  // do from game servers, which send such packets a frame apart. Answers to different requests go out
  // without a pause. Zero: no pause.
  std::chrono::milliseconds packetGap{50};
  // A connection whose unread replies grow past this is dropped rather than buffered without end.
  std::size_t maxPendingOutput = std::size_t{1} << 20;
  // Injectable so the limits that span minutes can be tested without waiting; steady_clock by default.
  std::function<Clock::time_point()> now;
  // Notes for the administrator: connections refused, closed and why.
  std::function<void(const std::string&)> note;
};

// Serves on 127.0.0.1 only. It starts no thread: it runs on an event loop that the game loop drives
// between its own work, so command lines reach the game on the game's thread, one at a time.
class RconServer {
 public:
  // Listening starts here; connections are taken as the loop runs. Raises std::invalid_argument for an
  // empty password and asio::system_error when the port cannot be had.
  RconServer(asio::io_context& io, RconDispatch& dispatch, RconServerOptions options);
  RconServer(const RconServer&) = delete;
  RconServer& operator=(const RconServer&) = delete;
  // Closes every connection. The loop may go on running: what is still queued on it for this server
  // finds it gone and does nothing.
  ~RconServer();

  [[nodiscard]] std::uint16_t Port() const noexcept { return port_; }

  // Closes idle connections and forgets old failed logins; the owner calls it now and then (each game
  // second), since nothing on the loop wakes up for time alone.
  void ApplyTimeLimits();

  [[nodiscard]] std::size_t ConnectionCount() const noexcept { return connections_.size(); }

 private:
  struct Connection;
  struct FailedAuths {
    std::vector<RconServerOptions::Clock::time_point> times;
    RconServerOptions::Clock::time_point refusedUntil{};
  };

  RconServerOptions::Clock::time_point Now() const;
  void Note(const std::string& text) const;
  void StartAccept();
  void OnAccept(std::shared_ptr<Connection> connection);
  void StartRead(const std::shared_ptr<Connection>& connection);
  void OnRead(const std::shared_ptr<Connection>& connection, std::size_t bytes);
  void Handle(Connection& connection, const Packet& packet);
  void HandleAuth(Connection& connection, const Packet& packet);
  void Send(Connection& connection, std::int32_t id, std::int32_t type, const std::string& body) const;
  void Flush(const std::shared_ptr<Connection>& connection);
  static void CloseAfterWrites(Connection& connection, const std::string& why);
  void Close(const std::shared_ptr<Connection>& connection, const std::string& why);
  bool IsRefused(const std::string& address);
  bool RecordFailedAuth(const std::string& address);

  asio::io_context& io_;
  // Handlers queued on the loop hold a copy and look at it first: false once the server is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  RconDispatch& dispatch_;
  RconServerOptions options_;
  asio::ip::tcp::acceptor acceptor_;
  std::uint16_t port_ = 0;
  bool stopping_ = false;
  bool acceptPaused_ = false;
  std::map<Connection*, std::shared_ptr<Connection>> connections_;
  std::map<std::string, FailedAuths> failedAuths_;
  std::uint64_t nextConnection_ = 1;
};

}  // namespace sim::rcon
