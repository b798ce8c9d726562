#include "sim/check/Rules.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "sim/check/Keys.h"

namespace heraldix::check {
namespace {

using namespace std::string_view_literals;

void CheckWelcome(Context& context, const Place& place, const json& section) {
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Welcome);

  if (const json* enabled = FindMember(section, "EnableWelcomeMessage")) {
    ExpectBool(context, place.Member("EnableWelcomeMessage"), *enabled);
  }
  if (const json* message = FindMember(section, "Message")) {
    const Place at = place.Member("Message");
    if (ExpectString(context, at, *message)) {
      // Formatted once with the character name as argument 0, then once more by delivery with none.
      std::vector<std::string> fields;
      const std::string written = WithoutPlaceholders(context, message->get<std::string>(), fields);
      try {
        const std::string greeting =
            CheckCutText(context, at, fmt::format(fmt::runtime(written), std::string("Player")), "the welcome");
        try {
          (void)fmt::format(fmt::runtime(greeting));
        } catch (const fmt::format_error&) {
          context.Error("brace", at.pointer,
                        "after the name is put in, a brace is left that delivery rejects, so nobody is welcomed; "
                        "a literal brace is written four times here ({{{{ or }}}})");
        }
      } catch (const fmt::format_error& error) {
        context.Error("welcome-template", at.pointer,
                      std::string("the welcome template is rejected (") + error.what() +
                          "), so nobody is welcomed; {0} is the character name and the only argument" +
                          PlaceholderHint(context, fields, false));
      }
    }
  }

  static constexpr std::array Types{"Server"sv, "Chat"sv, "Notification"sv};
  std::string type = "Chat";
  if (const json* value = FindMember(section, "WelcomeMessageType")) {
    const Place at = place.Member("WelcomeMessageType");
    if (ExpectString(context, at, *value)) {
      type = value->get<std::string>();
      if (!CheckKind(context, at, type, Types, "the welcome is sent as Chat", "fallback-type")) type = "Chat";
    }
  }
  if (const json* colour = FindMember(section, "WelcomeMessageColour")) {
    CheckColourObject(context, place.Member("WelcomeMessageColour"), *colour);
  } else if (const json* enabled = FindMember(section, "EnableWelcomeMessage");
             enabled != nullptr && *enabled == true) {
    CheckColourLeftOut(context, place, "WelcomeMessageColour", "the welcome");
  }
  const std::optional<Context::Unread> unread = UnreadFor(context, type != "Notification", type, "\"Notification\"");
  for (const std::string_view name : {"NotificationDisplayScale"sv, "NotificationDisplayTime"sv}) {
    const json* value = FindMember(section, name);
    if (value == nullptr) continue;
    const Place at = place.Member(name);
    if (ExpectNumber(context, at, *value) && type == "Notification") {
      CheckDisplayNumber(context, at, value, name, false);
    }
  }
  if (const json* icon = FindMember(section, "Icon_BP"))
    ExpectByteText(context, place.Member("Icon_BP"), *icon, "an icon path");
}

}  // namespace

