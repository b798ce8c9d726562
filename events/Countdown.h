// Owns the countdown an administrator starts: its marks, its announcements, the alert for joiners, its end.
#pragma once

#include <cstdint>
#include <string_view>

// Starts a countdown of seconds (1 to a day) with text, replacing one that runs, and announces it at once to
// every player online. False for seconds out of range, an empty text, or a text the formatter rejects. Raises
// the JSON library's type error for a "Countdown" section it cannot read; nothing then changes.
bool StartCountdown(std::int32_t seconds, std::u16string_view text);

// Stops the running countdown; false when none runs.
bool CancelCountdown() noexcept;

// The game-timer step: announces the mark the time left has reached, shows joiners the time left, and at
// the end sends the final message and stops. Does nothing else while none is due. Never raises.
void SendCountdown() noexcept;

// A player's first living character of a visit was possessed / the player logged out.
void NoteCountdownJoiner(std::uint64_t id) noexcept;
void NoteCountdownLeaver(std::uint64_t id) noexcept;
bool CountdownRunning() noexcept;

// Stops the countdown and frees everything it holds; run at unload.
void EndCountdown() noexcept;
