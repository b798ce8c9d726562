// Time left in words, and the {TimeLeft} field a countdown's text holds.
#include "events/TimeLeft.h"

#include <string>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "grammar/Placeholders.h"
#include "text/Text.h"

namespace {

constexpr std::u16string_view Field = grammar::TimeLeftField16;

void AppendPart(std::u16string& out, std::int32_t count, const std::string& one, const std::string& many) {
  if (!out.empty()) out += u' ';
  for (const char digit : std::to_string(count)) out += static_cast<char16_t>(digit);
  out += u' ';
  out += FromUtf8(count == 1 ? one : many).View();
}

}  // namespace

std::u16string TimeLeftWords(std::int32_t seconds) {
  const nlohmann::json& words =
      config::Section(config::Section(Config(), grammar::Top::Countdown), grammar::Countdown::Words);
  const std::int32_t left = seconds < 0 ? 0 : seconds;
  const std::int32_t hours = left / 3600;
  const std::int32_t minutes = left / 60 % 60;
  const std::int32_t rest = left % 60;
  // All six are read every time, so a word of the wrong type spoils every announcement, not only some.
  namespace Word = grammar::CountdownWords;
  const std::string hour = config::String(words, Word::Hour);
  const std::string hoursWord = config::String(words, Word::Hours);
  const std::string minute = config::String(words, Word::Minute);
  const std::string minutesWord = config::String(words, Word::Minutes);
  const std::string second = config::String(words, Word::Second);
  const std::string secondsWord = config::String(words, Word::Seconds);
  std::u16string out;
  if (hours > 0) AppendPart(out, hours, hour, hoursWord);
  if (minutes > 0) AppendPart(out, minutes, minute, minutesWord);
  if (rest > 0 || out.empty()) AppendPart(out, rest, second, secondsWord);
  return out;
}

bool HoldsTimeLeft(std::u16string_view text) { return text.find(Field) != std::u16string_view::npos; }

std::u16string WithTimeLeft(std::u16string_view text, std::u16string_view words, PlaceholderReading reading) {
  const std::u16string value = EscapedValue(words, reading);
  std::u16string out;
  for (std::size_t at = 0;;) {
    const std::size_t found = text.find(Field, at);
    if (found == std::u16string_view::npos) {
      out.append(text.substr(at));
      return out;
    }
    out.append(text.substr(at, found - at));
    out += value;
    at = found + Field.size();
  }
}
