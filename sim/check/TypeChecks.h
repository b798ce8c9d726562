// Owns the checks of a value's JSON type, of unknown and of duplicate keys, by the key table's rows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "grammar/Keys.h"
#include "sim/check/Context.h"

namespace sim::check {

// The JSON number or boolean as the plug-in's 32-bit integer reads turn it: integers keep their low 32
// bits, floats are truncated toward zero (saturating), booleans are 1 and 0.
std::int32_t AsInt32(const json& number);

// The text as the plug-in reads it byte by byte: each byte above 127 becomes "?".
std::string ByteByByte(std::string_view text);

// Each check reports a wrong JSON type as an error and returns false; true when the value can be read.
bool ExpectObject(Context& context, const Place& place, const json& value);
bool ExpectBool(Context& context, const Place& place, const json& value);
bool ExpectString(Context& context, const Place& place, const json& value);
// Numbers: integers, floats and booleans are read; a boolean is warned about.
bool ExpectNumber(Context& context, const Place& place, const json& value);
// A number read as a 32-bit integer; warns when the reading changes what was written.
std::optional<std::int32_t> ExpectInteger(Context& context, const Place& place, const json& value);
// A text the plug-in turns into game text byte by byte: each byte above 127 shows as "?".
bool ExpectByteText(Context& context, const Place& place, const json& value, std::string_view what);
// An array of strings, each widened byte by byte.
bool ExpectGroupList(Context& context, const Place& place, const json& value);
// An array of strings, each decoded from UTF-8.
bool ExpectTextList(Context& context, const Place& place, const json& value);
// A string, or an object of language codes to strings.
bool ExpectLocalText(Context& context, const Place& place, const json& value);

// The check key.type asks for, of the value at place (the member key of an object): objects, booleans, numbers,
// texts and group lists; a byte-by-byte text is what. True when the plug-in can read the value.
bool ExpectKey(Context& context, const Place& place, const grammar::Key& key, const json& value,
               std::string_view what = "the text");

// A word compared exactly against key.words, as the plug-in compares it; warns (code, with consequence)
// and returns false when it is none of them.
bool CheckWord(Context& context, const Place& place, const std::string& value, const grammar::Key& key,
               std::string_view consequence, std::string_view code);

// Members not in known: warned about, with the nearest known name when one is close.
void CheckUnknownKeys(Context& context, const Place& place, const json& object,
                      std::span<const std::string_view> known);
// Members written more than once: the library keeps the last.
void CheckDuplicateKeys(Context& context, const Place& place, const json& object);

}  // namespace sim::check
