// Owns the rules that mirror how the plug-in reads each section of the configuration document.
#pragma once

#include <optional>

#include "sim/check/Context.h"

namespace heraldix::check {

// Walks a parsed document as the plug-in reads it and reports into context.
void CheckDocument(const json& document, Context& context);

// The member name of object, or null.
const json* FindMember(const json& object, std::string_view name);

// A kind-of-message value compared exactly, as the plug-in compares it; warns (code, with consequence)
// and returns false when it is none of kinds.
bool CheckKind(Context& context, const Place& place, const std::string& value, std::span<const std::string_view> kinds,
               std::string_view consequence, std::string_view code);

// Problems of a member the message's kind does not read, when unread: warnings saying which kinds read it.
std::optional<Context::Unread> UnreadFor(Context& context, bool unread, std::string_view kind, std::string_view readBy);

// A notification display time or scale of 0 or less (or absent, where the default is 0).
void CheckDisplayNumber(Context& context, const Place& place, const json* value, std::string_view what,
                        bool warnWhenAbsent);

// Sections, each handed the value found at its place.
void CheckHeraldixSection(Context& context, const Place& place, const json& section);
void CheckCustomCommands(Context& context, const Place& place, const json& section);
void CheckTimedMessages(Context& context, const Place& place, const json& section);
void CheckScheduledMessages(Context& context, const Place& place, const json& section);

}  // namespace heraldix::check
