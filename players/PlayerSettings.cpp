#include "players/PlayerSettings.h"

#include <filesystem>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "grammar/Keys.h"

namespace {

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
  namespace Keys = grammar::Players;
  const nlohmann::json& section = config::Section(document, grammar::Top::Players);
  PlayerSettings settings;
  settings.enabled = config::Bool(section, Keys::Enabled);
  settings.database = config::String(section, Keys::Database);
  settings.optOutCommand = config::String(section, Keys::Opt_Out_Command);
  settings.languageCommand = config::String(section, Keys::Language_Command);
  settings.languages = config::StringList(section, Keys::Languages);
  settings.defaultLanguage = config::String(section, Keys::Default_Language);
  PlayerTexts& texts = settings.texts;
  const auto read = [&section](const grammar::Key& key) { return LocalText::Read(section, key.name, key.text); };
  texts.advertsOff = read(Keys::Adverts_Off_Message);
  texts.advertsOn = read(Keys::Adverts_On_Message);
  texts.advertsUsage = read(Keys::Adverts_Usage_Message);
  texts.languageSet = read(Keys::Language_Set_Message);
  texts.languageList = read(Keys::Language_List_Message);
  texts.languageUnknown = read(Keys::Language_Unknown_Message);
  texts.notKept = read(Keys::Not_Kept_Message);
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
