// Owns the timed messages on their own clocks: those with an "Interval" of their own, outside the rotation.
#pragma once

#include <cstdint>

#include <nlohmann/json.hpp>

// Whether the message goes out on its own clock: its "Interval" is a number above 0.
bool HasOwnInterval(const nlohmann::json& message);

// Sends each message on its own clock whose time has come, then sets its next one an interval later. The
// clocks start at the first call after load, or for a message new to a reloaded list, each after its
// "Start_Delay" (absent: its interval). A call before the next is due reads neither the configuration nor
// anything else, unless the configuration was replaced. Never raises.
void SendOwnIntervalMessages(const nlohmann::json& timed, std::int64_t now);
