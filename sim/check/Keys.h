// Owns the checker's view of the plug-in's key table: the names of each section, and where each lives.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "config/Keys.h"
#include "config/Placeholders.h"

namespace heraldix::check::keys {

using ConfigKeys::Section;

inline constexpr auto kTop = ConfigKeys::NamesOf<Section::Top>();
inline constexpr auto kHeraldix = ConfigKeys::NamesOf<Section::Heraldix>();
inline constexpr auto kWelcome = ConfigKeys::NamesOf<Section::Welcome>();
inline constexpr auto kCommand = ConfigKeys::NamesOf<Section::Command>();
inline constexpr auto kTimed = ConfigKeys::NamesOf<Section::Timed>();
inline constexpr auto kTimedMessage = ConfigKeys::NamesOf<Section::TimedMessage>();
inline constexpr auto kScheduled = ConfigKeys::NamesOf<Section::Scheduled>();
inline constexpr auto kScheduledMessage = ConfigKeys::NamesOf<Section::ScheduledMessage>();
// A scheduled message takes every key of a timed message and its own.
inline constexpr auto kScheduledMessageAll = [] {
  std::array<std::string_view, kTimedMessage.size() + kScheduledMessage.size()> names{};
  std::size_t at = 0;
  for (const std::string_view name : kTimedMessage) names[at++] = name;
  for (const std::string_view name : kScheduledMessage) names[at++] = name;
  return names;
}();
inline constexpr auto kColour = ConfigKeys::NamesOf<Section::Colour>();

// The names the plug-in replaces in configured texts while placeholders are on, without their braces.
inline constexpr auto kPlaceholders = ConfigKeys::PlaceholderNames;

// Where each group of keys lives, for telling an admin that a key sits in the wrong section.
struct Home {
  std::string_view where;
  std::span<const std::string_view> names;
};
inline constexpr std::array kSections{
    Home{"the top level", kTop},
    Home{"\"Heraldix\"", kHeraldix},
    Home{"\"Heraldix\" > \"WelcomeMessage\"", kWelcome},
    Home{"a custom command", kCommand},
    Home{"\"TimedMessages\"", kTimed},
    Home{"a timed message", kTimedMessage},
    Home{"\"ScheduledMessages\"", kScheduled},
    Home{"a scheduled message", kScheduledMessage},
};

}  // namespace heraldix::check::keys
