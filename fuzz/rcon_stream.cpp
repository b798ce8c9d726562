// Fuzz target: a byte stream as the remote console reads it. The first byte sets the size of the pieces
// the rest arrives in. The pieces must give exactly the packets the whole stream gives, with the same
// error, and every packet must encode back to bytes that parse to the same packet. Every command packet
// then goes to the game's remote console with the plug-in loaded, as a logged-in client's would; each
// reply must go back out on the wire.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzServer.h"
#include "sim/game/Game.h"
#include "sim/rcon/RconPacket.h"

namespace {

using sim::rcon::Packet;
using sim::rcon::PacketParser;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "rcon stream: %s\n", what);
  std::abort();
}

// Colours and fallbacks for every kind, and a custom chat command for hx.chatasplayer to run into.
constexpr std::string_view ServerConfig = R"({
  "Heraldix": {"ClientChatColour": {"R": 255, "G": 255, "B": 0}, "ServerMessageColor": {"R": 0, "G": 255, "B": 0},
    "NotificationColor": {"R": 255, "G": 0, "B": 0}, "NotificationDisplayScale": 2, "NotificationDisplayTime": 5},
  "CustomCommands": {"/help": {"Message": "Help text"}}})";

void ExecuteCommands(const std::vector<Packet>& packets) {
  heraldix::fuzz::FuzzServer& server = heraldix::fuzz::FuzzServer::Get(ServerConfig);
  for (const Packet& packet : packets) {
    if (packet.type != sim::rcon::Command) continue;
    const std::vector<std::string> replies = sim::ServeRcon(server.Connection(), packet.id, packet.body);
    server.Check("a remote-console command");
    for (const std::string& reply : replies) {
      std::string wire;
      sim::rcon::AppendEncoded(wire, packet.id, sim::rcon::ResponseValue, reply);
      PacketParser client;
      std::vector<Packet> parsed;
      if (!client.Feed(wire, parsed) || client.Pending() != 0) Fail("a reply the client cannot read");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

  PacketParser whole;
  std::vector<Packet> wholePackets;
  const bool wholeFine = whole.Feed(stream, wholePackets);
  if (wholeFine == whole.Broken()) Fail("Feed's answer disagrees with Broken()");
  if (wholeFine != whole.Error().empty()) Fail("a broken stream without a reason, or a reason without one");

  PacketParser pieces;
  std::vector<Packet> piecePackets;
  for (std::size_t at = 0; at < stream.size(); at += piece) pieces.Feed(stream.substr(at, piece), piecePackets);
  if (piecePackets != wholePackets) Fail("pieces and the whole stream give different packets");
  if (pieces.Broken() != whole.Broken() || pieces.Error() != whole.Error()) Fail("pieces break differently");
  if (!whole.Broken() && pieces.Pending() != whole.Pending()) Fail("pieces hold back a different tail");

  for (const Packet& packet : wholePackets) {
    PacketParser again;
    std::vector<Packet> parsed;
    if (!again.Feed(sim::rcon::Encode(packet), parsed) || parsed.size() != 1 || !(parsed[0] == packet) ||
        again.Pending() != 0) {
      Fail("a packet does not survive encoding and parsing");
    }
  }
  ExecuteCommands(wholePackets);
  return 0;
}
