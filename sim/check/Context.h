// Owns the checker's working state and the value checks every section shares.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/PositionIndex.h"
#include "sim/check/Checker.h"

namespace heraldix::check {

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
};

// Where a value sits and what the plug-in loses when it cannot read it ("no welcome message is sent").
struct Place {
  std::string pointer;
  std::string consequence;

  Place Member(std::string_view name) const;
  Place Element(std::size_t index) const;
};

// "a number", "an object", ... for the library's type names.
std::string Described(const json& value);

// Text of a value for a message: strings quoted, everything else as JSON, long texts shortened.
std::string Shown(const json& value);
std::string Quoted(std::string_view text);

// The JSON number or boolean as the plug-in's 32-bit integer reads turn it: integers keep their low 32
// bits, floats are truncated toward zero (saturating), booleans are 1 and 0.
std::int32_t AsInt32(const json& number);

// Each check reports a wrong JSON type as an error and returns false; true when the value can be read.
bool ExpectObject(Context& context, const Place& place, const json& value);
bool ExpectBool(Context& context, const Place& place, const json& value);
bool ExpectString(Context& context, const Place& place, const json& value);
// Numbers: integers, floats and booleans are read; a boolean is warned about.
bool ExpectNumber(Context& context, const Place& place, const json& value);
// A number read as a 32-bit integer; warns when the reading changes what was written.
std::optional<std::int32_t> ExpectInteger(Context& context, const Place& place, const json& value);
// A text the plug-in turns into game text byte by byte: each byte above 127 shows as "?".
bool ExpectByteText(Context& context, const Place& place, const json& value, std::string_view what);
// An array of strings, each widened byte by byte.
bool ExpectGroupList(Context& context, const Place& place, const json& value);
// An object {"R", "G", "B"} of numbers; channels outside 0-255 wrap.
void CheckColourObject(Context& context, const Place& place, const json& value);
// A colour left out where the plug-in then draws black: what would be black.
void CheckColourLeftOut(Context& context, const Place& place, std::string_view key, std::string_view what);
// Channels all 0 or 1 (not all 0): chat shows them at full strength, other deliveries nearly black.
void CheckTinyColour(Context& context, const std::string& pointer, int red, int green, int blue);
// A configured text as the formatter meets it once the plug-in has put the placeholders' values in: each
// field named exactly as a placeholder is gone while placeholders are on (a value is written so that it reads
// as itself, so an empty one stands for them all). fields gets every other field, in order.
std::string WithoutPlaceholders(const Context& context, const std::string& text, std::vector<std::string>& fields);
// For a text the formatter rejects: the placeholder one of fields most likely meant, or how to turn them on;
// with listNames, the names when nothing comes close while they are on. Empty, or "; ..." to append.
std::string PlaceholderHint(const Context& context, const std::vector<std::string>& fields, bool listNames);
// A configured text that delivery passes through the formatter with no arguments: only "{{" and "}}" survive,
// besides the placeholders while they are on.
void CheckDeliveredText(Context& context, const Place& place, const std::string& text);

// A text the plug-in decodes into game text, which ends at a \u0000: an error saying what is lost. Returns
// the text as far as the plug-in reads it.
std::string CheckCutText(Context& context, const Place& place, const std::string& text, std::string_view what,
                         std::string_view ifEmpty = "");

// Members not in known: warned about, with the nearest known name when one is close.
void CheckUnknownKeys(Context& context, const Place& place, const json& object,
                      std::span<const std::string_view> known);
// Members written more than once: the library keeps the last.
void CheckDuplicateKeys(Context& context, const Place& place, const json& object);

// The nearest of candidates to word, when one is close enough to be a likely typo.
std::optional<std::string> Nearest(std::string_view word, std::span<const std::string_view> candidates);

}  // namespace heraldix::check
