// How the plug-in reads "Countdown", "JoinLeaveMessages", and the countdowns and own clocks of messages.
#include <optional>
#include <string>

#include "grammar/KeyList.h"
#include "grammar/Keys.h"
#include "grammar/Words.h"
#include "sim/check/ColourChecks.h"
#include "sim/check/Keys.h"
#include "sim/check/Rules.h"
#include "sim/check/TextChecks.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {

namespace Countdown = grammar::Countdown;
namespace TimedMessage = grammar::TimedMessage;
namespace JoinLeave = grammar::JoinLeave;

namespace {

void CheckWords(Context& context, const Place& place, const json& words) {
  if (!ExpectObject(context, place, words)) return;
  CheckDuplicateKeys(context, place, words);
  CheckUnknownKeys(context, place, words, keys::CountdownWords);
  for (const grammar::Key* key : grammar::All) {
    if (key->section != grammar::Section::CountdownWords) continue;
    if (const json* word = FindMember(words, *key)) {
      const Place at = place.Member(*key);
      CheckTexts(context, at, *key, *word,
                 [&](const Place& text, const std::string& value) { CheckCutText(context, text, value, "the word"); });
    }
  }
}

// A whole number of seconds that, when it cannot be read, only changes when something goes out: a warning.
std::optional<std::int32_t> LenientSeconds(Context& context, const Place& place, const json& value,
                                           std::string_view consequence) {
  if (!value.is_number()) {
    context.Warning("type", place.pointer,
                    "must be a whole number of seconds, but is " + Described(value) + ": " + std::string(consequence));
    return std::nullopt;
  }
  return ExpectInteger(context, place, value);
}

}  // namespace

void CheckSecondsList(Context& context, const Place& place, const json& list, bool zero) {
  if (!list.is_array()) {
    context.Error("type", place.pointer,
                  "must be an array of whole seconds, but is " + Described(list) + ": " + place.consequence);
    return;
  }
  const std::string range =
      std::string("outside ") + (zero ? "0" : "1") + " to " + std::to_string(grammar::MaxCountdownSeconds) + " seconds";
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Place element = place.Element(i);
    if (!list[i].is_number() && !list[i].is_boolean()) {
      context.Error("type", element.pointer,
                    "must be a whole number of seconds, but is " + Described(list[i]) + ": " + place.consequence);
      continue;
    }
    const std::optional<std::int32_t> seconds = ExpectInteger(context, element, list[i]);
    if (!seconds || (*seconds >= (zero ? 0 : 1) && *seconds <= grammar::MaxCountdownSeconds)) continue;
    if (zero) {
      context.Error("countdown-seconds", element.pointer, Shown(list[i]) + " is " + range + ": " + place.consequence);
    } else {
      context.Warning("countdown-seconds", element.pointer,
                      Shown(list[i]) + " is " + range + ": a countdown never reaches this mark");
    }
  }
}

void CheckOwnClock(Context& context, const Place& place, const json& message) {
  const json* interval = FindMember(message, TimedMessage::Interval);
  bool own = false;
  if (interval != nullptr) {
    const Place at = place.Member(TimedMessage::Interval);
    const std::optional<std::int32_t> seconds =
        LenientSeconds(context, at, *interval, "the message stays in the shared rotation");
    if (seconds && *seconds <= 0) {
      context.Warning("interval", at.pointer, "0 or less: the message stays in the shared rotation");
    }
    own = seconds && *seconds > 0;
  }
  const json* delay = FindMember(message, TimedMessage::Start_Delay);
  if (delay == nullptr) return;
  const Place at = place.Member(TimedMessage::Start_Delay);
  if (!own) {
    context.Warning("unread", at.pointer,
                    "read only for a message with an " + Quoted(TimedMessage::Interval.name) + " of its own above 0");
    return;
  }
  const std::optional<std::int32_t> seconds =
      LenientSeconds(context, at, *delay, "the message first goes out one interval after load");
  if (seconds && *seconds < 0) {
    context.Warning("interval", at.pointer, "below 0: the message first goes out at the first timer call");
  }
}

