// Join and leave lines: a timed message about one player, sent to everyone online but them.
#include "events/JoinLeave.h"

#include <algorithm>
#include <vector>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "events/ConfiguredMessage.h"

namespace {

std::vector<std::uint64_t>& JoinedPlayers() {
  static std::vector<std::uint64_t> ids;
  return ids;
}

const nlohmann::json& JoinLeaveSection() { return config::Section(Config(), grammar::Top::JoinLeaveMessages); }

void SendLine(const grammar::Key& key, AShooterPlayerController* player) {
  const nlohmann::json& section = JoinLeaveSection();
  const auto line = section.find(key.name);
  if (line == section.end() || line->is_null()) return;
  MessageOccasion occasion;
  occasion.subject = player;
  SendConfiguredMessage(*line, occasion);
}

}  // namespace

bool JoinLeaveLinesOn() { return config::Bool(JoinLeaveSection(), grammar::JoinLeave::Enabled); }

void SendJoinLine(AShooterPlayerController* player, std::uint64_t id, bool firstEver) {
  std::vector<std::uint64_t>& joined = JoinedPlayers();
  if (std::find(joined.begin(), joined.end(), id) != joined.end()) return;
  joined.push_back(id);
  const bool greetFirst = firstEver && JoinLeaveSection().contains(grammar::JoinLeave::First_Join.name);
  SendLine(greetFirst ? grammar::JoinLeave::First_Join : grammar::JoinLeave::Join, player);
}

void SendLeaveLine(AShooterPlayerController* player, std::uint64_t id) {
  std::vector<std::uint64_t>& joined = JoinedPlayers();
  const auto found = std::find(joined.begin(), joined.end(), id);
  if (found == joined.end()) return;
  joined.erase(found);
  if (JoinLeaveLinesOn()) SendLine(grammar::JoinLeave::Leave, player);
}

void ForgetJoinedPlayers() noexcept {
  JoinedPlayers().clear();
  JoinedPlayers().shrink_to_fit();
}
