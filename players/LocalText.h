// Owns texts given per language: a plain string, or an object of language codes to strings, and which of
// them a player is shown.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "grammar/Keys.h"

class LocalText {
 public:
  using Entry = std::pair<std::string, std::string>;  // code ("" for a plain string) and text

  LocalText() = default;
  explicit LocalText(std::string plain) { texts_.emplace_back(std::string(), std::move(plain)); }

  // The member key of object: absent gives fallback; a string is the text in every language; an object
  // holds a string per language code. Raises the JSON library's type error for anything else, or for an
  // object member that is no string.
  static LocalText Read(const nlohmann::json& object, std::string_view key, std::string_view fallback);
  static LocalText Read(const nlohmann::json& object, const grammar::Key& key) {
    return Read(object, key.name, key.text);
  }

  // The text in language, else in defaultLanguage, else the first code's (codes in alphabetical order).
  [[nodiscard]] const std::string& For(std::string_view language, std::string_view defaultLanguage) const noexcept;

  // Whether players may be shown different texts: an object of two codes or more.
  [[nodiscard]] bool Varies() const noexcept { return texts_.size() > 1; }
  [[nodiscard]] const std::vector<Entry>& Entries() const noexcept { return texts_; }

 private:
  std::vector<Entry> texts_;
};
