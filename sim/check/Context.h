// Owns the checker's problem collector and the places in the file it reports at.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/PositionIndex.h"
#include "grammar/Keys.h"
#include "sim/check/Checker.h"

namespace sim::check {

using config::LineColumn;
using config::PositionIndex;
using nlohmann::json;

// Collects problems with their places in the file.
class Context {
 public:
  explicit Context(const PositionIndex& index) : index_(index) {}

  void Error(std::string_view code, const std::string& pointer, std::string message) {
    Add(Severity::Error, code, pointer, std::move(message), false);
  }
  void Warning(std::string_view code, const std::string& pointer, std::string message) {
    Add(Severity::Warning, code, pointer, std::move(message), false);
  }
  // Problems about a member's name point at the name, not at its value.
  void KeyWarning(std::string_view code, const std::string& pointer, std::string message) {
    Add(Severity::Warning, code, pointer, std::move(message), true);
  }
  void Add(Severity severity, std::string_view code, const std::string& pointer, std::string message, bool atKey);

  const PositionIndex& Index() const { return index_; }
  std::vector<Problem> TakeProblems();

  // Whether the plug-in replaces the placeholder names in configured texts ("Heraldix" > "Placeholders").
  bool Placeholders() const { return placeholders_; }
  void SetPlaceholders(bool on) { placeholders_ = on; }

  // The codes "Players" > "Languages" offers (none while it is absent or no array), and "Default_Language"
  // ("" while unset): what a text given per language is checked against.
  const std::optional<std::vector<std::string>>& Languages() const { return languages_; }
  const std::string& DefaultLanguage() const { return defaultLanguage_; }
  void SetLanguages(std::optional<std::vector<std::string>> codes, std::string fallback) {
    languages_ = std::move(codes);
    defaultLanguage_ = std::move(fallback);
  }

  // While one lives, the plug-in does not read what is checked (a member the message's kind never uses,
  // a command skipped for its empty "Message"): errors become warnings that say when they would matter.
  class Unread {
   public:
    Unread(Context& context, std::string when) : context_(context), previous_(std::move(context.unread_)) {
      context_.unread_ = std::move(when);
    }
    ~Unread() { context_.unread_ = std::move(previous_); }
    Unread(const Unread&) = delete;
    Unread& operator=(const Unread&) = delete;

   private:
    Context& context_;
    std::string previous_;
  };

 private:
  const PositionIndex& index_;
  std::vector<Problem> problems_;
  std::string unread_;
  bool placeholders_ = false;
  std::optional<std::vector<std::string>> languages_;
  std::string defaultLanguage_;
};

// The member name of object, or null; object must be a JSON object.
const json* FindMember(const json& object, std::string_view name);
inline const json* FindMember(const json& object, const grammar::Key& key) { return FindMember(object, key.name); }

// Where a value sits and what the plug-in loses when it cannot read it ("no welcome message is sent").
struct Place {
  std::string pointer;
  std::string consequence;

  Place Member(std::string_view name) const;
  Place Member(const grammar::Key& key) const { return Member(key.name); }
  Place Element(std::size_t index) const;
};

}  // namespace sim::check
