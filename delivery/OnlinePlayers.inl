// Owns the walk over the world's player list that every all-players delivery shares, and the walk over
// a delivery's recipients.
#pragma once

#include <cstdint>

#include "host/GameFunctions.h"
#include "host/GameTypes.h"
#include "host/IApiUtils.h"

template <class Visit>
void ForEachOnlinePlayer(Visit&& visit) {
  UWorld* world = TarrowApi::GetApiUtils().GetGameWorld();
  if (world == nullptr) return;  // no world yet: nobody is online
  auto* list = Game::FieldOf<Game::UWorld_PlayerControllerList>(world);
  // Count and block are read afresh each round: a visit may make the game change its list.
  for (std::int32_t i = 0; i < list->ArrayNum; ++i) {
    FWeakObjectPtr weak = list->Data[i];
    UObject* object = Game::Call<Game::FWeakObjectPtr_Get>(&weak, false);
    if (object == nullptr) continue;  // the controller is gone but its entry has not been removed yet
    visit(static_cast<AShooterPlayerController*>(object));
  }
}

template <class Visit>
void Recipients::ForEach(Visit&& visit) const {
  if (all_) {
    ForEachOnlinePlayer(visit);
  } else if (isList_) {
    for (AShooterPlayerController* player : listed_) visit(player);
  } else {
    visit(player_);
  }
}
