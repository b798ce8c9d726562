// Placeholder names in configured texts, replaced by the values of one delivery.
#include "delivery/Placeholders.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "config/Config.h"
#include "delivery/Delivery.h"
#include "grammar/Keys.h"
#include "grammar/Placeholders.h"
#include "host/GameFunctions.h"
#include "host/Platform.h"
#include "text/LocalClock.h"
#include "text/Text.h"

namespace {

using grammar::Placeholder;

std::u16string AsciiToUtf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Walks text as the formatter reads it; each field naming a placeholder goes to field(placeholder), every
// other piece of text to literal(piece).
template <class Char, class Literal, class Field>
void Walk(std::basic_string_view<Char> text, Literal&& literal, Field&& field) {
  grammar::WalkFields(text, literal, [&](std::basic_string_view<Char> written) {
    const std::optional<Placeholder> name = grammar::PlaceholderNamed(written);
    if (name) field(*name);
    return name.has_value();
  });
}

template <class Char>
bool Holds(std::basic_string_view<Char> text, std::optional<Placeholder> wanted) {
  // No brace, no field: the common text is settled by one search.
  if (text.find(Char('{')) == std::basic_string_view<Char>::npos) return false;
  bool found = false;
  Walk(
      text, [](auto) {}, [&](Placeholder name) { found = found || !wanted || name == *wanted; });
  return found;
}

}  // namespace

bool PlaceholdersOn() noexcept {
  try {
    const nlohmann::json& document = Config();
    if (!document.is_object()) return false;
    const auto heraldix = document.find(grammar::Top::Heraldix.name);
    if (heraldix == document.end() || !heraldix->is_object()) return false;
    const auto on = heraldix->find(grammar::Heraldix::Placeholders.name);
    return on != heraldix->end() && on->is_boolean() && on->get<bool>();
  } catch (...) {
    return false;
  }
}

std::u16string PlaceholderValues::Value(Placeholder name) {
  if (name == Placeholder::Player) {
    if (player_ == nullptr) return std::u16string();
    const FString character = Game::Call<Game::AShooterPlayerController_GetPlayerCharacterName>(player_);
    return std::u16string(character.View());
  }
  std::optional<std::u16string>& kept = shared_[static_cast<std::size_t>(name)];
  if (kept) return *kept;
  if (name == Placeholder::PlayersOnline) {
    kept = AsciiToUtf16(std::to_string(PlayersOnline()));
  } else {
    const LocalMoment moment = LocalMomentAt(UnixSecondsOfTicks(Platform::SystemClockTicks()));
    kept = AsciiToUtf16(name == Placeholder::Time ? TimeText(moment) : DateText(moment));
  }
  return *kept;
}

std::u16string EscapedValue(std::u16string_view value, PlaceholderReading reading) {
  const std::size_t braces = std::size_t{1} << reading.formatPasses;
  std::u16string out;
  out.reserve(value.size());
  for (const char16_t unit : value) {
    if (unit == u'{' || unit == u'}') {
      out.append(braces, unit);
      continue;
    }
    if (reading.markup) {
      // The markup's own escapes: the game shows them as the characters they stand for.
      switch (unit) {
        case u'&':
          out += u"&amp;";
          continue;
        case u'<':
          out += u"&lt;";
          continue;
        case u'>':
          out += u"&gt;";
          continue;
        case u'"':
          out += u"&quot;";
          continue;
        default:
          break;
      }
    }
    out.push_back(unit);
  }
  return out;
}

bool HoldsPlaceholder(std::u16string_view text, Placeholder name) { return Holds(text, std::optional(name)); }
bool HoldsAnyPlaceholder(std::u16string_view text) { return Holds(text, std::optional<Placeholder>()); }

std::u16string ReplacePlaceholders(std::u16string_view text, PlaceholderValues& values, PlaceholderReading reading) {
  std::u16string out;
  Walk(
      text, [&](std::u16string_view piece) { out.append(piece); },
      [&](Placeholder name) { out += EscapedValue(values.Value(name), reading); });
  return out;
}

std::string ReplacePlaceholders(std::string_view utf8, PlaceholderValues& values, PlaceholderReading reading) {
  std::string out;
  Walk(
      utf8, [&](std::string_view piece) { out.append(piece); },
      [&](Placeholder name) { out += ToUtf8(EscapedValue(values.Value(name), reading)); });
  return out;
}

FString WithPlaceholders(const FString& text, MessageKind kind, PlaceholderValues& values) {
  if (!HoldsAnyPlaceholder(text.View())) return text;
  return FString(ReplacePlaceholders(text.View(), values, PlaceholderReading{1, kind == MessageKind::Chat}));
}
