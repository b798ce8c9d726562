#include "sim/rcon/RconPacket.h"

#include <stdexcept>
#include <utility>

namespace sim::rcon {
namespace {

void PutInt32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<char>((bits >> shift) & 0xFFU));
  }
}

std::int32_t GetInt32(const char* bytes) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) {
    bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return static_cast<std::int32_t>(bits);
}

bool IsKnownType(std::int32_t type) { return type == ResponseValue || type == Command || type == Auth; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

void AppendOne(std::string& out, std::int32_t id, std::int32_t type, std::string_view body) {
  PutInt32(out, static_cast<std::int32_t>(body.size()) + MinPacketSize);
  PutInt32(out, id);
  PutInt32(out, type);
  out.append(body);
  out.push_back('\0');
  out.push_back('\0');
}

}  // namespace

std::string Encode(const Packet& packet) {
  if (packet.body.size() > MaxBodyBytes) {
    throw std::length_error("rcon packet body of " + std::to_string(packet.body.size()) + " bytes exceeds " +
                            std::to_string(MaxBodyBytes));
  }
  std::string out;
  AppendOne(out, packet.id, packet.type, packet.body);
  return out;
}

void AppendEncoded(std::string& out, std::int32_t id, std::int32_t type, std::string_view body) {
  do {
    std::size_t cut = body.size();
    if (cut > MaxBodyBytes) {
      cut = MaxBodyBytes;
      // Step back over at most three continuation bytes so no character is cut in two; text that is not
      // UTF-8 at all is cut at the limit.
      std::size_t back = cut;
      while (back > MaxBodyBytes - 3 && IsContinuationByte(body[back])) {
        --back;
      }
      if (!IsContinuationByte(body[back])) {
        cut = back;
      }
    }
    AppendOne(out, id, type, body.substr(0, cut));
    body.remove_prefix(cut);
  } while (!body.empty());
}

bool PacketParser::Fail(std::string reason) {
  error_ = std::move(reason);
  buffer_.clear();
  return false;
}

bool PacketParser::Feed(std::string_view bytes, std::vector<Packet>& out) {
  if (Broken()) {
    return false;
  }
  buffer_.append(bytes);
  std::size_t at = 0;
  bool fine = true;
  while (buffer_.size() - at >= 4) {
    const char* head = buffer_.data() + at;
    const std::int32_t size = GetInt32(head);
    // The size is judged as soon as it arrives: a hostile header must not make us wait for gigabytes.
    if (size < 0) {
      fine = Fail("packet size " + std::to_string(size) + " is negative");
      break;
    }
    if (size < MinPacketSize) {
      fine = Fail("packet size " + std::to_string(size) + " is below " + std::to_string(MinPacketSize));
      break;
    }
    if (size > MaxPacketSize) {
      fine = Fail("packet size " + std::to_string(size) + " is above " + std::to_string(MaxPacketSize));
      break;
    }
    const std::size_t available = buffer_.size() - at - 4;
    if (available >= 8) {
      const std::int32_t type = GetInt32(head + 8);
      if (!IsKnownType(type)) {
        fine = Fail("packet type " + std::to_string(type) + " is unknown");
        break;
      }
    }
    if (available < static_cast<std::size_t>(size)) {
      break;
    }
    const std::size_t bodySize = static_cast<std::size_t>(size) - MinPacketSize;
    const std::string_view body(head + 12, bodySize);
    if (head[12 + bodySize] != '\0' || head[13 + bodySize] != '\0') {
      fine = Fail("packet body lacks its two NUL terminators");
      break;
    }
    if (body.find('\0') != std::string_view::npos) {
      fine = Fail("packet body holds a NUL before its terminators");
      break;
    }
    out.push_back(Packet{GetInt32(head + 4), GetInt32(head + 8), std::string(body)});
    at += 4 + static_cast<std::size_t>(size);
  }
  if (fine) {
    buffer_.erase(0, at);
  }
  return fine;
}

}  // namespace sim::rcon
