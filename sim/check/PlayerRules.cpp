// The "Players" section as the plug-in reads it: its keys' types, the languages it offers, and each answer
// given per language checked against them.
#include <algorithm>
#include <string>
#include <vector>

#include "grammar/KeyList.h"
#include "sim/check/Keys.h"
#include "sim/check/Rules.h"
#include "sim/check/TextChecks.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {
namespace {

namespace Players = grammar::Players;

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

}  // namespace

void ReadLanguages(Context& context, const json& document) {
  const json* section = FindMember(document, grammar::Top::Players);
  if (section == nullptr || !section->is_object()) return;
  std::optional<std::vector<std::string>> codes;
  if (const json* languages = FindMember(*section, Players::Languages); languages != nullptr && languages->is_array()) {
    codes.emplace();
    for (const json& code : *languages) {
      if (code.is_string()) codes->push_back(code.get<std::string>());
    }
  }
  const json* fallback = FindMember(*section, Players::Default_Language);
  context.SetLanguages(std::move(codes),
                       fallback != nullptr && fallback->is_string() ? fallback->get<std::string>() : "");
}

void CheckPlayersSection(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Players);
  const auto& offered = context.Languages();
  for (const grammar::Key* key : grammar::All) {
    if (key->section != grammar::Section::Players) continue;
    const json* value = FindMember(section, *key);
    if (value == nullptr) continue;
    const Place at{place.Member(*key).pointer, "players' choices are not kept"};
    if (key->type == grammar::ValueType::LocalText) {
      CheckTexts(context, at, *key, *value, [&](const Place& text, const std::string& answer) {
        CheckDeliveredText(context, text, Filled(answer));
      });
      continue;
    }
    if (!ExpectKey(context, at, *key, *value, "a command name") || key != &Players::Default_Language) continue;
    const std::string& fallback = context.DefaultLanguage();
    if (offered && !fallback.empty() && std::find(offered->begin(), offered->end(), fallback) == offered->end()) {
      context.Warning("language", at.pointer, Quoted(fallback) + " is not among " + Quoted(Players::Languages.name));
    }
  }
}

}  // namespace sim::check
