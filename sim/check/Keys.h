// Owns the checker's view of the plug-in's key table: the names of each section, and where each lives.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "grammar/KeyList.h"
#include "grammar/Keys.h"
#include "grammar/Placeholders.h"

namespace sim::check::keys {

using grammar::Section;

inline constexpr auto Top = grammar::NamesOf<Section::Top>();
inline constexpr auto Heraldix = grammar::NamesOf<Section::Heraldix>();
inline constexpr auto Welcome = grammar::NamesOf<Section::Welcome>();
inline constexpr auto Command = grammar::NamesOf<Section::Command>();
inline constexpr auto Timed = grammar::NamesOf<Section::Timed>();
inline constexpr auto TimedMessage = grammar::NamesOf<Section::TimedMessage>();
inline constexpr auto Scheduled = grammar::NamesOf<Section::Scheduled>();
inline constexpr auto ScheduledMessage = grammar::NamesOf<Section::ScheduledMessage>();
// The keys of a timed message that only the rotation's messages have: their own clocks.
inline constexpr std::array<std::string_view, 2> OwnClock{grammar::TimedMessage::Interval.name,
                                                          grammar::TimedMessage::Start_Delay.name};
// The keys every timed message has, whether in the rotation, scheduled, or a join or leave line. The keys of
// its own clock share their names with the section's, so a misplaced one is pointed there.
inline constexpr auto AnyTimedMessage = [] {
  std::array<std::string_view, TimedMessage.size() - OwnClock.size()> names{};
  std::size_t at = 0;
  for (const std::string_view name : TimedMessage) {
    if (name != OwnClock[0] && name != OwnClock[1]) names[at++] = name;
  }
  return names;
}();
// A scheduled message takes every key of a timed message but those of its own clock, and its own.
inline constexpr auto ScheduledMessageAll = [] {
  std::array<std::string_view, AnyTimedMessage.size() + ScheduledMessage.size()> names{};
  std::size_t at = 0;
  for (const std::string_view name : AnyTimedMessage) names[at++] = name;
  for (const std::string_view name : ScheduledMessage) names[at++] = name;
  return names;
}();
inline constexpr auto Colour = grammar::NamesOf<Section::Colour>();
inline constexpr auto Players = grammar::NamesOf<Section::Players>();
inline constexpr auto Countdown = grammar::NamesOf<Section::Countdown>();
inline constexpr auto CountdownWords = grammar::NamesOf<Section::CountdownWords>();
inline constexpr auto JoinLeave = grammar::NamesOf<Section::JoinLeave>();

// The names the plug-in replaces in configured texts while placeholders are on, without their braces.
inline constexpr auto Placeholders = grammar::PlaceholderNames;

// Where each group of keys lives, for telling an admin that a key sits in the wrong section.
struct Home {
  std::string where;
  std::span<const std::string_view> names;
};
inline const std::array<Home, 9>& Sections() {
  const auto quoted = [](std::string_view name) { return "\"" + std::string(name) + "\""; };
  static const std::array<Home, 9> homes{
      Home{"the top level", Top},
      Home{quoted(grammar::Top::Heraldix.name), Heraldix},
      Home{quoted(grammar::Top::Heraldix.name) + " > " + quoted(grammar::Heraldix::WelcomeMessage.name), Welcome},
      Home{"a custom command", Command},
      Home{quoted(grammar::Top::TimedMessages.name), Timed},
      Home{"a timed message", AnyTimedMessage},
      Home{quoted(grammar::Top::ScheduledMessages.name), Scheduled},
      Home{"a scheduled message", ScheduledMessage},
      Home{quoted(grammar::Top::Players.name), Players},
  };
  return homes;
}

}  // namespace sim::check::keys
