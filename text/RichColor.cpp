// RichColor markup for one line of a chat message.
#include "text/RichColor.h"

#include <iterator>

#include <fmt/format.h>

#include "text/Text.h"

std::string RichColorMarkup(const FString& line, ColourBytes colour, bool multiline) {
  // Channels already in 0..1 are taken as given (alpha with them, so it prints as 255); anything brighter
  // is read as bytes and scaled, in 32-bit floats as the game's colours are.
  const bool unitRange = colour.R <= 1 && colour.G <= 1 && colour.B <= 1;
  const auto channel = [unitRange](std::uint8_t byte) -> double {
    return unitRange ? static_cast<double>(byte) : static_cast<double>(static_cast<float>(byte) / 255.0F);
  };
  fmt::memory_buffer markup;
  fmt::format_to(std::back_inserter(markup), "<RichColor Color=\"{:g}, {:g}, {:g}, {:g}\">{}</>{}", channel(colour.R),
                 channel(colour.G), channel(colour.B), channel(colour.A), ToUtf8(line), multiline ? "\n" : "");
  return fmt::to_string(markup);
}
