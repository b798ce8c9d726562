#include "sim/check/Context.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include <fmt/format.h>

#include "config/ConfigValues.h"
#include "sim/check/Keys.h"
#include "sim/host/Ascii.h"

namespace heraldix::check {
namespace {

using sim::LowerAscii;

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t cost = LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]) ? 0 : 1;
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool HasNonAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
}

std::string Widened(std::string_view text) {
  std::string out;
  for (const char c : text) out += static_cast<unsigned char>(c) > 127 ? '?' : c;
  return out;
}

void TypeError(Context& context, const Place& place, std::string_view expected, const json& value) {
  std::string message = "must be " + std::string(expected) + ", but is " + Described(value);
  if (!place.consequence.empty()) message += ": " + place.consequence;
  context.Error("type", place.pointer, std::move(message));
}

}  // namespace

void Context::Add(Severity severity, std::string_view code, const std::string& pointer, std::string message,
                  bool atKey) {
  if (severity == Severity::Error && !unread_.empty()) {
    severity = Severity::Warning;
    message = unread_ + ": " + message;
  }
  const std::size_t offset = atKey ? index_.KeyOffset(pointer) : index_.ValueOffset(pointer);
  const LineColumn where = index_.Locate(offset);
  problems_.push_back(Problem{severity, std::string(code), pointer, where.line, where.column, std::move(message)});
}

