// Owns the permission service's one question: is a player in a group.
#pragma once

#include <cstdint>

#include "host/Export.h"
#include "host/FString.h"

namespace Permissions {

HERALDIX_HOST_API bool IsPlayerInGroup(std::uint64_t playerId, const FString& group);

}  // namespace Permissions
