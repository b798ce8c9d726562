// Owns the "Players" section: whether choices are kept, where, the commands players make them with, the
// languages offered and the answers players get.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "players/LocalText.h"

// Each answer in every language configured.
struct PlayerTexts {
  LocalText advertsOff;
  LocalText advertsOn;
  LocalText advertsUsage;
  LocalText languageSet;
  LocalText languageList;
  LocalText languageUnknown;
  LocalText notKept;
};

struct PlayerSettings {
  bool enabled = false;
  std::string database;  // as configured; DatabasePath() resolves it
  std::string optOutCommand;
  std::string languageCommand;
  std::vector<std::string> languages;
  std::string defaultLanguage;
  PlayerTexts texts;
};

// The section of document with every default filled in. Raises the JSON library's type errors.
PlayerSettings ReadPlayerSettings(const nlohmann::json& document);

// The database file: a relative name lies beside config.json.
std::string DatabasePath(const PlayerSettings& settings);

// text with {0}, {1}, ... replaced by values, their braces doubled so the formatter shows them as typed.
std::string FillIn(const std::string& text, const std::vector<std::string>& values);
