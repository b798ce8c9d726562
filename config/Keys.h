// Owns the table of configuration keys: every key's section, name, JSON type and default, in one place.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace ConfigKeys {

// Where a key lives. A command and a timed message are the objects under "CustomCommands" and in
// "TimedMessages" > "Messages"; a scheduled message, in "ScheduledMessages" > "Messages", takes every key of a
// timed message and those of its own section; a colour is any {"R", "G", "B"} object.
enum class Section { Top, Heraldix, Welcome, Command, Timed, TimedMessage, Scheduled, ScheduledMessage, Colour };

// What a key's value must be, and how the plug-in reads it.
enum class Type {
  Section,     // an object of further keys; absent reads as an empty object
  Boolean,     // true or false only
  Integer,     // a number (or boolean) taken as a 32-bit integer, fractions truncated
  Number,      // a number (or boolean) taken as a 32-bit float
  Utf8Text,    // a string decoded from UTF-8
  ByteText,    // a string widened byte by byte: each byte above 127 becomes "?"
  KindText,    // a string compared exactly against the message kinds
  GroupList,   // an array of strings, each widened byte by byte
  ColourList,  // an array of numbers: red, green, blue
  Colour,      // an object {"R", "G", "B"} of integers
  Commands,    // an object of command objects; null and [] hold none
  Messages,    // an array of timed-message objects; null holds none
  Choice,      // a string compared exactly against a few words; another word counts as the default
  TimeList,    // an array of "HH:MM" strings, 00:00 to 23:59
  DayList,     // an array of "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"
};

struct Key {
  Section section;
  std::string_view name;
  Type type;
  bool flag = false;           // default of a Boolean
  double number = 0.0;         // default of an Integer or a Number
  std::string_view text = {};  // default of a text
};

namespace Top {
inline constexpr Key Heraldix{Section::Top, "Heraldix", Type::Section};
inline constexpr Key CustomCommands{Section::Top, "CustomCommands", Type::Commands};
inline constexpr Key NoPermission{
    Section::Top, "NoPermission", Type::Utf8Text, false, 0.0, "You don't have permission to perform this command"};
inline constexpr Key TimedMessages{Section::Top, "TimedMessages", Type::Section};
inline constexpr Key ScheduledMessages{Section::Top, "ScheduledMessages", Type::Section};
}  // namespace Top

namespace Heraldix {
inline constexpr Key ClientChatColour{Section::Heraldix, "ClientChatColour", Type::Colour};
inline constexpr Key ServerMessageColor{Section::Heraldix, "ServerMessageColor", Type::Colour};
inline constexpr Key NotificationColor{Section::Heraldix, "NotificationColor", Type::Colour};
inline constexpr Key NotificationDisplayScale{Section::Heraldix, "NotificationDisplayScale", Type::Integer};
inline constexpr Key NotificationDisplayTime{Section::Heraldix, "NotificationDisplayTime", Type::Integer};
inline constexpr Key ClientChatSenderName{Section::Heraldix, "ClientChatSenderName", Type::ByteText, false, 0.0,
                                          "Heraldix"};
inline constexpr Key WelcomeMessage{Section::Heraldix, "WelcomeMessage", Type::Section};
// Only true turns the placeholder names of config/Placeholders.h on in configured texts; absent, false or a
// value of another type leaves every text exactly as without the key.
inline constexpr Key Placeholders{Section::Heraldix, "Placeholders", Type::Boolean};
}  // namespace Heraldix

namespace Welcome {
inline constexpr Key EnableWelcomeMessage{Section::Welcome, "EnableWelcomeMessage", Type::Boolean};
inline constexpr Key Message{Section::Welcome, "Message", Type::Utf8Text, false, 0.0, "Welcome to the server {0}"};
inline constexpr Key WelcomeMessageType{Section::Welcome, "WelcomeMessageType", Type::KindText, false, 0.0, "Chat"};
inline constexpr Key WelcomeMessageColour{Section::Welcome, "WelcomeMessageColour", Type::Colour};
inline constexpr Key NotificationDisplayScale{Section::Welcome, "NotificationDisplayScale", Type::Number, false, 1.0};
inline constexpr Key NotificationDisplayTime{Section::Welcome, "NotificationDisplayTime", Type::Number, false, 10.0};
inline constexpr Key Icon_BP{Section::Welcome, "Icon_BP", Type::ByteText};
}  // namespace Welcome

namespace Command {
inline constexpr Key Message{Section::Command, "Message", Type::Utf8Text};
inline constexpr Key MessageColor{Section::Command, "MessageColor", Type::ColourList};
inline constexpr Key RequiredPermissionGroups{Section::Command, "RequiredPermissionGroups", Type::GroupList};
inline constexpr Key DisplayTime{Section::Command, "DisplayTime", Type::Number};
inline constexpr Key DisplayScale{Section::Command, "DisplayScale", Type::Number};
inline constexpr Key Type{Section::Command, "Type", ConfigKeys::Type::KindText, false, 0.0, "Chat"};
inline constexpr Key Sender{Section::Command, "Sender", Type::Utf8Text};
inline constexpr Key Icon_BP{Section::Command, "Icon_BP", Type::ByteText};
inline constexpr Key Command_To_Execute{Section::Command, "Command_To_Execute", Type::ByteText};
}  // namespace Command

