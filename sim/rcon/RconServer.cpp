#include "sim/rcon/RconServer.h"

#include <array>
#include <deque>
#include <exception>
#include <stdexcept>
#include <utility>

#include <asio/buffer.hpp>
#include <asio/error.hpp>
#include <asio/ip/address_v4.hpp>
#include <asio/steady_timer.hpp>
#include <asio/write.hpp>

namespace sim::rcon {

using Clock = RconServerOptions::Clock;

struct RconServer::Connection {
  explicit Connection(asio::io_context& io) : socket(io), pause(io) {}

  struct Outgoing {
    std::string bytes;
    std::uint64_t answer = 0;  // which request's handling sent it
  };

  asio::ip::tcp::socket socket;
  asio::steady_timer pause;
  std::uint64_t number = 0;
  std::string address;
  std::string who;  // address:port, as the notes name the client
  PacketParser parser;
  std::array<char, 4096> readBuffer{};
  // Encoded packets not yet handed to the socket; the front one is being written. Each packet goes out
  // in a write of its own, so a client that takes one read for one packet sees whole packets.
  std::deque<Outgoing> outgoing;
  std::size_t outgoingBytes = 0;
  bool writing = false;           // a write or the pause before one is under way
  std::uint64_t answer = 0;       // counts the requests handled
  std::uint64_t lastWritten = 0;  // the answer of the packet written last
  bool paused = false;            // the pause before the front packet is over
  bool authenticated = false;
  bool closing = false;  // reads no more; closes once its replies are out
  bool closed = false;
  std::string closeReason;
  Clock::time_point lastActivity{};
};

namespace {

// Looks at every byte whatever the mismatch, so the answer's timing says nothing about the password.
bool SamePassword(const std::string& given, const std::string& expected) {
  unsigned difference = given.size() == expected.size() ? 0U : 1U;
  for (std::size_t i = 0; i < given.size(); ++i) {
    const char other = expected.empty() ? '\0' : expected[i % expected.size()];
    difference |= static_cast<unsigned>(static_cast<unsigned char>(given[i]) ^ static_cast<unsigned char>(other));
  }
  return difference == 0U;
}

std::string Minutes(std::chrono::seconds span) {
  const auto whole = std::chrono::duration_cast<std::chrono::minutes>(span).count();
  if (std::chrono::seconds(std::chrono::minutes(whole)) == span) {
    return std::to_string(whole) + (whole == 1 ? " minute" : " minutes");
  }
  return std::to_string(span.count()) + " seconds";
}

}  // namespace

RconServer::RconServer(asio::io_context& io, RconDispatch& dispatch, RconServerOptions options)
    : io_(io), dispatch_(dispatch), options_(std::move(options)), acceptor_(io_) {
  if (options_.password.empty()) {
    throw std::invalid_argument("the remote console needs a password");
  }
  const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(), options_.port);
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
  acceptor_.bind(endpoint);
  acceptor_.listen();
  port_ = acceptor_.local_endpoint().port();
  StartAccept();
}

RconServer::~RconServer() {
  stopping_ = true;
  asio::error_code ignored;
  acceptor_.close(ignored);
  // A destructor may not throw; should closing fail part way (out of memory, a note that cannot be written),
  // the sockets still close as their connections are destroyed.
  try {
    auto open = connections_;
    for (auto& [raw, connection] : open) {
      Close(connection, "server stopping");
    }
  } catch (...) {
  }
  *alive_ = false;
}

Clock::time_point RconServer::Now() const { return options_.now ? options_.now() : Clock::now(); }

void RconServer::Note(const std::string& text) const {
  if (!options_.note) {
    return;
  }
  try {
    options_.note(text);
  } catch (...) {
  }
}

void RconServer::StartAccept() {
  auto connection = std::make_shared<Connection>(io_);
  acceptor_.async_accept(connection->socket, [this, alive = alive_, connection](const asio::error_code& error) {
    if (!*alive || error == asio::error::operation_aborted || stopping_) {
      return;
    }
    if (error) {
      // Out of descriptors and the like: try again at the next poll instead of spinning here.
      Note("rcon: accept failed: " + error.message());
      acceptPaused_ = true;
      return;
    }
    OnAccept(connection);
    StartAccept();
  });
}

