// Time left in words, and the {TimeLeft} field a countdown's text holds.
#include "events/TimeLeft.h"

#include <string>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "grammar/KeyList.h"
#include "grammar/Placeholders.h"
#include "players/LocalText.h"
#include "players/Players.h"
#include "text/Text.h"

namespace {

constexpr std::u16string_view Field = grammar::TimeLeftField16;

void AppendPart(std::u16string& out, std::int32_t count, const std::string& one, const std::string& many) {
  if (!out.empty()) out += u' ';
  for (const char digit : std::to_string(count)) out += static_cast<char16_t>(digit);
  out += u' ';
  out += FromUtf8(count == 1 ? one : many).View();
}

const nlohmann::json& WordsSection() {
  return config::Section(config::Section(Config(), grammar::Top::Countdown), grammar::Countdown::Words);
}

}  // namespace

std::u16string TimeLeftWords(std::int32_t seconds, std::string_view language) {
  const nlohmann::json& words = WordsSection();
  const std::int32_t left = seconds < 0 ? 0 : seconds;
  const std::int32_t hours = left / 3600;
  const std::int32_t minutes = left / 60 % 60;
  const std::int32_t rest = left % 60;
  // All six are read every time, so a word of the wrong type spoils every announcement, not only some.
  namespace Word = grammar::CountdownWords;
  const auto word = [&](const grammar::Key& key) { return players::TextIn(LocalText::Read(words, key), language); };
  const std::string hour = word(Word::Hour);
  const std::string hoursWord = word(Word::Hours);
  const std::string minute = word(Word::Minute);
  const std::string minutesWord = word(Word::Minutes);
  const std::string second = word(Word::Second);
  const std::string secondsWord = word(Word::Seconds);
  std::u16string out;
  if (hours > 0) AppendPart(out, hours, hour, hoursWord);
  if (minutes > 0) AppendPart(out, minutes, minute, minutesWord);
  if (rest > 0 || out.empty()) AppendPart(out, rest, second, secondsWord);
  return out;
}

bool TimeLeftWordsVary() {
  const nlohmann::json& words = WordsSection();
  bool varies = false;
  for (const grammar::Key* key : grammar::All) {
    if (key->section == grammar::Section::CountdownWords) varies = LocalText::Read(words, *key).Varies() || varies;
  }
  return varies;
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
