#include "sim/check/TextChecks.h"

#include <algorithm>

#include <fmt/format.h>

#include "grammar/Keys.h"
#include "grammar/Placeholders.h"
#include "sim/check/Keys.h"
#include "sim/check/Spelling.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {

namespace {

bool IsPlaceholder(std::string_view field) { return grammar::PlaceholderNamed(field).has_value(); }

// "Placeholders": true in "Heraldix": the switch that turns them on.
std::string SwitchedOn() {
  return Quoted(grammar::Heraldix::Placeholders.name) + ": true in " + Quoted(grammar::Top::Heraldix.name);
}

}  // namespace

std::string WithoutPlaceholders(const Context& context, const std::string& text, std::vector<std::string>& fields) {
  std::string out;
  grammar::WalkFields(
      std::string_view(text), [&](std::string_view piece) { out += piece; },
      [&](std::string_view field) {
        if (context.Placeholders() && IsPlaceholder(field)) return true;
        fields.emplace_back(field);
        return false;
      });
  return out;
}

std::string PlaceholderHint(const Context& context, const std::vector<std::string>& fields, bool listNames) {
  for (const std::string& field : fields) {
    const std::string written = "{" + field + "}";
    if (!context.Placeholders() && IsPlaceholder(field)) {
      return "; " + written + " is a placeholder only with " + SwitchedOn();
    }
    const auto near = Nearest(field, keys::Placeholders);
    if (!near) continue;
    if (!context.Placeholders()) {
      return "; did you mean the placeholder {" + *near + "}? It needs " + SwitchedOn();
    }
    return "; " + written + " is no placeholder" +
           (EqualIgnoringCase(field, *near) ? " (names are case-sensitive)" : "") + ": did you mean {" + *near + "}?";
  }
  if (!context.Placeholders() || !listNames) return {};
  std::string names;
  for (std::size_t i = 0; i < keys::Placeholders.size(); ++i) {
    names += std::string(i == 0                               ? ""
                         : i + 1 == keys::Placeholders.size() ? " and "
                                                              : ", ") +
             "{" + std::string(keys::Placeholders[i]) + "}";
  }
  return "; the placeholders are " + names;
}

void CheckDeliveredText(Context& context, const Place& place, const std::string& text) {
  std::vector<std::string> fields;
  const std::string formatted = WithoutPlaceholders(context, text, fields);
  try {
    (void)fmt::format(fmt::runtime(formatted));
  } catch (const fmt::format_error& error) {
    context.Error("brace", place.pointer,
                  std::string("the text holds a brace that delivery rejects (") + error.what() +
                      "), so it is never sent; write {{ or }} for a literal brace" +
                      PlaceholderHint(context, fields, true));
  }
}

bool CheckTexts(Context& context, const Place& place, const grammar::Key& key, const json& value,
                const std::function<void(const Place&, const std::string&)>& check) {
  // A member of the wrong type fails the whole value, and the others are still checked for when it is mended.
  const bool readable = ExpectKey(context, place, key, value);
  if (value.is_string()) {
    check(place, value.get<std::string>());
    return true;
  }
  if (key.type != grammar::ValueType::LocalText || !value.is_object()) return false;
  const auto& offered = context.Languages();
  for (const auto& [code, text] : value.items()) {
    const Place at = place.Member(code);
    if (text.is_string()) check(at, text.get<std::string>());
    if (offered && std::find(offered->begin(), offered->end(), code) == offered->end()) {
      context.Warning("language", at.pointer,
                      Quoted(code) + " is not among " + Quoted(grammar::Players::Languages.name) +
                          ": only a player whose language it is could see it, and nobody can pick it");
    }
  }
  const std::string& fallback = context.DefaultLanguage();
  if (!fallback.empty() && !value.empty() && !value.contains(fallback)) {
    context.Warning("language", place.pointer,
                    "no text for the default language " + Quoted(fallback) +
                        ": players without a text of their own see the first code's, in alphabetical order");
  }
  return readable;
}

std::string CheckCutText(Context& context, const Place& place, const std::string& text, std::string_view what,
                         std::string_view ifEmpty) {
  const std::size_t zero = text.find('\0');
  if (zero == std::string::npos) return text;
  std::string read = text.substr(0, zero);
  context.Error("nul", place.pointer,
                "holds \\u0000, where the plug-in's text ends: " +
                    (read.empty() ? std::string(what) + " reads as empty" + std::string(ifEmpty)
                                  : std::string(what) + " reads only " + Quoted(read)));
  return read;
}

}  // namespace sim::check
