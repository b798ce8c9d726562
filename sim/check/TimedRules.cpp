// How the timed-message step reads "TimedMessages" and each message it draws.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "grammar/Placeholders.h"
#include "grammar/Words.h"
#include "sim/check/ColourChecks.h"
#include "sim/check/Keys.h"
#include "sim/check/Rules.h"
#include "sim/check/Spelling.h"
#include "sim/check/TextChecks.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {

namespace Timed = grammar::Timed;
namespace TimedMessage = grammar::TimedMessage;
namespace Scheduled = grammar::Scheduled;
namespace ScheduledMessage = grammar::ScheduledMessage;

namespace {

bool NonEmptyList(const json* list) { return list != nullptr && list->is_array() && !list->empty(); }

void CheckPlayerCounts(Context& context, const Place& place, const json& message) {
  std::optional<std::int32_t> counts[2];
  const grammar::Key* keys[2] = {&TimedMessage::Min_Players_Online, &TimedMessage::Max_Players_Online};
  for (std::size_t i = 0; i < 2; ++i) {
    if (const json* value = FindMember(message, *keys[i]))
      counts[i] = ExpectInteger(context, place.Member(*keys[i]), *value);
  }
  if (counts[0] && counts[1] && *counts[0] > *counts[1]) {
    context.Warning("player-count", place.Member(TimedMessage::Min_Players_Online).pointer,
                    "more than " + Quoted(TimedMessage::Max_Players_Online.name) +
                        ": no number of players fits, so this message is never sent");
  } else if (counts[1] && *counts[1] < 0) {
    context.Warning("player-count", place.Member(TimedMessage::Max_Players_Online).pointer,
                    "below 0: no number of players fits, so this message is never sent");
  }
}

// A section's "Messages" when there are messages to check; a wrong type or, while the section is enabled,
// an empty list is reported here instead.
const json* MessageList(Context& context, const Place& place, const json& section, const grammar::Key& key,
                        bool enabled, const char* noun) {
  const json* messages = FindMember(section, key);
  if (messages != nullptr && !messages->is_null() && !messages->is_array()) {
    context.Error("type", place.Member(key).pointer,
                  "must be an array of message objects, but is " + Described(*messages) + ": " + place.consequence);
    return nullptr;
  }
  if (messages == nullptr || messages->empty()) {
    if (enabled) {
      context.Warning("no-messages", messages != nullptr ? place.Member(key).pointer : place.pointer,
                      std::string(noun) + " messages are enabled, but there is no message to send");
    }
    return nullptr;
  }
  return messages;
}

// One text of a message, as delivery meets it where the message is used.
void CheckMessageText(Context& context, const Place& at, const std::string& value, MessageUse use) {
  if (value.empty()) {
    context.Warning("empty-text", at.pointer, "an empty message is sent");
    return;
  }
  std::string read = CheckCutText(context, at, value, "the message");
  // {TimeLeft} is put in before delivery formats the text, like a placeholder that is always on.
  const std::string_view field = grammar::TimeLeftField;
  for (std::size_t from = 0; use == MessageUse::ScheduledCountdown && (from = read.find(field)) != std::string::npos;) {
    read.erase(from, field.size());
  }
  if (use != MessageUse::ScheduledCountdown && read.find(field) != std::string::npos) {
    context.Error("brace", at.pointer,
                  std::string(field) + " is replaced only in a scheduled message with a " +
                      Quoted(ScheduledMessage::Countdown.name) +
                      "; here it is a brace that delivery rejects, so the message is never sent");
  } else if (use == MessageUse::AboutAPlayer) {
    const bool placeholders = context.Placeholders();
    context.SetPlaceholders(true);
    CheckDeliveredText(context, at, read);
    context.SetPlaceholders(placeholders);
  } else {
    CheckDeliveredText(context, at, read);
  }
}

}  // namespace

