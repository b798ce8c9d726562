// How the timed-message step reads "TimedMessages" and each message it draws.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "sim/check/Keys.h"
#include "sim/check/Rules.h"

namespace heraldix::check {
namespace {

using namespace std::string_view_literals;

bool NonEmptyList(const json* list) { return list != nullptr && list->is_array() && !list->empty(); }

void CheckPlayerCounts(Context& context, const Place& place, const json& message) {
  std::optional<std::int32_t> counts[2];
  const std::string_view names[2] = {"Min_Players_Online", "Max_Players_Online"};
  for (std::size_t i = 0; i < 2; ++i) {
    if (const json* value = FindMember(message, names[i]))
      counts[i] = ExpectInteger(context, place.Member(names[i]), *value);
  }
  if (counts[0] && counts[1] && *counts[0] > *counts[1]) {
    context.Warning("player-count", place.Member("Min_Players_Online").pointer,
                    "more than \"Max_Players_Online\": no number of players fits, so this message is never sent");
  } else if (counts[1] && *counts[1] < 0) {
    context.Warning("player-count", place.Member("Max_Players_Online").pointer,
                    "below 0: no number of players fits, so this message is never sent");
  }
}

// A section's "Messages" when there are messages to check; a wrong type or, while the section is enabled,
// an empty list is reported here instead.
const json* MessageList(Context& context, const Place& place, const json& section, bool enabled, const char* noun) {
  const json* messages = FindMember(section, "Messages");
  if (messages != nullptr && !messages->is_null() && !messages->is_array()) {
    context.Error("type", place.Member("Messages").pointer,
                  "must be an array of message objects, but is " + Described(*messages) + ": " + place.consequence);
    return nullptr;
  }
  if (messages == nullptr || messages->empty()) {
    if (enabled) {
      context.Warning("no-messages", messages != nullptr ? place.Member("Messages").pointer : place.pointer,
                      std::string(noun) + " messages are enabled, but there is no message to send");
    }
    return nullptr;
  }
  return messages;
}

void CheckMessage(Context& context, const Place& place, const json& message, bool scheduled = false) {
  if (!ExpectObject(context, place, message)) return;
  CheckDuplicateKeys(context, place, message);
  if (scheduled) {
    CheckUnknownKeys(context, place, message, keys::ScheduledMessageAll);
  } else {
    CheckUnknownKeys(context, place, message, keys::TimedMessage);
  }
  CheckPlayerCounts(context, place, message);

  const json* text = FindMember(message, "MessageToSend");
  if (text == nullptr) {
    context.Warning("empty-text", place.pointer, "no \"MessageToSend\": an empty message is sent");
  } else if (ExpectString(context, place.Member("MessageToSend"), *text)) {
    const auto& value = text->get_ref<const std::string&>();
    if (value.empty()) {
      context.Warning("empty-text", place.Member("MessageToSend").pointer, "an empty message is sent");
    } else {
      const std::string read = CheckCutText(context, place.Member("MessageToSend"), value, "the message");
      CheckDeliveredText(context, place.Member("MessageToSend"), read);
    }
  }

  std::string type = "Chat";
  if (const json* value = FindMember(message, "MessageType")) {
    const Place at = place.Member("MessageType");
    if (ExpectString(context, at, *value)) {
      type = value->get<std::string>();
      static constexpr std::array Types{"Chat"sv, "Client"sv, "Server"sv, "Notification"sv};
      CheckKind(context, at, type, Types, "nothing is sent when this message is drawn", "no-send-type");
    }
  }
  if (const json* colour = FindMember(message, "MessageColour")) {
    CheckColourObject(context, place.Member("MessageColour"), *colour);
  } else {
    CheckColourLeftOut(context, place, "MessageColour", "the message");
  }

  const json* only = FindMember(message, "Only_Send_To_Permission_Groups");
  const json* exclude = FindMember(message, "Exclude_Permissions_Groups");
  if (only != nullptr) ExpectGroupList(context, place.Member("Only_Send_To_Permission_Groups"), *only);
  if (exclude != nullptr) ExpectGroupList(context, place.Member("Exclude_Permissions_Groups"), *exclude);
  if (NonEmptyList(only) && NonEmptyList(exclude)) {
    context.Warning("exclusion-ignored", place.Member("Exclude_Permissions_Groups").pointer,
                    "ignored while \"Only_Send_To_Permission_Groups\" lists groups: the members of those groups "
                    "receive the message whatever this says");
  }

  // Each kind reads only its own members; the others matter once the kind changes.
  const bool chat = type == "Chat" || type == "Client";
  if (const json* sender = FindMember(message, "Sender")) {
    const std::optional<Context::Unread> unread = UnreadFor(context, !chat, type, "\"Chat\" or \"Client\"");
    const Place at = place.Member("Sender");
    if (ExpectString(context, at, *sender) && chat)
      CheckCutText(context, at, sender->get<std::string>(), "the sender name");
  }
  const std::optional<Context::Unread> unread = UnreadFor(context, type != "Notification", type, "\"Notification\"");
  for (const std::string_view name : {"DisplayScale"sv, "DisplayTime"sv}) {
    const json* value = FindMember(message, name);
    if (value == nullptr) continue;
    const Place at = place.Member(name);
    if (ExpectNumber(context, at, *value) && type == "Notification")
      CheckDisplayNumber(context, at, value, name, false);
  }
  if (const json* icon = FindMember(message, "Icon_BP")) {
    ExpectByteText(context, place.Member("Icon_BP"), *icon, "an icon path");
  }
}

}  // namespace

void CheckTimedMessages(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Timed);

