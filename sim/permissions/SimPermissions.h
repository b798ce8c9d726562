// Owns the simulated permission service's control side: which groups each player belongs to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/host/SimExport.h"

namespace sim {

// Replaces the player's groups (UTF-8 names, compared exactly).
HERALDIX_SIM_API void SetPlayerGroups(std::uint64_t playerId, const std::vector<std::string>& groups);
HERALDIX_SIM_API std::vector<std::string> PlayerGroups(std::uint64_t playerId);
HERALDIX_SIM_API void ResetPermissions();

}  // namespace sim
