#include "players/PlayerSettings.h"

#include <filesystem>

#include "config/Config.h"
#include "config/ConfigValues.h"

namespace {

constexpr const char* SectionKey = "Players";

std::string Escaped(const std::string& value) {
  std::string escaped;
  for (const char unit : value) {
    escaped += unit;
    if (unit == '{' || unit == '}') escaped += unit;
  }
  return escaped;
}

}  // namespace

PlayerSettings ReadPlayerSettings(const nlohmann::json& document) {
  using config::String;
  const nlohmann::json& section = config::Section(document, SectionKey);
  PlayerSettings settings;
  settings.enabled = config::Bool(section, "Enabled", false);
  settings.database = String(section, "Database", "players.db");
  settings.optOutCommand = String(section, "Opt_Out_Command", "/adverts");
  settings.languageCommand = String(section, "Language_Command", "/language");
  settings.languages = config::StringList(section, "Languages");
  settings.defaultLanguage = String(section, "Default_Language", "");
  PlayerTexts& texts = settings.texts;
  const auto read = [&section](std::string_view key, std::string_view fallback) {
    return LocalText::Read(section, key, fallback);
  };
  texts.advertsOff = read("Adverts_Off_Message", "Automatic messages are off for you. Type {0} on to have them back.");
  texts.advertsOn = read("Adverts_On_Message", "Automatic messages are on for you again.");
  texts.advertsUsage =
      read("Adverts_Usage_Message", "Type {0} off to stop automatic messages, {0} on to have them back.");
  texts.languageSet = read("Language_Set_Message", "Your language is now {0}.");
  texts.languageList = read("Language_List_Message", "Your language: {0}. Choose one of {1} with {2} CODE.");
  texts.languageUnknown = read("Language_Unknown_Message", "There is no language {0} here. Choose one of {1}.");
  texts.notKept = read("Not_Kept_Message", "Your choices cannot be kept at the moment.");
  return settings;
}

std::string DatabasePath(const PlayerSettings& settings) {
  const std::filesystem::path name(settings.database);
  if (name.is_absolute()) return name.string();
  return (std::filesystem::path(ConfigPath()).parent_path() / name).string();
}

std::string FillIn(const std::string& text, const std::vector<std::string>& values) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    // "{{" is the formatter's escaped brace: it stays, and what follows it is no placeholder.
    if (text[at] == '{' && at + 1 < text.size() && text[at + 1] == '{') {
      out += "{{";
      ++at;
      continue;
    }
    if (text[at] == '{' && at + 2 < text.size() && text[at + 2] == '}' && text[at + 1] >= '0' && text[at + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[at + 1] - '0');
      if (index < values.size()) {
        out += Escaped(values[index]);
        at += 2;
        continue;
      }
    }
    out += text[at];
  }
  return out;
}
