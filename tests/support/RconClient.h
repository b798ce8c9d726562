// Owns the test side of a remote-console connection: bytes or packets out, whole packets in, and every
// wait bounded, so that a server that never answers fails the test instead of hanging it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/rcon/RconPacket.h"

namespace heraldix::test {

class RconClient {
 public:
  // Connects to the port on loopback. `pump` runs between attempts to send or read: the loop of a
  // server in this process; without one, the server is another process and the client waits a moment.
  explicit RconClient(std::uint16_t port, std::function<void()> pump = {});
  RconClient(const RconClient&) = delete;
  RconClient& operator=(const RconClient&) = delete;
  ~RconClient();

  // Sends every byte, reading what arrives meanwhile, so a long burst never waits on its own replies.
  void SendRaw(std::string_view bytes);
  void Send(const sim::rcon::Packet& packet);
  void Send(const std::vector<sim::rcon::Packet>& packets);  // in one write
  // The next `count` packets, or fewer when the server closes the connection or falls silent.
  std::vector<sim::rcon::Packet> Receive(std::size_t count);
  // Pumps and reads until `done` holds; false when it never did.
  bool Until(const std::function<bool()>& done);
  // True once the server has closed the connection; packets that came before are still Receive()d.
  bool Closed();
  // The connection is still open: the server answers a mirror request (with a refusal before login).
  bool Alive();
  // Logs in with the tests' password "pw", failing the test when the server refuses.
  void Login();
  // The client's own end, as the server's notes name it.
  [[nodiscard]] std::string Who() const;

 private:
  void Step();

  struct Socket;
  std::unique_ptr<Socket> socket_;
  std::function<void()> pump_;
  sim::rcon::PacketParser parser_;
  std::vector<sim::rcon::Packet> received_;
  bool eof_ = false;
};

// The bytes of these packets, one after another.
std::string Wire(const std::vector<sim::rcon::Packet>& packets);

}  // namespace heraldix::test
