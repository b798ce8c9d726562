#include "sim/runner/EventWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include <fmt/format.h>

#include "sim/game/ChatMarkup.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"

namespace sim {
namespace {

constexpr const char* Reset = "\x1b[0m";

std::string Foreground(int r, int g, int b) {
  return "\x1b[38;2;" + std::to_string(r) + ";" + std::to_string(g) + ";" + std::to_string(b) + "m";
}

// The game takes linear colours; a terminal shows sRGB.
int LinearToByte(double linear) {
  linear = std::clamp(linear, 0.0, 1.0);
  const double srgb = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
  return UnitToByte(srgb);
}

std::string ColourOf(const nlohmann::json& colour) {
  if (!colour.is_array() || colour.size() < 3) return {};
  return Foreground(LinearToByte(colour[0].get<double>()), LinearToByte(colour[1].get<double>()),
                    LinearToByte(colour[2].get<double>()));
}

std::string Text(const nlohmann::json& event, const char* key) {
  auto found = event.find(key);
  if (found == event.end()) return {};
  if (found->is_string()) return found->get<std::string>();
  // Scales and times arrive as 32-bit floats; six significant digits show what an admin typed (1.2, not
  // 1.2000000476837158).
  if (found->is_number_float()) return fmt::format("{:g}", found->get<double>());
  return found->dump();
}

std::string Painted(const std::string& text, const std::string& escape, bool colour) {
  return colour && !escape.empty() ? escape + text + Reset : text;
}

}  // namespace

std::string JsonLine(const nlohmann::json& event) {
  std::string line = "{";
  bool first = true;
  auto add = [&](const std::string& key, const nlohmann::json& value) {
    if (!first) line += ",";
    first = false;
    line += nlohmann::json(key).dump() + ":" + value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  };
  for (const char* key : {"event", "t"}) {
    if (event.contains(key)) add(key, event.at(key));
  }
  for (const auto& [key, value] : event.items()) {
    if (key != "event" && key != "t") add(key, value);
  }
  return line + "}";
}

std::string RenderRichColor(const std::string& text, bool colour) {
  std::string out;
  for (const MarkupRun& run : ReadChatMarkup(text)) {
    out += run.colour ? Painted(run.text, Foreground((*run.colour)[0], (*run.colour)[1], (*run.colour)[2]), colour)
                      : run.text;
  }
  return out;
}

std::string ReadableLine(const nlohmann::json& event, bool colour) {
  const std::string kind = Text(event, "event");
  std::string head = "[" + Text(event, "t") + "s] ";
  const std::string dim = colour ? "\x1b[2m" : "";
  if (kind == "server") {
    const bool bold = event.value("bold", false);
    return head + "server → " + Text(event, "to") + ": " +
           Painted(Text(event, "text"), ColourOf(event.value("color", nlohmann::json())) + (bold ? "\x1b[1m" : ""),
                   colour);
  }
  if (kind == "chat") {
    return head + "chat → " + Text(event, "to") + ": " + Text(event, "sender") + ": " +
           RenderRichColor(Text(event, "text"), colour);
  }
  if (kind == "notification") {
    const auto icon = event.value("icon", nlohmann::json());
    return head + "notification → " + Text(event, "to") + " (" + Text(event, "time") + "s, scale " +
           Text(event, "scale") + (icon.is_string() ? ", icon " + icon.get<std::string>() : "") +
           "): " + Painted(Text(event, "text"), ColourOf(event.value("color", nlohmann::json())), colour);
  }
  if (kind == "rcon") return head + "rcon #" + Text(event, "id") + ": " + Text(event, "text");
  if (kind == "say")
    return head + "say " + Text(event, "from") + " (mode " + Text(event, "mode") + "): " + Text(event, "text");
  if (kind == "refused") {
    return head + "refused " + Text(event, "from") + " (" + Text(event, "since") +
           "s after their last line): " + Text(event, "text");
  }
  if (kind == "log")
    return head + "log [" + Text(event, "logger") + "][" + Text(event, "level") + "] " + Text(event, "text");
  if (kind == "dropped") {
    return head + Painted(Text(event, "count") + " events dropped: the output's reader fell behind", dim, colour);
  }
  if (kind == "fault") return head + Painted("FAULT: " + Text(event, "text"), "\x1b[1;31m", colour);
  if (kind == "trace") {
    std::string call = Text(event, "call") + "(";
    const auto args = event.value("args", nlohmann::json::array());
    for (std::size_t i = 0; i < args.size(); ++i) call += (i == 0 ? "" : ", ") + args[i].dump();
    call += ")";
    if (event.contains("result")) call += " → " + event.at("result").dump();
    return head + Painted("trace " + call, dim, colour);
  }
  return head + JsonLine(event);
}

std::string ReadableClockLine() { return "[" + std::to_string(Elapsed()) + "s] server clock " + LocalClockText(); }

void WriteEventsTo(std::FILE* out, bool json, bool colour) {
  SetEventListener([out, json, colour](const nlohmann::json& event) {
    const std::string line = json ? JsonLine(event) : ReadableLine(event, colour);
    std::fputs(line.c_str(), out);
    std::fputc('\n', out);
    std::fflush(out);
  });
}

}  // namespace sim