void RconServer::OnAccept(std::shared_ptr<Connection> connection) {
  asio::error_code error;
  const auto remote = connection->socket.remote_endpoint(error);
  if (error) {
    connection->socket.close(error);
    return;
  }
  connection->address = remote.address().to_string();
  connection->who = connection->address + ":" + std::to_string(remote.port());
  const std::string& who = connection->who;
  if (IsRefused(connection->address)) {
    Note("rcon: refused " + who + ": too many failed logins");
    connection->socket.close(error);
    return;
  }
  if (connections_.size() >= options_.maxConnections) {
    Note("rcon: refused " + who + ": " + std::to_string(options_.maxConnections) + " connections already open");
    connection->socket.close(error);
    return;
  }
  connection->socket.set_option(asio::ip::tcp::no_delay(true), error);
  connection->lastActivity = Now();
  connection->number = nextConnection_++;
  connections_.emplace(connection.get(), connection);
  Note("rcon: connection from " + who);
  StartRead(connection);
}

void RconServer::StartRead(const std::shared_ptr<Connection>& connection) {
  connection->socket.async_read_some(
      asio::buffer(connection->readBuffer),
      [this, alive = alive_, connection](const asio::error_code& error, std::size_t bytes) {
        if (!*alive || error == asio::error::operation_aborted || connection->closed) {
          return;
        }
        if (error) {
          Close(connection, error == asio::error::eof ? "closed by the client" : error.message());
          return;
        }
        OnRead(connection, bytes);
      });
}

void RconServer::OnRead(const std::shared_ptr<Connection>& connection, std::size_t bytes) {
  std::vector<Packet> packets;
  const bool fine = connection->parser.Feed(std::string_view(connection->readBuffer.data(), bytes), packets);
  for (const Packet& packet : packets) {
    if (connection->closing || connection->closed) {
      break;
    }
    connection->lastActivity = Now();
    Handle(*connection, packet);
  }
  if (!fine) {
    CloseAfterWrites(*connection, "malformed packet: " + connection->parser.Error());
  }
  Flush(connection);
  if (!connection->closing && !connection->closed) {
    StartRead(connection);
  }
}

void RconServer::Handle(Connection& connection, const Packet& packet) {
  ++connection.answer;
  if (packet.type == Auth) {
    HandleAuth(connection, packet);
    return;
  }
  if (!connection.authenticated) {
    Send(connection, -1, AuthResponse, "");
    return;
  }
  if (packet.type == Command) {
    std::vector<std::string> replies;
    try {
      replies = dispatch_.Execute(connection.number, packet.id, packet.body);
    } catch (const std::exception& error) {
      Note(std::string("rcon: command failed: ") + error.what());
    } catch (...) {
      Note("rcon: command failed");
    }
    // Every command is answered, so a client waiting for its reply is never left hanging.
    if (replies.empty()) {
      Send(connection, packet.id, ResponseValue, "");
    }
    for (const std::string& reply : replies) {
      Send(connection, packet.id, ResponseValue, reply);
    }
    return;
  }
  // An empty response value marks the end of a client's requests; echoing it tells the client that
  // every reply before it has arrived. Other response values from a client mean nothing.
  if (packet.body.empty()) {
    Send(connection, packet.id, ResponseValue, "");
  }
}

void RconServer::HandleAuth(Connection& connection, const Packet& packet) {
  Send(connection, packet.id, ResponseValue, "");
  if (IsRefused(connection.address)) {
    connection.authenticated = false;
    Send(connection, -1, AuthResponse, "");
    CloseAfterWrites(connection, "login from a refused address");
    return;
  }
  if (SamePassword(packet.body, options_.password)) {
    connection.authenticated = true;
    Send(connection, packet.id, AuthResponse, "");
    return;
  }
  connection.authenticated = false;
  Send(connection, -1, AuthResponse, "");
  Note("rcon: failed login from " + connection.who);
  if (RecordFailedAuth(connection.address)) {
    CloseAfterWrites(connection, std::to_string(options_.maxFailedAuths) + " failed logins; " + connection.address +
                                     " refused for " + Minutes(options_.refusalTime));
  }
}