void CheckTimedMessage(Context& context, const Place& place, const json& message, MessageUse use) {
  if (!ExpectObject(context, place, message)) return;
  CheckDuplicateKeys(context, place, message);
  if (use == MessageUse::Scheduled || use == MessageUse::ScheduledCountdown) {
    CheckUnknownKeys(context, place, message, keys::ScheduledMessageAll);
  } else if (use == MessageUse::AboutAPlayer) {
    CheckUnknownKeys(context, place, message, keys::AnyTimedMessage);
  } else {
    CheckUnknownKeys(context, place, message, keys::TimedMessage);
    CheckOwnClock(context, place, message);
  }
  CheckPlayerCounts(context, place, message);

  const json* text = FindMember(message, TimedMessage::MessageToSend);
  const Place textPlace = place.Member(TimedMessage::MessageToSend);
  if (text == nullptr) {
    context.Warning("empty-text", place.pointer,
                    "no " + Quoted(TimedMessage::MessageToSend.name) + ": an empty message is sent");
  } else if (CheckTexts(
                 context, textPlace, TimedMessage::MessageToSend, *text,
                 [&](const Place& at, const std::string& value) { CheckMessageText(context, at, value, use); }) &&
             text->is_object() && text->empty()) {
    context.Warning("empty-text", textPlace.pointer, "no text in any language: an empty message is sent");
  }

  std::string type(TimedMessage::MessageType.text);
  if (const json* value = FindMember(message, TimedMessage::MessageType)) {
    const Place at = place.Member(TimedMessage::MessageType);
    if (ExpectKey(context, at, TimedMessage::MessageType, *value)) {
      type = value->get<std::string>();
      CheckWord(context, at, type, TimedMessage::MessageType, "nothing is sent when this message is drawn",
                "no-send-type");
    }
  }
  if (const json* colour = FindMember(message, TimedMessage::MessageColour)) {
    ExpectKey(context, place.Member(TimedMessage::MessageColour), TimedMessage::MessageColour, *colour);
  } else {
    CheckColourLeftOut(context, place, TimedMessage::MessageColour.name, "the message");
  }

  const grammar::Key& onlyKey = TimedMessage::Only_Send_To_Permission_Groups;
  const grammar::Key& excludeKey = TimedMessage::Exclude_Permissions_Groups;
  const json* only = FindMember(message, onlyKey);
  const json* exclude = FindMember(message, excludeKey);
  if (only != nullptr) ExpectKey(context, place.Member(onlyKey), onlyKey, *only);
  if (exclude != nullptr) ExpectKey(context, place.Member(excludeKey), excludeKey, *exclude);
  if (NonEmptyList(only) && NonEmptyList(exclude)) {
    context.Warning("exclusion-ignored", place.Member(excludeKey).pointer,
                    "ignored while " + Quoted(onlyKey.name) +
                        " lists groups: the members of those groups receive the message whatever this says");
  }

  // Each kind reads only its own members; the others matter once the kind changes.
  const bool chat = type == grammar::Kind::Chat || type == grammar::Kind::Client;
  if (const json* sender = FindMember(message, TimedMessage::Sender)) {
    const std::optional<Context::Unread> unread =
        UnreadFor(context, !chat, type, Quoted(grammar::Kind::Chat) + " or " + Quoted(grammar::Kind::Client));
    const Place at = place.Member(TimedMessage::Sender);
    if (ExpectKey(context, at, TimedMessage::Sender, *sender) && chat)
      CheckCutText(context, at, sender->get<std::string>(), "the sender name");
  }
  const std::optional<Context::Unread> unread =
      UnreadFor(context, type != grammar::Kind::Notification, type, Quoted(grammar::Kind::Notification));
  for (const grammar::Key* key : {&TimedMessage::DisplayScale, &TimedMessage::DisplayTime}) {
    const json* value = FindMember(message, *key);
    if (value == nullptr) continue;
    const Place at = place.Member(*key);
    if (ExpectKey(context, at, *key, *value) && type == grammar::Kind::Notification)
      CheckDisplayNumber(context, at, value, *key, false);
  }
  if (const json* icon = FindMember(message, TimedMessage::Icon_BP)) {
    ExpectKey(context, place.Member(TimedMessage::Icon_BP), TimedMessage::Icon_BP, *icon, "an icon path");
  }
}

