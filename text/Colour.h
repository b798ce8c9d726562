// Owns colours: the byte colour every delivery takes, its linear form, and reading colours from config.
#pragma once

#include <cstdint>

#include <nlohmann/json.hpp>

#include "host/GameTypes.h"

struct ColourBytes {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  std::uint8_t A = 255;
  friend bool operator==(const ColourBytes&, const ColourBytes&) = default;
};

using LinearColour = FLinearColor;

// Channels through the IEC 61966-2-1 sRGB decoding table; alpha times 1/255.
LinearColour SrgbToLinear(ColourBytes colour);

// Low 8 bits of a 32-bit integer: 300 gives 44, 256 gives 0, -1 gives 255.
constexpr std::uint8_t LowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// An object {"R", "G", "B"}: members read in the order B, G, R as 32-bit integers (default 0), each cut
// to its low byte; alpha 255. Raises the JSON library's type errors.
ColourBytes ColourFromObject(const nlohmann::json& object);

// An array of numbers: elements 0, 1, 2 truncated toward zero to 32-bit integers and cut to bytes;
// missing elements count as 0; alpha 255. Raises the JSON library's type error for a non-number list.
ColourBytes ColourFromArray(const nlohmann::json& array);
