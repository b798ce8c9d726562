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
void CheckCustomCommands(Context& context, const Place& where, const json& section);
void CheckTimedMessages(Context& context, const Place& place, const json& section);
void CheckScheduledMessages(Context& context, const Place& place, const json& section);
// Types as the key table says, and each answer given per language against the languages offered.
void CheckPlayersSection(Context& context, const Place& place, const json& section);
// The languages the document's "Players" offers, which every text given per language is checked against.
void ReadLanguages(Context& context, const json& document);
void CheckCountdownSection(Context& context, const Place& place, const json& section);
void CheckJoinLeaveSection(Context& context, const Place& place, const json& section);

// Where a message of the timed kind is used: in the rotation, scheduled (with a countdown, its text holds
// {TimeLeft}), or as a line about one player (its placeholders always replaced).
enum class MessageUse { Rotation, Scheduled, ScheduledCountdown, AboutAPlayer };
void CheckTimedMessage(Context& context, const Place& place, const json& message, MessageUse use);
// "Interval" and "Start_Delay" of a message in the rotation.
void CheckOwnClock(Context& context, const Place& place, const json& message);
// A list of whole seconds: a countdown's marks (each above 0, warned) or a scheduled countdown (0 allowed, and
// one out of range leaves the message out).
void CheckSecondsList(Context& context, const Place& place, const json& list, bool zero);

}  // namespace sim::check
