#include "config/ColourValues.h"

#include <cstddef>
#include <string>

#include "config/ConfigValues.h"

namespace ConfigValue {
namespace {

constexpr std::uint8_t LowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

Rgb RgbFromObject(const nlohmann::json& object) {
  // Blue first: with more than one bad member, the error names the one read first.
  const std::int32_t blue = Int32(object, ConfigKeys::Colour::B);
  const std::int32_t green = Int32(object, ConfigKeys::Colour::G);
  const std::int32_t red = Int32(object, ConfigKeys::Colour::R);
  return Rgb{LowByte(red), LowByte(green), LowByte(blue)};
}

Rgb RgbFromArray(const nlohmann::json& array) {
  if (!array.is_array()) {
    NoteWrongType(array, "array");
    throw nlohmann::json::type_error::create(302, "type must be array, but is " + std::string(array.type_name()),
                                             &array);
  }
  std::array<std::int32_t, 3> channels{};
  for (std::size_t i = 0; i < channels.size() && i < array.size(); ++i) channels[i] = ToInt32ThroughFloat(array[i]);
  return Rgb{LowByte(channels[0]), LowByte(channels[1]), LowByte(channels[2])};
}

}  // namespace ConfigValue
