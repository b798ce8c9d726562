// Owns the wire format of the remote console: packets, their encoder, and an incremental stream parser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim::rcon {

// Packet types. The same number 2 means a command from a client and an auth response from the server.
inline constexpr std::int32_t ResponseValue = 0;
inline constexpr std::int32_t Command = 2;
inline constexpr std::int32_t AuthResponse = 2;
inline constexpr std::int32_t Auth = 3;

// The size field counts the id, the type, the body and its two NUL terminators.
inline constexpr std::int32_t MinPacketSize = 10;
inline constexpr std::int32_t MaxPacketSize = 4096;
inline constexpr std::size_t MaxBodyBytes = MaxPacketSize - MinPacketSize;

struct Packet {
  std::int32_t id = 0;
  std::int32_t type = 0;
  std::string body;  // UTF-8, without terminators

  friend bool operator==(const Packet&, const Packet&) = default;
};

// One packet as bytes on the wire. A body longer than MaxBodyBytes throws std::length_error, since no
// peer would accept the packet.
[[nodiscard]] std::string Encode(const Packet& packet);

// Appends a packet of this id and type for the body, cut into several packets at UTF-8 character
// boundaries when it is too long for one: long command output reaches the client whole, in order.
void AppendEncoded(std::string& out, std::int32_t id, std::int32_t type, std::string_view body);

// Reads packets out of a byte stream that arrives in arbitrary pieces: one packet split over many reads,
// or many packets in one read. The first malformed packet breaks the stream for good, because after it
// nothing tells where the next packet starts.
class PacketParser {
 public:
  // Appends every packet the bytes complete to `out`. Answers false once the stream is broken; the
  // packets completed before the fault are still appended.
  bool Feed(std::string_view bytes, std::vector<Packet>& out);

  [[nodiscard]] bool Broken() const noexcept { return !error_.empty(); }
  // Why the stream broke, in words for an administrator's log; empty while it is fine.
  [[nodiscard]] const std::string& Error() const noexcept { return error_; }
  // Bytes held back while waiting for the rest of a packet.
  [[nodiscard]] std::size_t Pending() const noexcept { return buffer_.size(); }

 private:
  bool Fail(std::string reason);

  std::string buffer_;
  std::string error_;
};

}  // namespace sim::rcon