void CheckTimedMessages(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Timed);

  bool enabled = false;
  if (const json* value = FindMember(section, Timed::Enabled)) {
    enabled = ExpectKey(context, place.Member(Timed::Enabled), Timed::Enabled, *value) && value->get<bool>();
  }

  // The switch decides whether the section's own settings are read at all; while it is off, their mistakes
  // matter only once it is switched on.
  std::optional<Context::Unread> off;
  if (!enabled) {
    off.emplace(context, "read only once timed messages are switched on (" + Quoted(Timed::Enabled.name) + ": true)");
  }
  const json* interval = FindMember(section, Timed::Interval);
  if (interval != nullptr) {
    const std::optional<std::int32_t> read = ExpectInteger(context, place.Member(Timed::Interval), *interval);
    if (read && *read <= 0) {
      context.Warning("interval", place.Member(Timed::Interval).pointer,
                      "an " + std::string(Timed::Interval.name) +
                          " of 0 or less sends a timed message every second while timed messages are on");
    }
  } else if (enabled) {
    context.Warning("interval", place.pointer,
                    "no " + Quoted(Timed::Interval.name) + ": it is 0, so a timed message goes out every second");
  }

  if (const json* order = FindMember(section, Timed::Order)) {
    const Place at = place.Member(Timed::Order);
    if (ExpectKey(context, at, Timed::Order, *order)) {
      CheckWord(context, at, order->get<std::string>(), Timed::Order, "it counts as " + Quoted(Timed::Order.text),
                "order");
    }
  }
  if (const json* skip = FindMember(section, Timed::Skip_Unreceivable))
    ExpectKey(context, place.Member(Timed::Skip_Unreceivable), Timed::Skip_Unreceivable, *skip);
  if (const json* delay = FindMember(section, Timed::Start_Delay)) {
    const Place at = place.Member(Timed::Start_Delay);
    if (!delay->is_number()) {
      context.Warning("type", at.pointer,
                      "must be a whole number of seconds, but is " + Described(*delay) +
                          ": the rotation's first message goes at the first timer call");
    } else if (const std::optional<std::int32_t> seconds = ExpectInteger(context, at, *delay);
               seconds && *seconds < 0) {
      context.Warning("interval", at.pointer, "below 0: the rotation's first message goes at the first timer call");
    }
  }
  off.reset();

  const json* messages = MessageList(context, place, section, Timed::Messages, enabled, "timed");
  if (messages == nullptr) return;
  for (std::size_t i = 0; i < messages->size(); ++i) {
    const Place at = place.Member(Timed::Messages).Element(i);
    CheckTimedMessage(context, Place{at.pointer, "this message is abandoned whenever it is drawn"}, (*messages)[i],
                      MessageUse::Rotation);
  }
}

namespace {

// "At" and "Days": arrays of strings, each a time of day or a weekday as the plug-in reads them.
void CheckWhen(Context& context, const Place& place, const json& message) {
  const json* at = FindMember(message, ScheduledMessage::At);
  if (at == nullptr) {
    context.Warning("no-time", place.pointer,
                    "no " + Quoted(ScheduledMessage::At.name) + ": this message is never sent");
  }
  for (const grammar::Key* key : {&ScheduledMessage::At, &ScheduledMessage::Days}) {
    const json* list = FindMember(message, *key);
    if (list == nullptr) continue;
    const Place member = place.Member(*key);
    if (!list->is_array()) {
      context.Error("type", member.pointer,
                    "must be an array of strings, but is " + Described(*list) + ": " + place.consequence);
      continue;
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
      const Place element = member.Element(i);
      if (!ExpectString(context, element, (*list)[i])) continue;
      const std::string value = (*list)[i].get<std::string>();
      if (key == &ScheduledMessage::At && !grammar::MinuteOfDay(value)) {
        context.Error(
            "schedule-time", element.pointer,
            Quoted(value) + " is no time of day (\"HH:MM\", from \"00:00\" to \"23:59\"): " + place.consequence);
      } else if (key == &ScheduledMessage::Days && !grammar::WeekdayIndex(value)) {
        const std::optional<std::string> nearest = Nearest(value, key->words);
        context.Error("schedule-day", element.pointer,
                      Quoted(value) + " is no day (" + Quoted(key->words.front()) + " to " + Quoted(key->words.back()) +
                          ", exactly so)" + (nearest ? "; did you mean " + Quoted(*nearest) + "?" : std::string()) +
                          ": " + place.consequence);
      }
    }
  }
}

}  // namespace

void CheckScheduledMessages(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Scheduled);
  bool enabled = false;
  if (const json* value = FindMember(section, Scheduled::Enabled)) {
    enabled = ExpectKey(context, place.Member(Scheduled::Enabled), Scheduled::Enabled, *value) && value->get<bool>();
  }
  const json* messages = MessageList(context, place, section, Scheduled::Messages, enabled, "scheduled");
  if (messages == nullptr) return;
  for (std::size_t i = 0; i < messages->size(); ++i) {
    const Place at{place.Member(Scheduled::Messages).Element(i).pointer, "this message is never sent"};
    const json& message = (*messages)[i];
    const json* countdown = message.is_object() ? FindMember(message, ScheduledMessage::Countdown) : nullptr;
    CheckTimedMessage(context, at, message,
                      countdown != nullptr ? MessageUse::ScheduledCountdown : MessageUse::Scheduled);
    if (!message.is_object()) continue;
    CheckWhen(context, at, message);
    if (countdown != nullptr) CheckSecondsList(context, at.Member(ScheduledMessage::Countdown), *countdown, true);
  }
}

}  // namespace sim::check
