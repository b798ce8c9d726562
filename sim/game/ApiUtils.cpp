// The host's utilities over the simulated world: the world itself and players by id.
#include "host/IApiUtils.h"
#include "sim/game/GameState.h"

namespace sim {
namespace {

class ApiUtils final : public TarrowApi::IApiUtils {
 public:
  [[nodiscard]] UWorld* GetGameWorld() const override { return TheGame().world; }

  [[nodiscard]] AShooterPlayerController* FindPlayerById(std::uint64_t playerId) const override {
    SimController* found = nullptr;
    const auto& list = TheGame().world->PlayerControllerList;
    for (std::int32_t i = 0; i < list.ArrayNum && found == nullptr; ++i) {
      auto* controller = static_cast<SimController*>(Objects().Resolve(list.Data[i]));
      if (controller != nullptr && controller->id == playerId) found = controller;
    }
    Trace("FindPlayerById", {std::to_string(playerId)},
          found == nullptr ? nlohmann::json(nullptr) : nlohmann::json(std::to_string(playerId)));
    return found;
  }
};

}  // namespace
}  // namespace sim

TarrowApi::IApiUtils& TarrowApi::GetApiUtils() {
  static auto* utils = new sim::ApiUtils();  // never destroyed (see Host.h)
  return *utils;
}
