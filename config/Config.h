// Owns the configuration document: where config.json lives, reading it, and the held document.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

// The held document: null before the first successful read, then replaced only as a whole.
const nlohmann::json& Config();
void ReplaceConfig(nlohmann::json document);

// The server directory followed by "/TarrowApi/Plugins/Heraldix/config.json".
std::string ConfigPath();

// Parses config.json into a new document: strict JSON, no comments, an optional UTF-8 byte-order mark,
// text after the first value ignored. Raises std::runtime_error("Can't open config.json") or the JSON
// library's parse error; the held document is never touched.
nlohmann::json ParseConfigFile();

// ParseConfigFile, then ReplaceConfig on success.
void ReadConfig();
