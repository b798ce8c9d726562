#include "config/ColourValues.h"

#include <cstddef>
#include <string>

#include "config/ConfigValues.h"
#include "grammar/Words.h"

namespace config {

using grammar::ChannelByte;

Rgb RgbFromObject(const nlohmann::json& object) {
  // Blue first: with more than one bad member, the error names the one read first.
  const std::int32_t blue = Int32(object, grammar::Colour::B);
  const std::int32_t green = Int32(object, grammar::Colour::G);
  const std::int32_t red = Int32(object, grammar::Colour::R);
  return Rgb{ChannelByte(red), ChannelByte(green), ChannelByte(blue)};
}

Rgb RgbFromArray(const nlohmann::json& array) {
  if (!array.is_array()) {
    NoteWrongType(array, "array");
    throw nlohmann::json::type_error::create(302, "type must be array, but is " + std::string(array.type_name()),
                                             &array);
  }
  std::array<std::int32_t, 3> channels{};
  for (std::size_t i = 0; i < channels.size() && i < array.size(); ++i) channels[i] = ToInt32ThroughFloat(array[i]);
  return Rgb{ChannelByte(channels[0]), ChannelByte(channels[1]), ChannelByte(channels[2])};
}

}  // namespace config
