// Owns the timed rotation: the due time, the turn's choice (in order or drawn) and its delivery.
#pragma once

#include <cstdint>

// System-clock ticks (100 ns) at or after which the next timed message is due.
std::int64_t& NextTimedMessageTime();
// Index of the message the last turn chose; -1 before the first turn.
std::int32_t& LastTimedMessageIndex();

// While timed messages are on and one is due: moves the due time one interval on and sends the turn's
// message. Never raises.
void SendTimedMessageWhenDue();

// Chooses one message and delivers it; errors abandon the message silently.
void SendTimedMessage();

// A number from 0 to 32767 taken from the C runtime's unseeded rand, whatever its RAND_MAX.
int Rand15();