std::vector<Problem> Context::TakeProblems() {
  std::stable_sort(problems_.begin(), problems_.end(), [](const Problem& a, const Problem& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return std::exchange(problems_, {});
}

Place Place::Member(std::string_view name) const { return Place{config::MemberPointer(pointer, name), consequence}; }

Place Place::Element(std::size_t index) const { return Place{pointer + "/" + std::to_string(index), consequence}; }

std::string Described(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::object:
      return "an object";
    case json::value_t::array:
      return "an array";
    case json::value_t::string:
      return "a string";
    case json::value_t::boolean:
      return "a boolean";
    default:
      return "a number";
  }
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t Longest = 60;
  std::string shown = json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
  if (shown.size() > Longest) shown = shown.substr(0, Longest - 4) + "...\"";
  return shown;
}

std::string Shown(const json& value) {
  if (value.is_string()) return Quoted(value.get_ref<const std::string&>());
  std::string shown = value.dump(-1, ' ', false, json::error_handler_t::replace);
  if (shown.size() > 60) shown = shown.substr(0, 56) + " ...";
  return shown;
}

// The plug-in's own reading, so a warning shows what the plug-in makes of the number.
std::int32_t AsInt32(const json& number) { return ConfigValue::ToInt32(number); }

bool ExpectObject(Context& context, const Place& place, const json& value) {
  if (value.is_object()) return true;
  TypeError(context, place, "an object", value);
  return false;
}

bool ExpectBool(Context& context, const Place& place, const json& value) {
  if (value.is_boolean()) return true;
  TypeError(context, place, "true or false", value);
  return false;
}

bool ExpectString(Context& context, const Place& place, const json& value) {
  if (value.is_string()) return true;
  TypeError(context, place, "a string", value);
  return false;
}

bool ExpectNumber(Context& context, const Place& place, const json& value) {
  if (value.is_boolean()) {
    context.Warning(
        "boolean-number", place.pointer,
        std::string("a number is expected; ") + (value.get<bool>() ? "true reads as 1" : "false reads as 0"));
    return true;
  }
  if (value.is_number()) return true;
  TypeError(context, place, "a number", value);
  return false;
}

std::optional<std::int32_t> ExpectInteger(Context& context, const Place& place, const json& value) {
  if (!ExpectNumber(context, place, value)) return std::nullopt;
  const std::int32_t read = AsInt32(value);
  if (value.is_number_float()) {
    const double written = value.get<double>();
    if (written != std::trunc(written) || written != static_cast<double>(read)) {
      context.Warning("integer", place.pointer, "reads as the whole number " + std::to_string(read));
    }
  } else if (value.is_number_integer() && !value.is_number_unsigned() && value.get<std::int64_t>() != read) {
    context.Warning("integer", place.pointer, "does not fit 32 bits and reads as " + std::to_string(read));
  } else if (value.is_number_unsigned() && value.get<std::uint64_t>() != static_cast<std::uint64_t>(read)) {
    context.Warning("integer", place.pointer, "does not fit 32 bits and reads as " + std::to_string(read));
  }
  return read;
}

bool ExpectByteText(Context& context, const Place& place, const json& value, std::string_view what) {
  if (!ExpectString(context, place, value)) return false;
  const auto& text = value.get_ref<const std::string&>();
  if (HasNonAscii(text)) {
    context.Warning("non-ascii", place.pointer,
                    std::string(what) + " is taken byte by byte, so each byte of a non-ASCII letter becomes \"?\": " +
                        Quoted(Widened(text)));
  }
  return true;
}

bool ExpectGroupList(Context& context, const Place& place, const json& value) {
  if (!value.is_array()) {
    TypeError(context, place, "an array of strings", value);
    return false;
  }
  bool readable = true;
  for (std::size_t i = 0; i < value.size(); ++i) {
    readable = ExpectByteText(context, place.Element(i), value[i], "a group name") && readable;
  }
  return readable;
}

void CheckColourLeftOut(Context& context, const Place& place, std::string_view key, std::string_view what) {
  context.Warning("colour-missing", place.pointer,
                  "no " + Quoted(key) + ": " + std::string(what) +
                      " is black (0, 0, 0); give {\"R\": ..., \"G\": ..., \"B\": ...}");
}

void CheckTinyColour(Context& context, const std::string& pointer, int red, int green, int blue) {
  const auto tiny = [](int channel) { return channel == 0 || channel == 1; };
  if (!tiny(red) || !tiny(green) || !tiny(blue) || red + green + blue == 0) return;
  context.Warning("colour-tiny", pointer,
                  "every channel is 0 or 1: chat lines show this at full strength, server lines and notifications "
                  "nearly black; channels run from 0 to 255");
}

void CheckColourObject(Context& context, const Place& place, const json& value) {
  if (!ExpectObject(context, place, value)) return;
  int bytes[3] = {0, 0, 0};
  bool readable = true;
  for (std::size_t i = 0; i < keys::Colour.size(); ++i) {
    const std::string_view channel = keys::Colour[i];
    const auto member = value.find(channel);
    if (member == value.end()) continue;
    const Place at = place.Member(channel);
    const std::optional<std::int32_t> read = ExpectInteger(context, at, *member);
    readable = readable && read.has_value();
    if (read) bytes[i] = *read & 0xFF;
    if (read && (*read < 0 || *read > 255)) {
      context.Warning("colour-range", at.pointer,
                      "a channel runs from 0 to 255; " + Shown(*member) + " wraps to " + std::to_string(*read & 0xFF));
    }
  }
  if (readable) CheckTinyColour(context, place.pointer, bytes[0], bytes[1], bytes[2]);
  for (const auto& [name, member] : value.items()) {
    if (name == "A") {
      context.KeyWarning("unknown-key", place.Member(name).pointer,
                         "there is no alpha channel: configured colours are always opaque");
    }
  }
  static constexpr std::array<std::string_view, 4> Known{"R", "G", "B", "A"};
  CheckUnknownKeys(context, place, value, Known);
  CheckDuplicateKeys(context, place, value);
}

bool IsPlaceholder(std::string_view field) {
  return std::find(keys::Placeholders.begin(), keys::Placeholders.end(), field) != keys::Placeholders.end();
}

std::string WithoutPlaceholders(const Context& context, const std::string& text, std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
      out += text.substr(i++, 2);
      continue;
    }
    if (c == '{') {
      const std::size_t close = text.find('}', i + 1);
      if (close != std::string::npos) {
        std::string field = text.substr(i + 1, close - i - 1);
        if (context.Placeholders() && IsPlaceholder(field)) {
          i = close;
          continue;
        }
        fields.push_back(std::move(field));
      }
    }
    out += c;
  }
  return out;
}