void CheckCountdownSection(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Countdown);
  if (const json* marks = FindMember(section, Countdown::Marks)) {
    CheckSecondsList(context, place.Member(Countdown::Marks), *marks, false);
  }
  if (const json* words = FindMember(section, Countdown::Words))
    CheckWords(context, place.Member(Countdown::Words), *words);
  if (const json* final = FindMember(section, Countdown::Final_Message)) {
    const Place at{place.Member(Countdown::Final_Message).pointer, "the final message is not sent"};
    CheckTexts(context, at, Countdown::Final_Message, *final, [&](const Place& text, const std::string& value) {
      CheckDeliveredText(context, text, CheckCutText(context, text, value, "the final message"));
    });
  }
  std::string type(Countdown::MessageType.text);
  if (const json* value = FindMember(section, Countdown::MessageType)) {
    const Place at = place.Member(Countdown::MessageType);
    if (ExpectKey(context, at, Countdown::MessageType, *value)) {
      type = value->get<std::string>();
      CheckWord(context, at, type, Countdown::MessageType, "the countdown is shown to nobody", "no-send-type");
    }
  }
  if (const json* colour = FindMember(section, Countdown::MessageColour)) {
    ExpectKey(context, place.Member(Countdown::MessageColour), Countdown::MessageColour, *colour);
  }
  if (const json* alert = FindMember(section, Countdown::Alert_On_Join)) {
    ExpectKey(context, Place{place.Member(Countdown::Alert_On_Join).pointer, "no joiner is shown the time left"},
              Countdown::Alert_On_Join, *alert);
  }
  const bool chat = type == grammar::Kind::Chat || type == grammar::Kind::Client;
  if (const json* sender = FindMember(section, Countdown::Sender)) {
    const std::optional<Context::Unread> unread =
        UnreadFor(context, !chat, type, Quoted(grammar::Kind::Chat) + " or " + Quoted(grammar::Kind::Client));
    const Place at = place.Member(Countdown::Sender);
    if (ExpectKey(context, at, Countdown::Sender, *sender) && chat) {
      CheckCutText(context, at, sender->get<std::string>(), "the sender name");
    }
  }
  const std::optional<Context::Unread> unread =
      UnreadFor(context, type != grammar::Kind::Notification, type, Quoted(grammar::Kind::Notification));
  for (const grammar::Key* key : {&Countdown::DisplayScale, &Countdown::DisplayTime}) {
    const json* value = FindMember(section, *key);
    if (value == nullptr) continue;
    const Place at = place.Member(*key);
    if (ExpectKey(context, at, *key, *value) && type == grammar::Kind::Notification) {
      CheckDisplayNumber(context, at, value, *key, false);
    }
  }
  if (const json* icon = FindMember(section, Countdown::Icon_BP)) {
    ExpectKey(context, place.Member(Countdown::Icon_BP), Countdown::Icon_BP, *icon, "an icon path");
  }
}

void CheckJoinLeaveSection(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::JoinLeave);
  if (const json* enabled = FindMember(section, JoinLeave::Enabled)) {
    ExpectKey(context, Place{place.Member(JoinLeave::Enabled).pointer, "no join or leave line is sent"},
              JoinLeave::Enabled, *enabled);
  }
  for (const grammar::Key* key : {&JoinLeave::Join, &JoinLeave::Leave, &JoinLeave::First_Join}) {
    const json* line = FindMember(section, *key);
    if (line == nullptr || line->is_null()) continue;
    const std::string what = key == &JoinLeave::Leave ? "no leave line is sent" : "no join line is sent";
    CheckTimedMessage(context, Place{place.Member(*key).pointer, what}, *line, MessageUse::AboutAPlayer);
  }
}

}  // namespace sim::check
