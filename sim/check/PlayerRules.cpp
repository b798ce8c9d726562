// The "Players" section as the plug-in reads it: its keys' types, and each text given per language checked
// against the languages offered and the default language.
#include <algorithm>
#include <string>
#include <vector>

#include "sim/check/Keys.h"
#include "sim/check/Rules.h"
#include "sim/check/TextChecks.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {
namespace {

namespace Players = grammar::Players;

std::vector<std::string> Codes(const json& section) {
  std::vector<std::string> codes;
  const json* languages = FindMember(section, Players::Languages);
  if (languages == nullptr || !languages->is_array()) return codes;
  for (const json& code : *languages) {
    if (code.is_string()) codes.push_back(code.get<std::string>());
  }
  return codes;
}

// A text given per language: each entry a deliverable text, its code one of those offered, and an entry
// for the default language so nobody falls back to whichever code sorts first.
// The answer as the formatter meets it: {0} to {9} filled in first, their values' braces doubled.
std::string Filled(const std::string& text) {
  std::string out;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 2, "{{") == 0) {
      out += "{{";
      ++at;
    } else if (text[at] == '{' && at + 2 < text.size() && text[at + 2] == '}' && text[at + 1] >= '0' &&
               text[at + 1] <= '9') {
      at += 2;
    } else {
      out += text[at];
    }
  }
  return out;
}

void CheckLocalText(Context& context, const Place& place, const json& value, const std::vector<std::string>& codes,
                    const std::string& fallback) {
  if (value.is_string()) {
    CheckDeliveredText(context, place, Filled(value.get<std::string>()));
    return;
  }
  if (!value.is_object()) {
    context.Error("type", place.pointer,
                  "must be a string or an object of language codes to strings, but is " + Described(value) + ": " +
                      place.consequence);
    return;
  }
  for (const auto& [code, text] : value.items()) {
    const Place at = place.Member(code);
    if (!ExpectString(context, at, text)) continue;
    CheckDeliveredText(context, at, Filled(text.get<std::string>()));
    if (std::find(codes.begin(), codes.end(), code) == codes.end()) {
      context.Warning("language", at.pointer,
                      Quoted(code) + " is not among " + Quoted(Players::Languages.name) +
                          ": only a player whose language it is could see it, and nobody can pick it");
    }
  }
  if (!fallback.empty() && !value.contains(fallback)) {
    context.Warning("language", place.pointer,
                    "no text for the default language " + Quoted(fallback) +
                        ": players without a text of their own see the first code's, in alphabetical order");
  }
}

}  // namespace

void CheckPlayersSection(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Players);
  const std::vector<std::string> codes = Codes(section);
  std::string fallback;
  for (const grammar::Key* key : grammar::All) {
    if (key->section != grammar::Section::Players) continue;
    const json* value = FindMember(section, *key);
    if (value == nullptr) continue;
    const Place at{place.Member(*key).pointer, "players' choices are not kept"};
    if (key->type == grammar::ValueType::LocalText) {
      CheckLocalText(context, at, *value, codes, fallback);
      continue;
    }
    if (!ExpectKey(context, at, *key, *value, "a command name") || key != &Players::Default_Language) continue;
    fallback = value->get<std::string>();
    if (!fallback.empty() && std::find(codes.begin(), codes.end(), fallback) == codes.end()) {
      context.Warning("language", at.pointer, Quoted(fallback) + " is not among " + Quoted(Players::Languages.name));
    }
  }
}

}  // namespace sim::check
