// Owns reading colours out of configuration values: the red, green and blue an administrator wrote.
#pragma once

#include <array>
#include <cstdint>

#include <nlohmann/json.hpp>

namespace config {

// Red, green and blue, each the low 8 bits of the 32-bit integer configured: 300 gives 44, -1 gives 255.
using Rgb = std::array<std::uint8_t, 3>;

// An object {"R", "G", "B"}: members read in the order B, G, R as 32-bit integers (default 0). Raises the
// JSON library's type errors.
Rgb RgbFromObject(const nlohmann::json& object);

// An array of numbers: elements 0, 1, 2 truncated toward zero to 32-bit integers; missing elements count
// as 0. Raises the JSON library's type error for anything but an array, or a non-number among the three.
Rgb RgbFromArray(const nlohmann::json& array);

}  // namespace config
