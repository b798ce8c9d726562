// Owns texts given per language: a plain string, or an object of language codes to strings, and which of
// them a player is shown.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

class LocalText {
 public:
  LocalText() = default;
  explicit LocalText(std::string plain) { texts_.emplace_back(std::string(), std::move(plain)); }

  // The member key of object: absent gives fallback; a string is the text in every language; an object
  // holds a string per language code. Raises the JSON library's type error for anything else, or for an
  // object member that is no string.
  static LocalText Read(const nlohmann::json& object, std::string_view key, std::string_view fallback);

  // The text in language, else in defaultLanguage, else the first code's (codes in alphabetical order).
  [[nodiscard]] const std::string& For(std::string_view language, std::string_view defaultLanguage) const;

 private:
  std::vector<std::pair<std::string, std::string>> texts_;  // code ("" for a plain string) and text
};
