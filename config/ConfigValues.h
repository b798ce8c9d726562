// Owns value-with-default reads from the configuration document, with the JSON library's type errors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "grammar/Keys.h"

// Each read looks key up in object: an absent member gives the default; object must be a JSON object
// ("cannot use value() with <type>" otherwise); a present member must have the default's type ("type must
// be number, but is string", ...). Numbers accept integers, floats (truncated toward zero) and booleans.
namespace config {

// The member when it is present, otherwise an empty object. Returns a reference into object.
const nlohmann::json& Section(const nlohmann::json& object, std::string_view key);

bool Bool(const nlohmann::json& object, std::string_view key, bool fallback);
std::int32_t Int32(const nlohmann::json& object, std::string_view key, std::int32_t fallback);
float Float(const nlohmann::json& object, std::string_view key, float fallback);
std::string String(const nlohmann::json& object, std::string_view key, std::string_view fallback);
std::vector<std::string> StringList(const nlohmann::json& object, std::string_view key);

// The same reads by the key table's entry: its name and its default. The features read through these.
const nlohmann::json& Section(const nlohmann::json& object, const grammar::Key& key);
bool Bool(const nlohmann::json& object, const grammar::Key& key);
std::int32_t Int32(const nlohmann::json& object, const grammar::Key& key);
float Float(const nlohmann::json& object, const grammar::Key& key);
std::string String(const nlohmann::json& object, const grammar::Key& key);
std::vector<std::string> StringList(const nlohmann::json& object, const grammar::Key& key);

// A JSON number or boolean as a 32-bit integer: integers cut to their low 32 bits, floats truncated toward
// zero (beyond the 64-bit range: saturated), booleans 1 or 0. Raises the library's type error otherwise.
std::int32_t ToInt32(const nlohmann::json& value);
float ToFloat(const nlohmann::json& value);
// A JSON number as a 32-bit float, then truncated toward zero to a 32-bit integer (saturating): how the
// channels of a colour list are read, so a whole number beyond 2^24 rounds and one beyond 32 bits saturates.
std::int32_t ToInt32ThroughFloat(const nlohmann::json& value);

// The value a read last found of the wrong type, and the JSON type the read expected ("string", ...).
// Only failing reads note one, so the reads cost nothing more; the server log names its key later.
struct WrongType {
  const nlohmann::json* value = nullptr;
  const char* expected = "";
};
void NoteWrongType(const nlohmann::json& value, const char* expected) noexcept;
// Forgets the noted value; a load or reload calls it first, so an older failure is never blamed.
void ForgetWrongType() noexcept;
WrongType NotedWrongType() noexcept;

}  // namespace config
