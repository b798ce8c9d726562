// Owns the configuration document: where config.json lives, reading it, and the held document.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

// config.json could not be opened. what() is "Can't open config.json"; the path tried and the system's
// reason are kept for the server log.
class ConfigOpenError : public std::runtime_error {
 public:
  ConfigOpenError(std::string path, std::string reason)
      : std::runtime_error("Can't open config.json"), path_(std::move(path)), reason_(std::move(reason)) {}
  [[nodiscard]] const std::string& Path() const noexcept { return path_; }
  [[nodiscard]] const std::string& Reason() const noexcept { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// The held document: null before the first successful read, then replaced only as a whole.
const nlohmann::json& Config();
void ReplaceConfig(nlohmann::json document);
// Counts replacements of the held document, so what is worked out from it can be kept until it changes.
std::uint64_t ConfigGeneration();

// The server directory followed by "/TarrowApi/Plugins/Heraldix/config.json".
std::string ConfigPath();

// Parses config.json into a new document: strict JSON, no comments, an optional UTF-8 byte-order mark,
// text after the first value ignored. Raises ConfigOpenError ("Can't open config.json") or the JSON
// library's parse error (ConfigOpenError is a std::runtime_error); the held document is never touched.
nlohmann::json ParseConfigFile();

// ParseConfigFile, then ReplaceConfig on success.
void ReadConfig();