void RconServer::Send(Connection& connection, std::int32_t id, std::int32_t type, const std::string& body) const {
  if (connection.closed) {
    return;
  }
  Connection::Outgoing packet{{}, connection.answer};
  AppendEncoded(packet.bytes, id, type, body);
  connection.outgoingBytes += packet.bytes.size();
  connection.outgoing.push_back(std::move(packet));
  if (connection.outgoingBytes > options_.maxPendingOutput) {
    // The client sends faster than it reads; nothing good comes of buffering for it. The packet being
    // written stays, so the stream ends on a whole packet.
    while (connection.outgoing.size() > (connection.writing ? 1U : 0U)) {
      connection.outgoingBytes -= connection.outgoing.back().bytes.size();
      connection.outgoing.pop_back();
    }
    CloseAfterWrites(connection, "client does not read its replies");
  }
}

void RconServer::Flush(const std::shared_ptr<Connection>& connection) {
  if (connection->closed || connection->writing) {
    return;
  }
  if (connection->outgoing.empty()) {
    if (connection->closing) {
      Close(connection, connection->closeReason);
    }
    return;
  }
  connection->writing = true;
  const Connection::Outgoing& next = connection->outgoing.front();
  if (next.answer == connection->lastWritten && !connection->paused && options_.packetGap.count() > 0) {
    connection->pause.expires_after(options_.packetGap);
    connection->pause.async_wait([this, alive = alive_, connection](const asio::error_code& error) {
      if (!*alive || error || connection->closed) {
        return;
      }
      connection->writing = false;
      connection->paused = true;
      Flush(connection);
    });
    return;
  }
  connection->paused = false;
  connection->lastWritten = next.answer;
  asio::async_write(connection->socket, asio::buffer(next.bytes),
                    [this, alive = alive_, connection](const asio::error_code& error, std::size_t /*bytes*/) {
                      if (!*alive || error == asio::error::operation_aborted || connection->closed) {
                        return;
                      }
                      if (error) {
                        Close(connection, error.message());
                        return;
                      }
                      connection->writing = false;
                      connection->outgoingBytes -= connection->outgoing.front().bytes.size();
                      connection->outgoing.pop_front();
                      Flush(connection);
                    });
}

void RconServer::CloseAfterWrites(Connection& connection, const std::string& why) {
  if (connection.closing) {
    return;
  }
  connection.closing = true;
  connection.closeReason = why;
}

void RconServer::Close(const std::shared_ptr<Connection>& connection, const std::string& why) {
  if (connection->closed) {
    return;
  }
  connection->closed = true;
  connection->pause.cancel();
  asio::error_code ignored;
  connection->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  connection->socket.close(ignored);
  connections_.erase(connection.get());
  try {
    dispatch_.Closed(connection->number);
  } catch (...) {
  }
  Note("rcon: closed connection from " + connection->who + ": " + why);
}

bool RconServer::IsRefused(const std::string& address) {
  const auto found = failedAuths_.find(address);
  return found != failedAuths_.end() && Now() < found->second.refusedUntil;
}

bool RconServer::RecordFailedAuth(const std::string& address) {
  const auto now = Now();
  FailedAuths& record = failedAuths_[address];
  std::erase_if(record.times, [&](Clock::time_point at) { return now - at >= options_.failedAuthWindow; });
  record.times.push_back(now);
  if (static_cast<int>(record.times.size()) < options_.maxFailedAuths) {
    return false;
  }
  record.times.clear();
  record.refusedUntil = now + options_.refusalTime;
  return true;
}

void RconServer::ApplyTimeLimits() {
  const auto now = Now();
  auto open = connections_;
  for (auto& [raw, connection] : open) {
    if (now - connection->lastActivity >= options_.idleTimeout) {
      Close(connection, "idle for " + Minutes(options_.idleTimeout));
    }
  }
  std::erase_if(failedAuths_, [&](const auto& entry) {
    const FailedAuths& record = entry.second;
    return now >= record.refusedUntil &&
           (record.times.empty() || now - record.times.back() >= options_.failedAuthWindow);
  });
  if (acceptPaused_ && !stopping_) {
    acceptPaused_ = false;
    StartAccept();
  }
}

}  // namespace sim::rcon
