// How the timed-message step reads "TimedMessages" and each message it draws.
#include <array>
#include <optional>
#include <string>

#include "sim/check/Keys.h"
#include "sim/check/Rules.h"

namespace heraldix::check {
namespace {

using namespace std::string_view_literals;

bool NonEmptyList(const json* list) { return list != nullptr && list->is_array() && !list->empty(); }

void CheckMessage(Context& context, const Place& place, const json& message) {
  if (!ExpectObject(context, place, message)) return;
  CheckDuplicateKeys(context, place, message);
  CheckUnknownKeys(context, place, message, keys::kTimedMessage);

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
      static constexpr std::array kTypes{"Chat"sv, "Client"sv, "Server"sv, "Notification"sv};
      CheckKind(context, at, type, kTypes, "nothing is sent when this message is drawn", "no-send-type");
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
    if (ExpectString(context, at, *sender) && chat) CheckCutText(context, at, sender->get<std::string>(), "the sender name");
  }
  const std::optional<Context::Unread> unread = UnreadFor(context, type != "Notification", type, "\"Notification\"");
  for (const std::string_view name : {"DisplayScale"sv, "DisplayTime"sv}) {
    const json* value = FindMember(message, name);
    if (value == nullptr) continue;
    const Place at = place.Member(name);
    if (ExpectNumber(context, at, *value) && type == "Notification") CheckDisplayNumber(context, at, value, name, false);
  }
  if (const json* icon = FindMember(message, "Icon_BP")) {
    ExpectByteText(context, place.Member("Icon_BP"), *icon, "an icon path");
  }
}

}  // namespace

void CheckTimedMessages(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::kTimed);

  bool enabled = false;
  if (const json* value = FindMember(section, "Enabled")) {
    enabled = ExpectBool(context, place.Member("Enabled"), *value) && value->get<bool>();
  }

  const json* interval = FindMember(section, "Interval");
  if (interval != nullptr) {
    const std::optional<std::int32_t> read = ExpectInteger(context, place.Member("Interval"), *interval);
    if (read && *read <= 0) {
      context.Warning("interval", place.Member("Interval").pointer,
                      "an Interval of 0 or less sends a timed message every second while timed messages are on");
    }
  } else if (enabled) {
    context.Warning("interval", place.pointer,
                    "no \"Interval\": it is 0, so a timed message goes out every second");
  }

  const json* messages = FindMember(section, "Messages");
  if (messages != nullptr && !messages->is_null() && !messages->is_array()) {
    context.Error("type", place.Member("Messages").pointer,
                  "must be an array of message objects, but is " + Described(*messages) + ": " + place.consequence);
    return;
  }
  if (messages == nullptr || messages->empty()) {
    if (enabled) {
      context.Warning("no-messages", messages != nullptr ? place.Member("Messages").pointer : place.pointer,
                      "timed messages are enabled, but there is no message to send");
    }
    return;
  }
  for (std::size_t i = 0; i < messages->size(); ++i) {
    const Place at = place.Member("Messages").Element(i);
    CheckMessage(context, Place{at.pointer, "this message is abandoned whenever it is drawn"}, (*messages)[i]);
  }
}

}  // namespace heraldix::check
