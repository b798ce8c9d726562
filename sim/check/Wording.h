// Owns how the checker's messages show values: JSON types in words, values shortened, texts quoted.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace sim::check {

using nlohmann::json;

// "a number", "an object", ... for the library's type names.
std::string Described(const json& value);

// Text of a value for a message: strings quoted, everything else as JSON, long texts shortened.
std::string Shown(const json& value);
std::string Quoted(std::string_view text);

}  // namespace sim::check
