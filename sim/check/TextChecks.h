// Owns the checks of configured texts: braces the formatter rejects, placeholders, a text cut at \u0000, and
// texts given per language.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/Keys.h"
#include "sim/check/Context.h"

namespace sim::check {

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

// The texts of a key's value as the key table types it: a string, or for a text given per language an object of
// language codes to strings. Calls check with each text the plug-in may send and its place (a language's text
// at its code). An object's codes are checked against the "Languages" offered, when they are set, and against
// "Default_Language": without its entry, players of no other listed language see the first code's text. False,
// with the type reported, when the plug-in cannot read the value.
bool CheckTexts(Context& context, const Place& place, const grammar::Key& key, const json& value,
                const std::function<void(const Place&, const std::string&)>& check);

// A text the plug-in decodes into game text, which ends at a \u0000: an error saying what is lost. Returns
// the text as far as the plug-in reads it.
std::string CheckCutText(Context& context, const Place& place, const std::string& text, std::string_view what,
                         std::string_view ifEmpty = "");

}  // namespace sim::check
