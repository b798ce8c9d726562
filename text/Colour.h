// Owns colours: the byte colour every delivery takes and its linear form.
#pragma once

#include <array>
#include <cstdint>

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

// Red, green and blue as read from the configuration, with alpha 255: every configured colour is opaque.
constexpr ColourBytes OpaqueColour(const std::array<std::uint8_t, 3>& rgb) {
  return ColourBytes{rgb[0], rgb[1], rgb[2], 255};
}
