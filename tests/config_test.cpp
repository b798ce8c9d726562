// Configuration reads: value-with-default lookups with the JSON library's own errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "config/ColourValues.h"
#include "config/ConfigValues.h"

namespace {

using nlohmann::json;

// What a read gives, written out, or the message of the error it raises.
std::string Outcome(const std::function<std::string()>& read) {
  try {
    return read();
  } catch (const json::exception& error) {
    return error.what();
  }
}

std::string Shown(const config::Rgb& rgb) {
  return std::to_string(rgb[0]) + " " + std::to_string(rgb[1]) + " " + std::to_string(rgb[2]);
}

const std::string TypeError = "[json.exception.type_error.302] type must be ";

TEST(Config, ReadsTakeDefaultsConvertNumbersAndRaiseTheLibrarysTypeErrors) {
  const json object = json::parse(R"({"a": 2.7, "b": -2.7, "c": true, "e": 4294967297, "f": -1,
      "big": 1e300, "small": -1e300, "edge": 2147483648.0, "n": "10", "s": 5, "l": [1, 2], "x": null,
      "list": ["a", "b"]})");
  const json array = json::array();
  const json null;
  using namespace config;
  const auto i32 = [&](const char* key) { return [&object, key] { return std::to_string(Int32(object, key, 9)); }; };
  const auto f32 = [&](const char* key) { return [&object, key] { return std::to_string(Float(object, key, 9)); }; };
  const struct {
    const char* name;
    std::function<std::string()> read;
    std::string outcome;
  } rows[] = {
      {"absent bool", [&] { return std::to_string(Bool(object, "absent", true)); }, "1"},
      {"absent int", i32("absent"), "9"},
      {"absent float", f32("absent"), std::to_string(9.0F)},
      {"absent string", [&] { return String(object, "absent", "Heraldix"); }, "Heraldix"},
      {"absent list", [&] { return std::to_string(StringList(object, "absent").size()); }, "0"},
      {"absent section", [&] { return Section(object, "absent").dump(); }, "{}"},
      {"present list", [&] { return StringList(object, "list").at(1); }, "b"},
      {"float truncated", i32("a"), "2"},
      {"negative float truncated toward zero", i32("b"), "-2"},
      {"true", i32("c"), "1"},
      {"integers keep their low 32 bits", i32("e"), "1"},
      {"negative integer", i32("f"), "-1"},
      {"huge float saturates", i32("big"), "2147483647"},
      {"huge negative float saturates", i32("small"), "-2147483648"},
      {"float just past the range saturates", i32("edge"), "2147483647"},
      {"float kept", f32("a"), std::to_string(2.7F)},
      {"boolean as float", f32("c"), std::to_string(1.0F)},
      {"huge float as float", [&] { return std::to_string(Float(object, "big", 0) > 3e38F); }, "1"},
      {"string for a number", i32("n"), TypeError + "number, but is string"},
      {"null for a float", f32("x"), TypeError + "number, but is null"},
      {"number for a bool", [&] { return std::to_string(Bool(object, "s", false)); },
       TypeError + "boolean, but is number"},
      {"number for a string", [&] { return String(object, "s", ""); }, TypeError + "string, but is number"},
      {"numbers in a list", [&] { return StringList(object, "l").at(0); }, TypeError + "string, but is number"},
      {"number for a list", [&] { return StringList(object, "s").at(0); }, TypeError + "array, but is number"},
      {"section of an array", [&] { return Section(array, "Heraldix").dump(); },
       "[json.exception.type_error.306] cannot use value() with array"},
      {"read of null", [&] { return std::to_string(Bool(null, "Enabled", false)); },
       "[json.exception.type_error.306] cannot use value() with null"},
  };
  for (const auto& row : rows) EXPECT_EQ(Outcome(row.read), row.outcome) << row.name;
}

TEST(Config, ColoursAreCutToTheirLowBytes) {
  // Objects read whole numbers (floats truncated); blue is read first, so its error is the one raised.
  // Arrays take their first three elements as 32-bit floats, saturating past the integer range; missing
  // ones are black.
  const std::pair<const char*, std::string> objects[] = {
      {R"({"R": 300, "G": -1, "B": 2.9})", "44 255 2"},
      {R"({"G": 7})", "0 7 0"},
      {R"({"R": "red", "B": [1]})", TypeError + "number, but is array"},
      {"[]", "[json.exception.type_error.306] cannot use value() with array"},
  };
  for (const auto& [text, rgb] : objects) {
    const char* const object = text;  // a lambda captures a variable, not a structured binding
    EXPECT_EQ(Outcome([&] { return Shown(config::RgbFromObject(json::parse(object))); }), rgb) << text;
  }
  const std::pair<const char*, std::string> arrays[] = {
      {"[255, 128.9, -1]", "255 128 255"},
      {"[300, -0.5, 511.99]", "44 0 255"},
      {R"([1, 2, 3, "ignored", {}])", "1 2 3"},
      {"[true, false, 0]", "1 0 0"},
      {"[9, 8]", "9 8 0"},
      {"[1e300, -1e300, 3e9]", "255 0 255"},
      {"[2147483520, -2147483648, 1e-30]", "128 0 0"},
      {"{}", TypeError + "array, but is object"},
      {"5", TypeError + "array, but is number"},
      {R"([1, "2", 3])", TypeError + "number, but is string"},
  };
  for (const auto& [text, rgb] : arrays) {
    const char* const array = text;
    EXPECT_EQ(Outcome([&] { return Shown(config::RgbFromArray(json::parse(array))); }), rgb) << text;
  }
}

}  // namespace
