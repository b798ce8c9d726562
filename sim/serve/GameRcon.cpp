#include "sim/serve/GameRcon.h"

#include "sim/game/Game.h"

namespace sim {

GameRcon::~GameRcon() {
  for (auto& [number, connection] : connections_) {
    CloseRconConnection(connection);
  }
}

std::vector<std::string> GameRcon::Execute(std::uint64_t connection, std::int32_t id, const std::string& line) {
  RCONClientConnection*& game = connections_[connection];
  if (game == nullptr) {
    game = OpenRconConnection();
  }
  return ServeRcon(game, id, line);
}

void GameRcon::Closed(std::uint64_t connection) {
  const auto found = connections_.find(connection);
  if (found == connections_.end()) {
    return;
  }
  CloseRconConnection(found->second);
  connections_.erase(found);
}

}  // namespace sim
