#include "tests/support/RconClient.h"

#include <array>
#include <thread>

#include <gtest/gtest.h>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

namespace heraldix::test {
namespace {

// Long enough for a sanitizer build under load; only a failing test ever waits this long.
constexpr std::chrono::seconds Patience{60};

}  // namespace

struct RconClient::Socket {
  asio::io_context io;
  asio::ip::tcp::socket socket{io};
};

RconClient::RconClient(std::uint16_t port, std::function<void()> pump)
    : socket_(std::make_unique<Socket>()), pump_(std::move(pump)) {
  socket_->socket.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), port));
  socket_->socket.non_blocking(true);
}

RconClient::~RconClient() = default;

void RconClient::Step() {
  if (pump_) {
    pump_();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::array<char, 65536> buffer{};
  while (!eof_) {
    asio::error_code error;
    const std::size_t got = socket_->socket.read_some(asio::buffer(buffer), error);
    if (error == asio::error::would_block) return;
    if (error) {
      eof_ = true;
    } else if (!parser_.Feed(std::string_view(buffer.data(), got), received_)) {
      ADD_FAILURE() << "the server sent a malformed packet: " << parser_.Error();
      eof_ = true;
    }
  }
}

bool RconClient::Until(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + Patience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Step();
  }
  return true;
}

void RconClient::SendRaw(std::string_view bytes) {
  Until([&] {
    if (bytes.empty() || eof_) return true;  // a server that closed on us shows through Closed()
    asio::error_code error;
    const std::size_t sent = socket_->socket.write_some(asio::buffer(bytes.data(), bytes.size()), error);
    if (error && error != asio::error::would_block) return true;
    bytes.remove_prefix(sent);
    return bytes.empty();
  });
}

void RconClient::Send(const sim::rcon::Packet& packet) { SendRaw(sim::rcon::Encode(packet)); }

void RconClient::Send(const std::vector<sim::rcon::Packet>& packets) { SendRaw(Wire(packets)); }

std::vector<sim::rcon::Packet> RconClient::Receive(std::size_t count) {
  Until([&] { return received_.size() >= count || eof_; });
  const auto take = static_cast<std::ptrdiff_t>(std::min(count, received_.size()));
  std::vector<sim::rcon::Packet> out(received_.begin(), received_.begin() + take);
  received_.erase(received_.begin(), received_.begin() + take);
  return out;
}

bool RconClient::Closed() {
  return Until([&] { return eof_; });
}

bool RconClient::Alive() {
  Send(sim::rcon::Packet{555, sim::rcon::ResponseValue, ""});
  const auto answer = Receive(1);
  return !eof_ && answer.size() == 1 &&
         (answer[0] == sim::rcon::Packet{555, sim::rcon::ResponseValue, ""} ||
          answer[0] == sim::rcon::Packet{-1, sim::rcon::AuthResponse, ""});
}

void RconClient::Login() {
  Send(sim::rcon::Packet{1000, sim::rcon::Auth, "pw"});
  const auto answer = Receive(2);
  ASSERT_EQ(answer.size(), 2U);
  ASSERT_EQ(answer[1].id, 1000) << "login refused";
}

std::string RconClient::Who() const { return "127.0.0.1:" + std::to_string(socket_->socket.local_endpoint().port()); }

std::string Wire(const std::vector<sim::rcon::Packet>& packets) {
  std::string out;
  for (const sim::rcon::Packet& packet : packets) out += sim::rcon::Encode(packet);
  return out;
}

}  // namespace heraldix::test
