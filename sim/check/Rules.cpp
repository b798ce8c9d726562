#include "sim/check/Rules.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "grammar/KeyList.h"
#include "grammar/Placeholders.h"
#include "sim/check/ColourChecks.h"
#include "sim/check/Keys.h"
#include "sim/check/Spelling.h"
#include "sim/check/TextChecks.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"

namespace sim::check {

namespace Top = grammar::Top;
namespace Heraldix = grammar::Heraldix;
namespace Welcome = grammar::Welcome;

namespace {

// An editor's pointer to the schema: a top-level key the plug-in never reads.
constexpr std::string_view SchemaPointer = "$schema";
// The character name the welcome template is tried with.
constexpr std::string_view SampleCharacterName = "Player";

// Formatted once with the character name as argument 0, then once more by delivery with none.
void CheckWelcomeTemplate(Context& context, const Place& at, const std::string& text) {
  std::vector<std::string> fields;
  const std::string written = WithoutPlaceholders(context, text, fields);
  try {
    const std::string greeting =
        CheckCutText(context, at, fmt::format(fmt::runtime(written), std::string(SampleCharacterName)), "the welcome");
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

void CheckWelcome(Context& context, const Place& place, const json& section) {
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Welcome);

  if (const json* enabled = FindMember(section, Welcome::EnableWelcomeMessage)) {
    ExpectKey(context, place.Member(Welcome::EnableWelcomeMessage), Welcome::EnableWelcomeMessage, *enabled);
  }
  // The greetings, each a template: every text of the section the key table has.
  for (const grammar::Key* key : grammar::All) {
    if (key->section != grammar::Section::Welcome ||
        (key->type != grammar::ValueType::LocalText && key->type != grammar::ValueType::Utf8Text)) {
      continue;
    }
    if (const json* message = FindMember(section, *key)) {
      CheckTexts(context, place.Member(*key), *key, *message,
                 [&](const Place& at, const std::string& text) { CheckWelcomeTemplate(context, at, text); });
    }
  }

  std::string type(Welcome::WelcomeMessageType.text);
  if (const json* value = FindMember(section, Welcome::WelcomeMessageType)) {
    const Place at = place.Member(Welcome::WelcomeMessageType);
    if (ExpectString(context, at, *value)) {
      type = value->get<std::string>();
      if (!CheckWord(context, at, type, Welcome::WelcomeMessageType,
                     "the welcome is sent as " + std::string(Welcome::WelcomeMessageType.text), "fallback-type")) {
        type = Welcome::WelcomeMessageType.text;
      }
    }
  }
  if (const json* colour = FindMember(section, Welcome::WelcomeMessageColour)) {
    CheckColourObject(context, place.Member(Welcome::WelcomeMessageColour), *colour);
  } else if (const json* enabled = FindMember(section, Welcome::EnableWelcomeMessage);
             enabled != nullptr && *enabled == true) {
    CheckColourLeftOut(context, place, Welcome::WelcomeMessageColour.name, "the welcome");
  }
  const std::optional<Context::Unread> unread =
      UnreadFor(context, type != grammar::Kind::Notification, type, Quoted(grammar::Kind::Notification));
  for (const grammar::Key* key : {&Welcome::NotificationDisplayScale, &Welcome::NotificationDisplayTime}) {
    const json* value = FindMember(section, *key);
    if (value == nullptr) continue;
    const Place at = place.Member(*key);
    if (ExpectNumber(context, at, *value) && type == grammar::Kind::Notification) {
      CheckDisplayNumber(context, at, value, *key, false);
    }
  }
  if (const json* icon = FindMember(section, Welcome::Icon_BP))
    ExpectKey(context, place.Member(Welcome::Icon_BP), Welcome::Icon_BP, *icon, "an icon path");
  if (const json* delay = FindMember(section, Welcome::Delay)) {
    const std::optional<std::int32_t> seconds = ExpectInteger(context, place.Member(Welcome::Delay), *delay);
    if (seconds && *seconds < 0) {
      context.Warning("interval", place.Member(Welcome::Delay).pointer,
                      "below 0: the welcome goes at the next timer call");
    }
  }
}

}  // namespace

bool IsDisplayTime(const grammar::Key& key) {
  return &key == &Heraldix::NotificationDisplayTime || &key == &Welcome::NotificationDisplayTime ||
         &key == &grammar::Command::DisplayTime || &key == &grammar::TimedMessage::DisplayTime ||
         &key == &grammar::Countdown::DisplayTime;
}

std::optional<Context::Unread> UnreadFor(Context& context, bool unread, std::string_view kind,
                                         std::string_view readBy) {
  if (!unread) return std::nullopt;
  return std::optional<Context::Unread>(
      std::in_place, context, "read only once the kind is " + std::string(readBy) + " (it is " + Quoted(kind) + ")");
}

// A display time or scale that makes a notification vanish or shrink to nothing.
void CheckDisplayNumber(Context& context, const Place& place, const json* value, const grammar::Key& key,
                        bool warnWhenAbsent) {
  const std::string_view what = key.name;
  const bool time = IsDisplayTime(key);
  if (value == nullptr) {
    if (warnWhenAbsent) {
      context.Warning("display", place.pointer,
                      "no " + std::string(what) + " is given, so it is 0 and the notification " +
                          (time ? "is gone at once" : "is drawn at scale 0"));
    }
    return;
  }
  const double number = value->is_boolean()  ? (value->get<bool>() ? 1.0 : 0.0)
                        : value->is_number() ? value->get<double>()
                                             : 1.0;
  if (number <= 0.0) {
    context.Warning("display", place.pointer,
                    std::string(what) + " " + Shown(*value) + " is 0 or less: the notification " +
                        (time ? "is gone at once" : "is drawn at scale 0 or less"));
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
  if (const json* heraldix = FindMember(document, Top::Heraldix); heraldix != nullptr && heraldix->is_object()) {
    const json* placeholders = FindMember(*heraldix, Heraldix::Placeholders);
    context.SetPlaceholders(placeholders != nullptr && *placeholders == true);
  }
  ReadLanguages(context, document);
  CheckDuplicateKeys(context, top, document);
  // An editor's pointer to the schema is a top-level key the plug-in never reads.
  static constexpr auto TopAndSchema = [] {
    std::array<std::string_view, keys::Top.size() + 1> names{};
    std::copy(keys::Top.begin(), keys::Top.end(), names.begin());
    names.back() = SchemaPointer;
    return names;
  }();
  CheckUnknownKeys(context, top, document, TopAndSchema);

  if (const json* heraldix = FindMember(document, Top::Heraldix)) {
    CheckHeraldixSection(
        context,
        Place{top.Member(Top::Heraldix).pointer, "hx.sendchat, hx.sendnotification and the welcome message fail"},
        *heraldix);
  }
  if (const json* commands = FindMember(document, Top::CustomCommands)) {
    CheckCustomCommands(context, top.Member(Top::CustomCommands), *commands);
  }
  if (const json* refusal = FindMember(document, Top::NoPermission)) {
    const Place at{top.Member(Top::NoPermission).pointer, "the refusal text cannot be read"};
    CheckTexts(context, at, Top::NoPermission, *refusal, [&](const Place& text, const std::string& value) {
      CheckDeliveredText(context, text, CheckCutText(context, text, value, "the refusal"));
    });
  }
  if (const json* timed = FindMember(document, Top::TimedMessages)) {
    CheckTimedMessages(context, Place{top.Member(Top::TimedMessages).pointer, "no timed message is ever sent"}, *timed);
  }
  if (const json* players = FindMember(document, Top::Players)) {
    CheckPlayersSection(context, Place{top.Member(Top::Players).pointer, "players' choices are not kept"}, *players);
  }
  if (const json* scheduled = FindMember(document, Top::ScheduledMessages)) {
    CheckScheduledMessages(
        context, Place{top.Member(Top::ScheduledMessages).pointer, "no scheduled message is ever sent"}, *scheduled);
  }
  if (const json* countdown = FindMember(document, Top::Countdown)) {
    CheckCountdownSection(context, Place{top.Member(Top::Countdown).pointer, "hx.countdown fails to start"},
                          *countdown);
  }
  if (const json* lines = FindMember(document, Top::JoinLeaveMessages)) {
    CheckJoinLeaveSection(context, Place{top.Member(Top::JoinLeaveMessages).pointer, "no join or leave line is sent"},
                          *lines);
  }
}

void CheckHeraldixSection(Context& context, const Place& place, const json& section) {
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);
  CheckUnknownKeys(context, place, section, keys::Heraldix);

  struct Use {
    const grammar::Key* key;
    std::string_view consequence;
  };
  static constexpr std::array Colours{
      Use{&Heraldix::ClientChatColour, "hx.sendchat without a colour fails"},
      Use{&Heraldix::ServerMessageColor, "hx.sendserver without a colour fails"},
      Use{&Heraldix::NotificationColor, "hx.sendnotification without its numbers fails"},
  };
  static constexpr std::array Black{"hx.sendchat without a colour", "hx.sendserver without a colour",
                                    "hx.sendnotification without its numbers"};
  std::string leftOut;
  std::string black;
  for (std::size_t i = 0; i < Colours.size(); ++i) {
    const Use& use = Colours[i];
    if (const json* colour = FindMember(section, *use.key)) {
      CheckColourObject(context, Place{place.Member(*use.key).pointer, std::string(use.consequence)}, *colour);
    } else {
      leftOut += (leftOut.empty() ? "" : ", ") + Quoted(use.key->name);
      black += (black.empty() ? "" : ", ") + std::string(Black[i]);
    }
  }
  if (!leftOut.empty()) {
    context.Warning("colour-missing", place.pointer,
                    "no " + leftOut + ": " + black + " sends black (0, 0, 0) lines; give " + ColourObjectShape());
  }
  for (const grammar::Key* key : {&Heraldix::NotificationDisplayScale, &Heraldix::NotificationDisplayTime}) {
    const json* value = FindMember(section, *key);
    if (value == nullptr) continue;
    const Place at{place.Member(*key).pointer, "hx.sendnotification without its numbers fails"};
    const std::optional<std::int32_t> read = ExpectInteger(context, at, *value);
    if (read && *read <= 0) {
      context.Warning("display", at.pointer,
                      std::string("hx.sendnotification without its numbers shows notifications ") +
                          (IsDisplayTime(*key) ? "that are gone at once" : "at scale 0 or less"));
    }
  }
  if (const json* sender = FindMember(section, Heraldix::ClientChatSenderName)) {
    ExpectKey(context,
              Place{place.Member(Heraldix::ClientChatSenderName).pointer, "chat welcomes and permission refusals fail"},
              Heraldix::ClientChatSenderName, *sender, "the sender name");
  }
  if (const json* placeholders = FindMember(section, Heraldix::Placeholders)) {
    ExpectKey(
        context,
        Place{place.Member(Heraldix::Placeholders).pointer, "placeholders stay off, so no placeholder is replaced"},
        Heraldix::Placeholders, *placeholders);
  }
  if (const json* welcome = FindMember(section, Heraldix::WelcomeMessage)) {
    const Place at{place.Member(Heraldix::WelcomeMessage).pointer, "no welcome message is sent"};
    if (ExpectKey(context, at, Heraldix::WelcomeMessage, *welcome)) CheckWelcome(context, at, *welcome);
  }
}

}  // namespace sim::check
