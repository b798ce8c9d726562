// Owns the bridge from remote-console clients to the simulated game: one game connection per client.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/GameTypes.h"
#include "sim/rcon/RconServer.h"

namespace sim {

// Each client gets its own game connection object on its first command, as the game's own remote console
// hands every handler the connection the request came on; it is destroyed when the client goes.
class GameRcon final : public sim::rcon::RconDispatch {
 public:
  GameRcon() = default;
  GameRcon(const GameRcon&) = delete;
  GameRcon& operator=(const GameRcon&) = delete;
  ~GameRcon();

  std::vector<std::string> Execute(std::uint64_t connection, std::int32_t id, const std::string& line) override;
  void Closed(std::uint64_t connection) override;

 private:
  std::map<std::uint64_t, RCONClientConnection*> connections_;
};

}  // namespace sim
