#include "config/Config.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "host/Tools.h"

namespace {

nlohmann::json& HeldDocument() {
  static nlohmann::json document;
  return document;
}

std::uint64_t& Generation() {
  static std::uint64_t generation = 0;
  return generation;
}

}  // namespace

const nlohmann::json& Config() { return HeldDocument(); }

void ReplaceConfig(nlohmann::json document) {
  HeldDocument() = std::move(document);
  ++Generation();
}

std::uint64_t ConfigGeneration() { return Generation(); }

std::string ConfigPath() { return TarrowApi::Tools::GetCurrentDir() + "/TarrowApi/Plugins/Heraldix/config.json"; }

nlohmann::json ParseConfigFile() {
  const std::string path = ConfigPath();
  // A directory opens as a stream on some platforms and then reads as nothing; it is as unreadable as a
  // missing file.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw ConfigOpenError(path, "it is a directory");
  errno = 0;
  std::ifstream file(path);
  if (!file.is_open()) throw ConfigOpenError(path, errno != 0 ? std::strerror(errno) : "cannot be opened");

  // Stream extraction reads one value and stops there, so a trailing note after the closing brace does
  // not break a server; comments are not JSON and are rejected. A UTF-8 byte-order mark is skipped.
  nlohmann::json document;
  file >> document;
  return document;
}

void ReadConfig() { ReplaceConfig(ParseConfigFile()); }
