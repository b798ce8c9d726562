#include "players/LocalText.h"

#include "config/ConfigValues.h"

LocalText LocalText::Read(const nlohmann::json& object, std::string_view key, std::string_view fallback) {
  if (object.is_object()) {
    const auto found = object.find(key);
    if (found != object.end() && found->is_object()) {
      LocalText text;
      for (const auto& [code, value] : found->items()) {
        if (!value.is_string()) config::NoteWrongType(value, "string");
        text.texts_.emplace_back(code, value.get<std::string>());
      }
      return text;
    }
  }
  return LocalText(config::String(object, key, fallback));
}

const std::string& LocalText::For(std::string_view language, std::string_view defaultLanguage) const noexcept {
  static const std::string none;
  if (texts_.empty()) return none;
  const std::pair<std::string, std::string>* fallback = &texts_.front();
  for (const auto& entry : texts_) {
    if (entry.first == language) return entry.second;
    if (entry.first == defaultLanguage && !defaultLanguage.empty()) fallback = &entry;
  }
  return fallback->second;
}
