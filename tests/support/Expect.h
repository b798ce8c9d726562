// Owns the checks every test file shares: a run, a server or a game that faulted nothing and left
// nothing behind, and the texts of recorded events.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Support.h"

namespace heraldix::test {

using Strings = std::vector<std::string>;

// Every run must end as a live server would want it: nothing escaped, leaked or freed twice.
inline void ExpectNoFaults(const Run& run) {
  EXPECT_EQ(run.exitStatus, 0) << run.error;
  for (const nlohmann::json& fault : run.Of("fault")) ADD_FAILURE() << "fault: " << fault.dump();
}

inline void ExpectNoFaults(const LiveServer& server) {
  for (const std::string& fault : server.faults) ADD_FAILURE() << "fault: " << fault;
}

// Code under test on the live game gives back every block it took and faults nothing.
inline void ExpectNoFaults(const LiveGame& game) {
  EXPECT_EQ(game.PluginBlocks(), 0) << "blocks left on the game allocator";
  for (const nlohmann::json& fault : game.Of("fault")) ADD_FAILURE() << "fault: " << fault.dump();
}

// One member of each event, as text ("text" by default).
inline Strings Texts(const std::vector<nlohmann::json>& events, const std::string& member = "text") {
  Strings texts;
  for (const nlohmann::json& event : events) {
    const nlohmann::json& value = event.at(member);
    texts.push_back(value.is_string() ? value.get<std::string>() : value.dump());
  }
  return texts;
}

}  // namespace heraldix::test
