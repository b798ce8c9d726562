// Owns how events are written: one JSON object a line, or readable lines with the colours rendered.
#pragma once

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace sim {

// {"event":...,"t":...,} first, then the other fields in name order.
std::string JsonLine(const nlohmann::json& event);

// One line for a person; with colour, ANSI escapes show the message colours and RichColor markup.
std::string ReadableLine(const nlohmann::json& event, bool colour);

// "[Ts] server clock Thu 2026-01-01 00:00:00 UTC (UTC+00:00, zone UTC)": the server's local time now.
std::string ReadableClockLine();

// Markup <RichColor Color="r, g, b, a">text</> turned into coloured text (or plain text without colour).
std::string RenderRichColor(const std::string& text, bool colour);

// Writes every event to out as it happens (JSON or readable), flushing each line.
void WriteEventsTo(std::FILE* out, bool json, bool colour);

}  // namespace sim
