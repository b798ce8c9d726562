#include "sim/check/ColourChecks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/ConfigValues.h"
#include "grammar/Words.h"
#include "sim/check/Keys.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {
namespace {

void CheckChannelRange(Context& context, const Place& place, const json& written, std::int32_t read) {
  if (read >= 0 && read <= 255) return;
  context.Warning(
      "colour-range", place.pointer,
      "a channel runs from 0 to 255; " + Shown(written) + " wraps to " + std::to_string(grammar::ChannelByte(read)));
}

}  // namespace

std::string ColourObjectShape() {
  std::string shape;
  for (const std::string_view channel : keys::Colour) shape += (shape.empty() ? "{" : ", ") + Quoted(channel) + ": ...";
  return shape + "}";
}

void CheckColourLeftOut(Context& context, const Place& place, std::string_view key, std::string_view what) {
  context.Warning("colour-missing", place.pointer,
                  "no " + Quoted(key) + ": " + std::string(what) + " is black (0, 0, 0); give " + ColourObjectShape());
}

void CheckTinyColour(Context& context, const std::string& pointer, int red, int green, int blue) {
  const auto tiny = [](int channel) { return channel == 0 || channel == 1; };
  if (!tiny(red) || !tiny(green) || !tiny(blue) || red + green + blue == 0) return;
  context.Warning("colour-tiny", pointer,
                  "every channel is 0 or 1: chat lines show this at full strength, server lines and notifications "
                  "nearly black; channels run from 0 to 255");
}

void CheckColourObject(Context& context, const Place& place, const json& value) {
  if (!ExpectObject(context, place, value)) return;
  int bytes[3] = {0, 0, 0};
  bool readable = true;
  for (std::size_t i = 0; i < keys::Colour.size(); ++i) {
    const std::string_view channel = keys::Colour[i];
    const auto member = value.find(channel);
    if (member == value.end()) continue;
    const Place at = place.Member(channel);
    const std::optional<std::int32_t> read = ExpectInteger(context, at, *member);
    readable = readable && read.has_value();
    if (read) bytes[i] = grammar::ChannelByte(*read);
    if (read) CheckChannelRange(context, at, *member, *read);
  }
  if (readable) CheckTinyColour(context, place.pointer, bytes[0], bytes[1], bytes[2]);
  for (const auto& [name, member] : value.items()) {
    if (name == grammar::AlphaChannel) {
      context.KeyWarning("unknown-key", place.Member(name).pointer,
                         "there is no alpha channel: configured colours are always opaque");
    }
  }
  static constexpr auto Known = [] {
    std::array<std::string_view, keys::Colour.size() + 1> names{};
    std::copy(keys::Colour.begin(), keys::Colour.end(), names.begin());
    names.back() = grammar::AlphaChannel;
    return names;
  }();
  CheckUnknownKeys(context, place, value, Known);
  CheckDuplicateKeys(context, place, value);
}

void CheckColourArray(Context& context, const Place& place, const json* value) {
  if (value == nullptr) {
    context.Warning("colour-missing", place.pointer,
                    "no " + Quoted(grammar::Command::MessageColor.name) +
                        ": the reply is black (0, 0, 0); give [red, green, blue]");
    return;
  }
  const Place at = place.Member(grammar::Command::MessageColor);
  if (!value->is_array()) {
    context.Error(
        "type", at.pointer,
        "must be an array of numbers [red, green, blue], but is " + Described(*value) + ": " + at.consequence);
    return;
  }
  int bytes[3] = {0, 0, 0};
  bool readable = true;
  for (std::size_t i = 0; i < value->size(); ++i) {
    const Place element = at.Element(i);
    const bool number = ExpectNumber(context, element, (*value)[i]);
    readable = readable && number;
    if (!number || i >= 3) continue;
    const std::int32_t read = config::ToInt32ThroughFloat((*value)[i]);
    bytes[i] = grammar::ChannelByte(read);
    CheckChannelRange(context, element, (*value)[i], read);
  }
  if (readable && value->size() >= 3) CheckTinyColour(context, at.pointer, bytes[0], bytes[1], bytes[2]);
  if (value->size() < 3) {
    context.Warning("colour-short", at.pointer, "fewer than three channels [red, green, blue]: the missing ones are 0");
  } else if (value->size() > 3) {
    context.Warning("colour-long", at.Element(3).pointer,
                    "only red, green and blue are read; there is no alpha and the rest is ignored");
  }
}

}  // namespace sim::check
