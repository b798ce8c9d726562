// Colour conversions: sRGB bytes to the game's linear colour, and colours read from the configuration.
#include "text/Colour.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

#include "config/ConfigValues.h"

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

ColourBytes ColourFromObject(const nlohmann::json& object) {
  // Blue first: with more than one bad member, the error names the one read first.
  const std::int32_t blue = ConfigValue::Int32(object, ConfigKeys::Colour::B);
  const std::int32_t green = ConfigValue::Int32(object, ConfigKeys::Colour::G);
  const std::int32_t red = ConfigValue::Int32(object, ConfigKeys::Colour::R);
  return ColourBytes{LowByte(red), LowByte(green), LowByte(blue), 255};
}

ColourBytes ColourFromArray(const nlohmann::json& array) {
  if (!array.is_array()) {
    ConfigValue::NoteWrongType(array, "array");
    throw nlohmann::json::type_error::create(302, "type must be array, but is " + std::string(array.type_name()),
                                             &array);
  }
  std::array<std::int32_t, 3> channels{};
  for (std::size_t i = 0; i < channels.size() && i < array.size(); ++i) channels[i] = ConfigValue::ToInt32ThroughFloat(array[i]);
  return ColourBytes{LowByte(channels[0]), LowByte(channels[1]), LowByte(channels[2]), 255};
}
