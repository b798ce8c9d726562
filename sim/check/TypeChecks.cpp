#include "sim/check/TypeChecks.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "config/ConfigValues.h"
#include "sim/check/ColourChecks.h"
#include "sim/check/Keys.h"
#include "sim/check/Spelling.h"
#include "sim/check/Wording.h"

namespace sim::check {
namespace {

bool HasNonAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
}

void TypeError(Context& context, const Place& place, std::string_view expected, const json& value) {
  std::string message = "must be " + std::string(expected) + ", but is " + Described(value);
  if (!place.consequence.empty()) message += ": " + place.consequence;
  context.Error("type", place.pointer, std::move(message));
}

}  // namespace

std::string ByteByByte(std::string_view text) {
  std::string out;
  for (const char c : text) out += static_cast<unsigned char>(c) > 127 ? '?' : c;
  return out;
}

// The plug-in's own reading, so a warning shows what the plug-in makes of the number.
std::int32_t AsInt32(const json& number) { return config::ToInt32(number); }

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
  } else if ((value.is_number_integer() && !value.is_number_unsigned() && value.get<std::int64_t>() != read) ||
             (value.is_number_unsigned() && value.get<std::uint64_t>() != static_cast<std::uint64_t>(read))) {
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
                        Quoted(ByteByByte(text)));
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

bool ExpectTextList(Context& context, const Place& place, const json& value) {
  if (!value.is_array()) {
    TypeError(context, place, "an array of strings", value);
    return false;
  }
  bool readable = true;
  for (std::size_t i = 0; i < value.size(); ++i)
    readable = ExpectString(context, place.Element(i), value[i]) && readable;
  return readable;
}

bool ExpectLocalText(Context& context, const Place& place, const json& value) {
  if (value.is_string()) return true;
  if (!value.is_object()) {
    TypeError(context, place, "a string or an object of language codes to strings", value);
    return false;
  }
  bool readable = true;
  for (const auto& [code, text] : value.items()) readable = ExpectString(context, place.Member(code), text) && readable;
  return readable;
}

bool ExpectKey(Context& context, const Place& place, const grammar::Key& key, const json& value,
               std::string_view what) {
  using grammar::ValueType;
  switch (key.type) {
    case ValueType::Section:
      return ExpectObject(context, place, value);
    case ValueType::Boolean:
      return ExpectBool(context, place, value);
    case ValueType::Integer:
      return ExpectInteger(context, place, value).has_value();
    case ValueType::Number:
      return ExpectNumber(context, place, value);
    case ValueType::ByteText:
      return ExpectByteText(context, place, value, what);
    case ValueType::GroupList:
      return ExpectGroupList(context, place, value);
    case ValueType::Colour:
      CheckColourObject(context, place, value);
      return value.is_object();
    case ValueType::Utf8Text:
    case ValueType::KindText:
    case ValueType::Choice:
      return ExpectString(context, place, value);
    case ValueType::TextList:
      return ExpectTextList(context, place, value);
    case ValueType::LocalText:
      return ExpectLocalText(context, place, value);
    default:
      // Lists of times, days, colours, commands and messages each have a rule of their own.
      return true;
  }
}

bool CheckWord(Context& context, const Place& place, const std::string& value, const grammar::Key& key,
               std::string_view consequence, std::string_view code) {
  const std::span<const std::string_view> words = key.words;
  if (std::find(words.begin(), words.end(), value) != words.end()) return true;
  std::string list;
  for (const std::string_view word : words) list += (list.empty() ? "" : ", ") + std::string(word);
  std::string message = Quoted(value) + " is none of " + list + " (compared exactly): " + std::string(consequence);
  if (const auto near = Nearest(value, words)) message += "; did you mean " + Quoted(*near) + "?";
  context.Warning(code, place.pointer, std::move(message));
  return false;
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
      for (const keys::Home& section : keys::Sections()) {
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

}  // namespace sim::check
