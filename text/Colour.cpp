// Colour conversions: sRGB bytes to the game's linear colour.
#include "text/Colour.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace {

// IEC 61966-2-1 decoding of every byte value, computed once in double and narrowed on use.
const std::array<double, 256>& SrgbTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
      const double c = static_cast<double>(i) / 255.0;
      values[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return values;
  }();
  return table;
}

}  // namespace

LinearColour SrgbToLinear(ColourBytes colour) {
  const auto& table = SrgbTable();
  return LinearColour{static_cast<float>(table[colour.R]), static_cast<float>(table[colour.G]),
                      static_cast<float>(table[colour.B]), static_cast<float>(colour.A) * 0.003921569F};
}