std::string PlaceholderHint(const Context& context, const std::vector<std::string>& fields, bool listNames) {
  for (const std::string& field : fields) {
    const std::string written = "{" + field + "}";
    if (!context.Placeholders() && IsPlaceholder(field)) {
      return "; " + written + " is a placeholder only with \"Placeholders\": true in \"Heraldix\"";
    }
    const auto near = Nearest(field, keys::Placeholders);
    if (!near) continue;
    if (!context.Placeholders()) {
      return "; did you mean the placeholder {" + *near + "}? It needs \"Placeholders\": true in \"Heraldix\"";
    }
    return "; " + written + " is no placeholder" +
           (EqualIgnoringCase(field, *near) ? " (names are case-sensitive)" : "") + ": did you mean {" + *near + "}?";
  }
  if (!context.Placeholders() || !listNames) return {};
  std::string names;
  for (std::size_t i = 0; i < keys::Placeholders.size(); ++i) {
    names += std::string(i == 0                               ? ""
                         : i + 1 == keys::Placeholders.size() ? " and "
                                                              : ", ") +
             "{" + std::string(keys::Placeholders[i]) + "}";
  }
  return "; the placeholders are " + names;
}

void CheckDeliveredText(Context& context, const Place& place, const std::string& text) {
  std::vector<std::string> fields;
  const std::string formatted = WithoutPlaceholders(context, text, fields);
  try {
    (void)fmt::format(fmt::runtime(formatted));
  } catch (const fmt::format_error& error) {
    context.Error("brace", place.pointer,
                  std::string("the text holds a brace that delivery rejects (") + error.what() +
                      "), so it is never sent; write {{ or }} for a literal brace" +
                      PlaceholderHint(context, fields, true));
  }
}

std::string CheckCutText(Context& context, const Place& place, const std::string& text, std::string_view what,
                         std::string_view ifEmpty) {
  const std::size_t zero = text.find('\0');
  if (zero == std::string::npos) return text;
  std::string read = text.substr(0, zero);
  context.Error("nul", place.pointer,
                "holds \\u0000, where the plug-in's text ends: " +
                    (read.empty() ? std::string(what) + " reads as empty" + std::string(ifEmpty)
                                  : std::string(what) + " reads only " + Quoted(read)));
  return read;
}

std::optional<std::string> Nearest(std::string_view word, std::span<const std::string_view> candidates) {
  std::optional<std::string> best;
  std::size_t bestDistance = std::numeric_limits<std::size_t>::max();
  const std::size_t limit = std::max<std::size_t>(1, std::min<std::size_t>(3, word.size() / 4));
  for (const std::string_view candidate : candidates) {
    std::size_t distance = Distance(word, candidate);
    const bool prefix =
        word.size() >= 4 && (StartsWithIgnoringCase(candidate, word) || StartsWithIgnoringCase(word, candidate));
    if (distance > limit && !prefix) continue;
    if (prefix) distance = std::min(distance, limit);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = std::string(candidate);
    }
  }
  return best;
}

void CheckUnknownKeys(Context& context, const Place& place, const json& object,
                      std::span<const std::string_view> known) {
  for (const auto& [name, member] : object.items()) {
    if (std::find(known.begin(), known.end(), name) != known.end()) continue;
    std::string message = "unknown key " + Quoted(name) + ", never read";
    if (const auto near = Nearest(name, known)) {
      message += "; did you mean " + Quoted(*near) + "?";
    } else {
      std::string homes;
      for (const keys::Home& section : keys::Sections) {
        if (std::find(section.names.begin(), section.names.end(), name) == section.names.end()) continue;
        homes += (homes.empty() ? "" : " or ") + std::string(section.where);
      }
      if (!homes.empty()) message += "; it belongs in " + homes;
    }
    context.KeyWarning("unknown-key", place.Member(name).pointer, std::move(message));
  }
}

void CheckDuplicateKeys(Context& context, const Place& place, const json& object) {
  for (const auto& [name, member] : object.items()) {
    const std::string pointer = place.Member(name).pointer;
    const std::size_t count = context.Index().Occurrences(pointer);
    if (count > 1) {
      context.KeyWarning("duplicate-key", pointer,
                         Quoted(name) + " is written " + std::to_string(count) + " times; only the last one counts");
    }
  }
}

}  // namespace heraldix::check