  bool enabled = false;
  if (const json* value = FindMember(section, "Enabled")) {
    enabled = ExpectBool(context, place.Member("Enabled"), *value) && value->get<bool>();
  }

  // The switch decides whether the section's own settings are read at all; while it is off, their mistakes
  // matter only once it is switched on.
  std::optional<Context::Unread> off;
  if (!enabled) off.emplace(context, "read only once timed messages are switched on (\"Enabled\": true)");
  const json* interval = FindMember(section, "Interval");
  if (interval != nullptr) {
    const std::optional<std::int32_t> read = ExpectInteger(context, place.Member("Interval"), *interval);
    if (read && *read <= 0) {
      context.Warning("interval", place.Member("Interval").pointer,
                      "an Interval of 0 or less sends a timed message every second while timed messages are on");
    }
  } else if (enabled) {
    context.Warning("interval", place.pointer, "no \"Interval\": it is 0, so a timed message goes out every second");
  }

  if (const json* order = FindMember(section, "Order")) {
    const Place at = place.Member("Order");
    if (ExpectString(context, at, *order)) {
      static constexpr std::array Orders{"Random"sv, "Sequential"sv};
      CheckKind(context, at, order->get<std::string>(), Orders, "it counts as \"Random\"", "order");
    }
  }
  if (const json* skip = FindMember(section, "Skip_Unreceivable"))
    ExpectBool(context, place.Member("Skip_Unreceivable"), *skip);
  off.reset();

  const json* messages = MessageList(context, place, section, enabled, "timed");
  if (messages == nullptr) return;
  for (std::size_t i = 0; i < messages->size(); ++i) {
    const Place at = place.Member("Messages").Element(i);
    CheckMessage(context, Place{at.pointer, "this message is abandoned whenever it is drawn"}, (*messages)[i]);
  }
}

namespace {

bool IsClockTime(const std::string& text) {
  auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  if (text.size() != 5 || text[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) return false;
  return (text[0] - '0') * 10 + (text[1] - '0') <= 23 && text[3] <= '5';
}

// "At" and "Days": arrays of strings, each a time of day or a weekday as the plug-in reads them.
void CheckWhen(Context& context, const Place& place, const json& message) {
  static constexpr std::array Days{"Mon"sv, "Tue"sv, "Wed"sv, "Thu"sv, "Fri"sv, "Sat"sv, "Sun"sv};
  const json* at = FindMember(message, "At");
  if (at == nullptr) {
    context.Warning("no-time", place.pointer, "no \"At\": this message is never sent");
  }
  for (const std::string_view name : {"At"sv, "Days"sv}) {
    const json* list = FindMember(message, name);
    if (list == nullptr) continue;
    const Place member = place.Member(name);
    if (!list->is_array()) {
      context.Error("type", member.pointer,
                    "must be an array of strings, but is " + Described(*list) + ": " + place.consequence);
      continue;
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
      const Place element = member.Element(i);
      if (!ExpectString(context, element, (*list)[i])) continue;
      const std::string value = (*list)[i].get<std::string>();
      if (name == "At" && !IsClockTime(value)) {
        context.Error(
            "schedule-time", element.pointer,
            Quoted(value) + " is no time of day (\"HH:MM\", from \"00:00\" to \"23:59\"): " + place.consequence);
      } else if (name == "Days" && std::find(Days.begin(), Days.end(), value) == Days.end()) {
        const std::optional<std::string> nearest = Nearest(value, Days);
        context.Error("schedule-day", element.pointer,
                      Quoted(value) + " is no day (\"Mon\" to \"Sun\", exactly so)" +
                          (nearest ? "; did you mean " + Quoted(*nearest) + "?" : std::string()) + ": " +
                          place.consequence);
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
  if (const json* value = FindMember(section, "Enabled")) {
    enabled = ExpectBool(context, place.Member("Enabled"), *value) && value->get<bool>();
  }
  const json* messages = MessageList(context, place, section, enabled, "scheduled");
  if (messages == nullptr) return;
  for (std::size_t i = 0; i < messages->size(); ++i) {
    const Place at{place.Member("Messages").Element(i).pointer, "this message is never sent"};
    CheckMessage(context, at, (*messages)[i], true);
    if ((*messages)[i].is_object()) CheckWhen(context, at, (*messages)[i]);
  }
}

}  // namespace heraldix::check
