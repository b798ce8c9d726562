#include "config/ConfigValues.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace config {
namespace {

using json = nlohmann::json;

WrongType& Noted() noexcept {
  static WrongType noted;
  return noted;
}

// The lookup in object, raising the library's own error for an object that is not one.
const json* Find(const json& object, std::string_view key) {
  if (!object.is_object()) {
    NoteWrongType(object, "object");
    throw json::type_error::create(306, std::string("cannot use value() with ") + object.type_name(), nullptr);
  }
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

const json& EmptyObject() {
  static const json empty = json::object();
  return empty;
}

}  // namespace

void NoteWrongType(const json& value, const char* expected) noexcept { Noted() = WrongType{&value, expected}; }

void ForgetWrongType() noexcept { Noted() = WrongType{}; }

WrongType NotedWrongType() noexcept { return Noted(); }

const json& Section(const json& object, std::string_view key) {
  const json* member = Find(object, key);
  return member != nullptr ? *member : EmptyObject();
}

std::int32_t ToInt32(const json& value) {
  if (value.is_number_float()) {
    const double number = value.get<double>();
    if (std::isnan(number)) return 0;
    // Whole numbers beyond the 32-bit range saturate: a cast would be undefined behaviour.
    if (number >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (number <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(number);
  }
  // Integers keep their low 32 bits, as the game's own reads of configuration do.
  if (value.is_number_unsigned())
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::uint64_t>()));
  if (value.is_number_integer())
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::int64_t>()));
  if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
  NoteWrongType(value, "number");
  return value.get<std::int32_t>();  // raises "type must be number, but is ..."
}

float ToFloat(const json& value) {
  if (value.is_boolean()) return value.get<bool>() ? 1.0F : 0.0F;
  if (value.is_number()) {
    const double number = value.get<double>();
    // Beyond float's range the narrowing is undefined; the nearest finite value is what an admin meant.
    if (number > std::numeric_limits<float>::max()) return std::numeric_limits<float>::max();
    if (number < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::max();
    return static_cast<float>(number);
  }
  NoteWrongType(value, "number");
  return value.get<float>();  // raises "type must be number, but is ..."
}

std::int32_t ToInt32ThroughFloat(const json& value) {
  const float number = ToFloat(value);
  if (std::isnan(number)) return 0;
  if (number >= 2147483648.0F) return std::numeric_limits<std::int32_t>::max();
  if (number <= -2147483648.0F) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(number);
}

bool Bool(const json& object, std::string_view key, bool fallback) {
  const json* member = Find(object, key);
  if (member == nullptr) return fallback;
  if (!member->is_boolean()) NoteWrongType(*member, "boolean");
  return member->get<bool>();
}

std::int32_t Int32(const json& object, std::string_view key, std::int32_t fallback) {
  const json* member = Find(object, key);
  return member != nullptr ? ToInt32(*member) : fallback;
}

float Float(const json& object, std::string_view key, float fallback) {
  const json* member = Find(object, key);
  return member != nullptr ? ToFloat(*member) : fallback;
}

std::string String(const json& object, std::string_view key, std::string_view fallback) {
  const json* member = Find(object, key);
  if (member == nullptr) return std::string(fallback);
  if (!member->is_string()) NoteWrongType(*member, "string");
  return member->get<std::string>();
}

std::vector<std::string> StringList(const json& object, std::string_view key) {
  const json* member = Find(object, key);
  if (member == nullptr) return {};
  try {
    return member->get<std::vector<std::string>>();
  } catch (const json::type_error&) {
    // The element at fault is looked for only now, so a good list is read in one pass.
    if (!member->is_array()) {
      NoteWrongType(*member, "array");
    } else {
      const auto bad = std::find_if(member->begin(), member->end(), [](const json& e) { return !e.is_string(); });
      if (bad != member->end()) NoteWrongType(*bad, "string");
    }
    throw;
  }
}

const json& Section(const json& object, const grammar::Key& key) { return Section(object, key.name); }

bool Bool(const json& object, const grammar::Key& key) { return Bool(object, key.name, key.flag); }

std::int32_t Int32(const json& object, const grammar::Key& key) {
  return Int32(object, key.name, static_cast<std::int32_t>(key.number));
}

float Float(const json& object, const grammar::Key& key) {
  return Float(object, key.name, static_cast<float>(key.number));
}

std::string String(const json& object, const grammar::Key& key) { return String(object, key.name, key.text); }

std::vector<std::string> StringList(const json& object, const grammar::Key& key) {
  return StringList(object, key.name);
}

}  // namespace config
