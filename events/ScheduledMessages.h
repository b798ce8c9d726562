// Owns the scheduled messages: configured messages sent at set minutes of the server's local day.
#pragma once

#include <cstdint>

// Sends every scheduled message whose minute it is and that has not gone out on this local day, then works
// out when the next one is due. A call before then reads neither the configuration nor the local time,
// unless the configuration was replaced or the clock moved back. Never raises.
void SendScheduledMessages();

// System-clock ticks at or after which the schedule is looked at again; INT64_MAX when nothing is scheduled.
std::int64_t NextScheduledCheck();
