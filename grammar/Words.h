// Owns the words a configuration's values may hold: message kinds, rotation orders, weekdays, times of day.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace grammar {

// The plug-in's name: the name of its own section, of its logger, and the sender its chat lines default to.
inline constexpr std::string_view PluginName = "Heraldix";

// The kinds of message, compared exactly, case included; "Client" is another word for "Chat".
namespace Kind {
inline constexpr std::string_view Server = "Server";
inline constexpr std::string_view Chat = "Chat";
inline constexpr std::string_view Client = "Client";
inline constexpr std::string_view Notification = "Notification";
}  // namespace Kind

// The words a custom command's or a timed message's kind is read from.
inline constexpr std::array MessageKinds{Kind::Chat, Kind::Client, Kind::Server, Kind::Notification};
// The words a welcome's kind is read from: any other word greets by chat.
inline constexpr std::array WelcomeKinds{Kind::Server, Kind::Chat, Kind::Notification};

// The orders of the timed rotation; any other word draws at random.
namespace Order {
inline constexpr std::string_view Random = "Random";
inline constexpr std::string_view Sequential = "Sequential";
}  // namespace Order
inline constexpr std::array Orders{Order::Random, Order::Sequential};

// Weekday names, exactly so, Monday first: a day's index is its bit in a set of days.
inline constexpr std::array<std::string_view, 7> Weekdays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

// The weekday's index (Monday 0 to Sunday 6), or none for a word that names no day.
constexpr std::optional<int> WeekdayIndex(std::string_view word) {
  for (std::size_t i = 0; i < Weekdays.size(); ++i) {
    if (Weekdays[i] == word) return static_cast<int>(i);
  }
  return std::nullopt;
}

// "HH:MM", two digits each, from "00:00" to "23:59", as the minute of the day; none for any other text.
constexpr std::optional<std::int32_t> MinuteOfDay(std::string_view text) {
  const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
  if (text.size() != 5 || text[2] != ':') return std::nullopt;
  for (const std::size_t i : {0U, 1U, 3U, 4U}) {
    if (digit(i) < 0) return std::nullopt;
  }
  const int hours = digit(0) * 10 + digit(1);
  const int minutes = digit(3) * 10 + digit(4);
  if (hours > 23 || minutes > 59) return std::nullopt;
  return hours * 60 + minutes;
}

// The low 8 bits of a colour channel read as a 32-bit integer: 300 gives 44, 256 gives 0, -1 gives 255.
constexpr std::uint8_t ChannelByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// A member "A" of a colour object: there is no alpha channel, and configured colours are always opaque.
inline constexpr std::string_view AlphaChannel = "A";

}  // namespace grammar
