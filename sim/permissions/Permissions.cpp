// The permission service: groups per player id, each question traced.
#include <algorithm>
#include <map>

#include "host/Permissions.h"
#include "sim/host/Events.h"
#include "sim/host/Utf.h"
#include "sim/permissions/SimPermissions.h"

namespace sim {
namespace {

std::map<std::uint64_t, std::vector<std::string>>& Groups() {
  static auto* groups = new std::map<std::uint64_t, std::vector<std::string>>();
  return *groups;
}

}  // namespace

void SetPlayerGroups(std::uint64_t playerId, const std::vector<std::string>& groups) { Groups()[playerId] = groups; }

std::vector<std::string> PlayerGroups(std::uint64_t playerId) {
  auto found = Groups().find(playerId);
  return found == Groups().end() ? std::vector<std::string>{} : found->second;
}

void ResetPermissions() { Groups().clear(); }

}  // namespace sim

bool Permissions::IsPlayerInGroup(std::uint64_t playerId, const FString& group) {
  const std::string name = sim::EncodeUtf8(group.View());
  const auto groups = sim::PlayerGroups(playerId);
  const bool member = std::find(groups.begin(), groups.end(), name) != groups.end();
  sim::Trace("IsPlayerInGroup", {std::to_string(playerId), name}, member);
  return member;
}
