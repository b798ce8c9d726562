// Owns the rules that mirror how the plug-in reads each section of the configuration document.
#pragma once

#include <optional>

#include <span>
#include <string>
#include <string_view>

#include "grammar/Keys.h"
#include "sim/check/Context.h"

namespace sim::check {

// Walks a parsed document as the plug-in reads it and reports into context.
void CheckDocument(const json& document, Context& context);

// Problems of a member the message's kind does not read, when unread: warnings saying which kinds read it.
std::optional<Context::Unread> UnreadFor(Context& context, bool unread, std::string_view kind, std::string_view readBy);

// A notification display time or scale of 0 or less (or absent, where the default is 0).
void CheckDisplayNumber(Context& context, const Place& place, const json* value, const grammar::Key& key,
                        bool warnWhenAbsent);
// Whether key is a notification's display time (and not its scale).
bool IsDisplayTime(const grammar::Key& key);

// Sections, each handed the value found at its place.
void CheckHeraldixSection(Context& context, const Place& place, const json& section);
void CheckCustomCommands(Context& context, const Place& place, const json& section);
void CheckTimedMessages(Context& context, const Place& place, const json& section);
void CheckScheduledMessages(Context& context, const Place& place, const json& section);

}  // namespace sim::check
