// Owns the checks of configured colours: channel ranges, colours left out and colours too dark to see.
#pragma once

#include <string>
#include <string_view>

#include "sim/check/Context.h"

namespace sim::check {

// An object {"R", "G", "B"} of numbers; channels outside 0-255 wrap.
void CheckColourObject(Context& context, const Place& place, const json& value);
// A colour left out where the plug-in then draws black: what would be black.
void CheckColourLeftOut(Context& context, const Place& place, std::string_view key, std::string_view what);
// Channels all 0 or 1 (not all 0): chat shows them at full strength, other deliveries nearly black.
void CheckTinyColour(Context& context, const std::string& pointer, int red, int green, int blue);
// {"R": ..., "G": ..., "B": ...}: how a colour object is written, for messages.
std::string ColourObjectShape();
// A custom command's [red, green, blue] array at its place in the command; null when left out.
void CheckColourArray(Context& context, const Place& place, const json* value);

}  // namespace sim::check
