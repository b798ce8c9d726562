// Owns what the server log is told about reading config.json: why a read failed, in words an admin can
// act on, and what a successful reload brought.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <spdlog/logger.h>
#include <nlohmann/json.hpp>

// The "Heraldix" logger over the host's sinks; made by Load, kept until the library's statics go.
std::shared_ptr<spdlog::logger>& Log();

// Why the error being handled happened: for a missing file the path tried; for malformed JSON the line
// and column and what the parser expected; for a value of the wrong type its key path, line and column,
// and the expected and actual types (as config::NoteWrongType noted them). document is the one whose
// reading failed (null when parsing did).
// Call only inside a catch handler. Reads config.json again to find places, so only on failure.
std::string ConfigFailureReason(const nlohmann::json* document) noexcept;

// Writes one error record "WHAT: REASON" with ConfigFailureReason; inside a catch handler only.
void LogConfigFailure(std::string_view what, const nlohmann::json* document) noexcept;

// Writes one info record "Reloaded config: N custom commands, M timed messages".
void LogReloaded(std::size_t customCommands, const nlohmann::json& document) noexcept;

// The JSON library's parse message without its "[json.exception...]" tag and its own line and column
// (which count bytes): what was read and what the parser expected.
std::string ParseErrorText(std::string_view what);
// The byte offset in the text at which a parse error was raised.
std::size_t ParseErrorOffset(const nlohmann::json::parse_error& error, std::size_t textSize);