const json* FindMember(const json& object, std::string_view name) {
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

// A kind-of-message value compared exactly, as the plug-in compares it.
bool CheckKind(Context& context, const Place& place, const std::string& value, std::span<const std::string_view> kinds,
               std::string_view consequence, std::string_view code) {
  for (const std::string_view kind : kinds) {
    if (value == kind) return true;
  }
  std::string list;
  for (const std::string_view kind : kinds) list += (list.empty() ? "" : ", ") + std::string(kind);
  std::string message = Quoted(value) + " is none of " + list + " (compared exactly): " + std::string(consequence);
  if (const auto near = Nearest(value, kinds)) message += "; did you mean " + Quoted(*near) + "?";
  context.Warning(code, place.pointer, std::move(message));
  return false;
}

std::optional<Context::Unread> UnreadFor(Context& context, bool unread, std::string_view kind,
                                         std::string_view readBy) {
  if (!unread) return std::nullopt;
  return std::optional<Context::Unread>(
      std::in_place, context, "read only once the kind is " + std::string(readBy) + " (it is " + Quoted(kind) + ")");
}

// A display time or scale that makes a notification vanish or shrink to nothing.
void CheckDisplayNumber(Context& context, const Place& place, const json* value, std::string_view what,
                        bool warnWhenAbsent) {
  if (value == nullptr) {
    if (warnWhenAbsent) {
      context.Warning("display", place.pointer,
                      "no " + std::string(what) + " is given, so it is 0 and the notification " +
                          (what.ends_with("Time") ? "is gone at once" : "is drawn at scale 0"));
    }
    return;
  }
  const double number = value->is_boolean()  ? (value->get<bool>() ? 1.0 : 0.0)
                        : value->is_number() ? value->get<double>()
                                             : 1.0;
  if (number <= 0.0) {
    context.Warning("display", place.pointer,
                    std::string(what) + " " + Shown(*value) + " is 0 or less: the notification " +
                        (what.ends_with("Time") ? "is gone at once" : "is drawn at scale 0 or less"));
  }
}

void CheckDocument(const json& document, Context& context) {
  if (!document.is_object()) {
    context.Error("document", "",
                  "the document must be a JSON object, but is " + Described(document) +
                      ": every read of a setting fails and no custom command is registered");
    return;
  }
  const Place top{"", ""};
  // Placeholders apply to every configured text, wherever in the file the switch stands.
  if (const json* heraldix = FindMember(document, "Heraldix"); heraldix != nullptr && heraldix->is_object()) {
    const json* placeholders = FindMember(*heraldix, "Placeholders");
    context.SetPlaceholders(placeholders != nullptr && *placeholders == true);
  }
  CheckDuplicateKeys(context, top, document);
  // An editor's pointer to the schema is a top-level key the plug-in never reads.
  static constexpr auto TopAndSchema = [] {
    std::array<std::string_view, keys::Top.size() + 1> names{};
    std::copy(keys::Top.begin(), keys::Top.end(), names.begin());
    names.back() = "$schema";
    return names;
  }();
  CheckUnknownKeys(context, top, document, TopAndSchema);

  if (const json* heraldix = FindMember(document, "Heraldix")) {
    CheckHeraldixSection(context, Place{"/Heraldix", "hx.sendchat, hx.sendnotification and the welcome message fail"},
                         *heraldix);
  }
  if (const json* commands = FindMember(document, "CustomCommands")) {
    CheckCustomCommands(context, top.Member("CustomCommands"), *commands);
  }
  if (const json* refusal = FindMember(document, "NoPermission")) {
    const Place at{"/NoPermission", "the refusal text cannot be read"};
    if (ExpectString(context, at, *refusal)) {
      CheckDeliveredText(context, at, CheckCutText(context, at, refusal->get<std::string>(), "the refusal"));
    }
  }
  if (const json* timed = FindMember(document, "TimedMessages")) {
    CheckTimedMessages(context, Place{"/TimedMessages", "no timed message is ever sent"}, *timed);
  }
  if (const json* scheduled = FindMember(document, "ScheduledMessages")) {
    CheckScheduledMessages(context, Place{"/ScheduledMessages", "no scheduled message is ever sent"}, *scheduled);
  }
}

void CheckHeraldixSection(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Heraldix);

  struct Use {
    std::string_view key;
    std::string_view consequence;
  };
  static constexpr std::array Colours{
      Use{"ClientChatColour", "hx.sendchat without a colour fails"},
      Use{"ServerMessageColor", "hx.sendserver without a colour fails"},
      Use{"NotificationColor", "hx.sendnotification without its numbers fails"},
  };
  static constexpr std::array Black{"hx.sendchat without a colour", "hx.sendserver without a colour",
                                    "hx.sendnotification without its numbers"};
  std::string leftOut;
  std::string black;
  for (std::size_t i = 0; i < Colours.size(); ++i) {
    const Use& use = Colours[i];
    if (const json* colour = FindMember(section, use.key)) {
      CheckColourObject(context, Place{place.Member(use.key).pointer, std::string(use.consequence)}, *colour);
    } else {
      leftOut += (leftOut.empty() ? "" : ", ") + Quoted(use.key);
      black += (black.empty() ? "" : ", ") + std::string(Black[i]);
    }
  }
  if (!leftOut.empty()) {
    context.Warning(
        "colour-missing", place.pointer,
        "no " + leftOut + ": " + black + " sends black (0, 0, 0) lines; give {\"R\": ..., \"G\": ..., \"B\": ...}");
  }
  for (const std::string_view name : {"NotificationDisplayScale"sv, "NotificationDisplayTime"sv}) {
    const json* value = FindMember(section, name);
    if (value == nullptr) continue;
    const Place at{place.Member(name).pointer, "hx.sendnotification without its numbers fails"};
    const std::optional<std::int32_t> read = ExpectInteger(context, at, *value);
    if (read && *read <= 0) {
      context.Warning("display", at.pointer,
                      std::string("hx.sendnotification without its numbers shows notifications ") +
                          (name.ends_with("Time") ? "that are gone at once" : "at scale 0 or less"));
    }
  }
  if (const json* sender = FindMember(section, "ClientChatSenderName")) {
    ExpectByteText(context,
                   Place{place.Member("ClientChatSenderName").pointer, "chat welcomes and permission refusals fail"},
                   *sender, "the sender name");
  }
  if (const json* placeholders = FindMember(section, "Placeholders")) {
    ExpectBool(context,
               Place{place.Member("Placeholders").pointer, "placeholders stay off, so no placeholder is replaced"},
               *placeholders);
  }
  if (const json* welcome = FindMember(section, "WelcomeMessage")) {
    const Place at{place.Member("WelcomeMessage").pointer, "no welcome message is sent"};
    if (ExpectObject(context, at, *welcome)) CheckWelcome(context, at, *welcome);
  }
}

}  // namespace heraldix::check
