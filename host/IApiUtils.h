// Owns the host's utilities for finding the world and players.
#pragma once

#include <cstdint>

#include "host/Export.h"
#include "host/GameTypes.h"

namespace TarrowApi {

class IApiUtils {
 public:
  // The current world; null before the game has one.
  [[nodiscard]] virtual UWorld* GetGameWorld() const = 0;
  // The controller of the online player with this 64-bit id, or null.
  [[nodiscard]] virtual AShooterPlayerController* FindPlayerById(std::uint64_t playerId) const = 0;

 protected:
  ~IApiUtils() = default;
};

HERALDIX_HOST_API IApiUtils& GetApiUtils();

}  // namespace TarrowApi