namespace Timed {
inline constexpr Key Enabled{Section::Timed, "Enabled", Type::Boolean};
inline constexpr Key Interval{Section::Timed, "Interval", Type::Integer};
inline constexpr Key Messages{Section::Timed, "Messages", Type::Messages};
inline constexpr Key Order{Section::Timed, "Order", Type::Choice, false, 0.0, "Random"};  // or "Sequential"
inline constexpr Key Skip_Unreceivable{Section::Timed, "Skip_Unreceivable", Type::Boolean};
}  // namespace Timed

namespace TimedMessage {
inline constexpr Key MessageToSend{Section::TimedMessage, "MessageToSend", Type::Utf8Text};
inline constexpr Key MessageType{Section::TimedMessage, "MessageType", Type::KindText, false, 0.0, "Chat"};
inline constexpr Key MessageColour{Section::TimedMessage, "MessageColour", Type::Colour};
inline constexpr Key Only_Send_To_Permission_Groups{Section::TimedMessage, "Only_Send_To_Permission_Groups",
                                                    Type::GroupList};
inline constexpr Key Exclude_Permissions_Groups{Section::TimedMessage, "Exclude_Permissions_Groups", Type::GroupList};
inline constexpr Key Sender{Section::TimedMessage, "Sender", Type::Utf8Text, false, 0.0, "Heraldix"};
inline constexpr Key DisplayScale{Section::TimedMessage, "DisplayScale", Type::Number, false, 1.0};
inline constexpr Key DisplayTime{Section::TimedMessage, "DisplayTime", Type::Number, false, 10.0};
inline constexpr Key Icon_BP{Section::TimedMessage, "Icon_BP", Type::ByteText};
// Absent: no limit. The number of players online is that of the world's list entries that still resolve.
inline constexpr Key Min_Players_Online{Section::TimedMessage, "Min_Players_Online", Type::Integer};
inline constexpr Key Max_Players_Online{Section::TimedMessage, "Max_Players_Online", Type::Integer};
}  // namespace TimedMessage

namespace Scheduled {
inline constexpr Key Enabled{Section::Scheduled, "Enabled", Type::Boolean};
inline constexpr Key Messages{Section::Scheduled, "Messages", Type::Messages};
}  // namespace Scheduled

namespace ScheduledMessage {
inline constexpr Key At{Section::ScheduledMessage, "At", Type::TimeList};
inline constexpr Key Days{Section::ScheduledMessage, "Days", Type::DayList};  // absent or empty: every day
}  // namespace ScheduledMessage

namespace Colour {
inline constexpr Key R{Section::Colour, "R", Type::Integer};
inline constexpr Key G{Section::Colour, "G", Type::Integer};
inline constexpr Key B{Section::Colour, "B", Type::Integer};
}  // namespace Colour

// Every key, section by section in the order the sections nest. The checker, the schema's test and the
// differential test walk this list; a key missing here is one they report as unknown.
inline constexpr std::array All{
    &Top::Heraldix,
    &Top::CustomCommands,
    &Top::NoPermission,
    &Top::TimedMessages,
    &Top::ScheduledMessages,

    &Heraldix::ClientChatColour,
    &Heraldix::ServerMessageColor,
    &Heraldix::NotificationColor,
    &Heraldix::NotificationDisplayScale,
    &Heraldix::NotificationDisplayTime,
    &Heraldix::ClientChatSenderName,
    &Heraldix::WelcomeMessage,
    &Heraldix::Placeholders,

    &Welcome::EnableWelcomeMessage,
    &Welcome::Message,
    &Welcome::WelcomeMessageType,
    &Welcome::WelcomeMessageColour,
    &Welcome::NotificationDisplayScale,
    &Welcome::NotificationDisplayTime,
    &Welcome::Icon_BP,

    &Command::Message,
    &Command::MessageColor,
    &Command::RequiredPermissionGroups,
    &Command::DisplayTime,
    &Command::DisplayScale,
    &Command::Type,
    &Command::Sender,
    &Command::Icon_BP,
    &Command::Command_To_Execute,

    &Timed::Enabled,
    &Timed::Interval,
    &Timed::Messages,
    &Timed::Order,
    &Timed::Skip_Unreceivable,

    &TimedMessage::MessageToSend,
    &TimedMessage::MessageType,
    &TimedMessage::MessageColour,
    &TimedMessage::Only_Send_To_Permission_Groups,
    &TimedMessage::Exclude_Permissions_Groups,
    &TimedMessage::Sender,
    &TimedMessage::DisplayScale,
    &TimedMessage::DisplayTime,
    &TimedMessage::Icon_BP,
    &TimedMessage::Min_Players_Online,
    &TimedMessage::Max_Players_Online,

    &Scheduled::Enabled,
    &Scheduled::Messages,

    &ScheduledMessage::At,
    &ScheduledMessage::Days,

    &Colour::R,
    &Colour::G,
    &Colour::B,
};

// A follow-up line ("Command_To_Execute") that names a custom command runs it, whose follow-up may run
// another: the plug-in follows at most this many follow-up lines in a row and drops the rest.
inline constexpr int MaxFollowUpDepth = 4;

// The keys of one section, in table order.
template <Section Of>
constexpr auto NamesOf() {
  constexpr std::size_t Count = [] {
    std::size_t n = 0;
    for (const Key* key : All) n += key->section == Of ? 1 : 0;
    return n;
  }();
  std::array<std::string_view, Count> names{};
  std::size_t at = 0;
  for (const Key* key : All) {
    if (key->section == Of) names[at++] = key->name;
  }
  return names;
}

}  // namespace ConfigKeys
