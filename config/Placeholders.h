// Owns the placeholder names a configured text may hold once "Heraldix" > "Placeholders" is true.
#pragma once

#include <array>
#include <string_view>

namespace ConfigKeys {

// Written in braces, exactly so (case counts): {Player}, {PlayersOnline}, {Time}, {Date}.
enum class Placeholder { Player, PlayersOnline, Time, Date };

// Indexed by Placeholder.
inline constexpr std::array<std::string_view, 4> PlaceholderNames{"Player", "PlayersOnline", "Time", "Date"};

}  // namespace ConfigKeys
