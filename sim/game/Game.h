// Owns the simulated game as its driver sees it: the world, players and their characters, chat and
// console lines, RCON requests, textures and the game timer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/GameTypes.h"
#include "sim/host/SimExport.h"

namespace sim {

// A fresh game and host: empty world, clocks at zero, no registrations, no events. Blocks that code under
// test still holds stay valid (see ResetMemory).
HERALDIX_SIM_API void ResetSimulation();

// Scenario operations. Each answers an empty text when done, or why the line makes no sense (an unknown
// player, a player already online, ...), in which case nothing happened.
HERALDIX_SIM_API std::string Join(std::uint64_t id, std::string_view characterName);
HERALDIX_SIM_API std::string Leave(std::uint64_t id);
HERALDIX_SIM_API std::string Die(std::uint64_t id);
HERALDIX_SIM_API std::string Respawn(std::uint64_t id);
HERALDIX_SIM_API std::string PossessDead(std::uint64_t id);
HERALDIX_SIM_API std::string PossessUnowned(std::uint64_t id);
HERALDIX_SIM_API std::string Stale(std::uint64_t id);
HERALDIX_SIM_API std::string TypeChat(std::uint64_t id, std::string_view text);
// No id: the server itself typed the line (no issuing controller).
HERALDIX_SIM_API std::string TypeConsole(std::optional<std::uint64_t> id, std::string_view line);
HERALDIX_SIM_API void AddTexture(const std::string& path);

// One game-timer call through the hook table, without moving the clock.
HERALDIX_SIM_API void GameTimerTick();
// Per second: the clock moves, due host timer calls run, then the game timer is called.
HERALDIX_SIM_API void Wait(std::int64_t seconds);

// RCON: a connection object per client; replies of one request come back in order (and as events).
HERALDIX_SIM_API RCONClientConnection* OpenRconConnection();
HERALDIX_SIM_API void CloseRconConnection(RCONClientConnection* connection);
HERALDIX_SIM_API std::vector<std::string> ServeRcon(RCONClientConnection* connection, std::int32_t requestId,
                                                    std::string_view line);
// The scenario's own RCON client: one connection, request ids counting up from 1.
HERALDIX_SIM_API std::vector<std::string> ScenarioRcon(std::string_view line);

HERALDIX_SIM_API AShooterPlayerController* Player(std::uint64_t id);
HERALDIX_SIM_API UWorld* World();
HERALDIX_SIM_API std::vector<std::uint64_t> OnlinePlayers();

}  // namespace sim
