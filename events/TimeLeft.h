// Owns time left as players read it: the configured words for hours, minutes and seconds, and {TimeLeft}.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "delivery/Placeholders.h"

// seconds as "1 hour 30 minutes", "10 minutes", "1 minute 30 seconds", "1 second": each non-zero part with
// its singular or plural word from "Countdown" > "Words" of the held document, in language (players'
// TextIn); 0 is "0 seconds". Raises the JSON library's type error for a section or word of the wrong type.
std::u16string TimeLeftWords(std::int32_t seconds, std::string_view language);
// Whether any of those words is given in more than one language. Raises as TimeLeftWords does.
bool TimeLeftWordsVary();

// Whether text holds "{TimeLeft}".
bool HoldsTimeLeft(std::u16string_view text);

// text with every "{TimeLeft}" replaced by words, written for the reading (braces doubled, markup escaped).
std::u16string WithTimeLeft(std::u16string_view text, std::u16string_view words, PlaceholderReading reading);
