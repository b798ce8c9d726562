// Owns the table of configuration keys: every key's section, name, JSON type and default, in one place.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "grammar/Words.h"

namespace grammar {

// Where a key lives. A command and a timed message are the objects under "CustomCommands" and in
// "TimedMessages" > "Messages"; a scheduled message, in "ScheduledMessages" > "Messages", takes every key of a
// timed message and those of its own section; a colour is any {"R", "G", "B"} object. The join and leave lines
// ("JoinLeaveMessages" > "Join" and "Leave") are objects of the timed-message kind too.
enum class Section {
  Top,
  Heraldix,
  Welcome,
  Command,
  Timed,
  TimedMessage,
  Scheduled,
  ScheduledMessage,
  Colour,
  Players,
  Countdown,
  CountdownWords,
  JoinLeave,
};

// What a key's value must be, and how the plug-in reads it.
enum class ValueType {
  Section,      // an object of further keys; absent reads as an empty object
  Boolean,      // true or false only
  Integer,      // a number (or boolean) taken as a 32-bit integer, fractions truncated
  Number,       // a number (or boolean) taken as a 32-bit float
  Utf8Text,     // a string decoded from UTF-8
  ByteText,     // a string widened byte by byte: each byte above 127 becomes "?"
  KindText,     // a string compared exactly against the message kinds
  GroupList,    // an array of strings, each widened byte by byte
  ColourList,   // an array of numbers: red, green, blue
  Colour,       // an object {"R", "G", "B"} of integers
  Commands,     // an object of command objects; null and [] hold none
  Messages,     // an array of timed-message objects; null holds none
  Choice,       // a string compared exactly against a few words; another word counts as the default
  TimeList,     // an array of "HH:MM" strings, 00:00 to 23:59
  DayList,      // an array of weekday names (grammar/Words.h)
  TextList,     // an array of strings, each decoded from UTF-8
  LocalText,    // a string, or an object of language codes to strings: the text in each language
  SecondsList,  // an array of whole seconds
  Message,      // one object of the timed-message kind
};

struct Key {
  Section section;
  std::string_view name;
  ValueType type;
  bool flag = false;                        // default of a Boolean
  double number = 0.0;                      // default of an Integer or a Number
  std::string_view text = {};               // default of a text
  std::span<const std::string_view> words;  // what a KindText, Choice or DayList accepts, in the order shown
};

namespace Top {
inline constexpr Key Heraldix{.section = Section::Top, .name = PluginName, .type = ValueType::Section};
inline constexpr Key CustomCommands{.section = Section::Top, .name = "CustomCommands", .type = ValueType::Commands};
inline constexpr Key NoPermission{.section = Section::Top,
                                  .name = "NoPermission",
                                  .type = ValueType::LocalText,
                                  .text = "You don't have permission to perform this command"};
inline constexpr Key TimedMessages{.section = Section::Top, .name = "TimedMessages", .type = ValueType::Section};
inline constexpr Key ScheduledMessages{
    .section = Section::Top, .name = "ScheduledMessages", .type = ValueType::Section};
inline constexpr Key Players{.section = Section::Top, .name = "Players", .type = ValueType::Section};
inline constexpr Key Countdown{.section = Section::Top, .name = "Countdown", .type = ValueType::Section};
inline constexpr Key JoinLeaveMessages{
    .section = Section::Top, .name = "JoinLeaveMessages", .type = ValueType::Section};
}  // namespace Top

namespace Heraldix {
inline constexpr Key ClientChatColour{
    .section = Section::Heraldix, .name = "ClientChatColour", .type = ValueType::Colour};
inline constexpr Key ServerMessageColor{
    .section = Section::Heraldix, .name = "ServerMessageColor", .type = ValueType::Colour};
inline constexpr Key NotificationColor{
    .section = Section::Heraldix, .name = "NotificationColor", .type = ValueType::Colour};
inline constexpr Key NotificationDisplayScale{
    .section = Section::Heraldix, .name = "NotificationDisplayScale", .type = ValueType::Integer};
inline constexpr Key NotificationDisplayTime{
    .section = Section::Heraldix, .name = "NotificationDisplayTime", .type = ValueType::Integer};
inline constexpr Key ClientChatSenderName{
    .section = Section::Heraldix, .name = "ClientChatSenderName", .type = ValueType::ByteText, .text = PluginName};
inline constexpr Key WelcomeMessage{.section = Section::Heraldix, .name = "WelcomeMessage", .type = ValueType::Section};
// Only true turns the placeholder names of grammar/Placeholders.h on in configured texts; absent, false or a
// value of another type leaves every text exactly as without the key.
inline constexpr Key Placeholders{.section = Section::Heraldix, .name = "Placeholders", .type = ValueType::Boolean};
}  // namespace Heraldix

namespace Welcome {
inline constexpr Key EnableWelcomeMessage{
    .section = Section::Welcome, .name = "EnableWelcomeMessage", .type = ValueType::Boolean};
inline constexpr Key Message{
    .section = Section::Welcome, .name = "Message", .type = ValueType::LocalText, .text = "Welcome to the server {0}"};
// The greeting of a player's first visit ever, only while players' choices are kept; absent: "Message".
inline constexpr Key First_Message{.section = Section::Welcome, .name = "First_Message", .type = ValueType::LocalText};
inline constexpr Key WelcomeMessageType{.section = Section::Welcome,
                                        .name = "WelcomeMessageType",
                                        .type = ValueType::KindText,
                                        .text = Kind::Chat,
                                        .words = WelcomeKinds};
inline constexpr Key WelcomeMessageColour{
    .section = Section::Welcome, .name = "WelcomeMessageColour", .type = ValueType::Colour};
inline constexpr Key NotificationDisplayScale{
    .section = Section::Welcome, .name = "NotificationDisplayScale", .type = ValueType::Number, .number = 1.0};
inline constexpr Key NotificationDisplayTime{
    .section = Section::Welcome, .name = "NotificationDisplayTime", .type = ValueType::Number, .number = 10.0};
inline constexpr Key Icon_BP{.section = Section::Welcome, .name = "Icon_BP", .type = ValueType::ByteText};
// Whole seconds from the possession to the greeting; below 0 counts as 0.
inline constexpr Key Delay{.section = Section::Welcome, .name = "Delay", .type = ValueType::Integer, .number = 5.0};
}  // namespace Welcome

namespace Command {
inline constexpr Key Message{.section = Section::Command, .name = "Message", .type = ValueType::LocalText};
inline constexpr Key MessageColor{.section = Section::Command, .name = "MessageColor", .type = ValueType::ColourList};
inline constexpr Key RequiredPermissionGroups{
    .section = Section::Command, .name = "RequiredPermissionGroups", .type = ValueType::GroupList};
inline constexpr Key DisplayTime{.section = Section::Command, .name = "DisplayTime", .type = ValueType::Number};
inline constexpr Key DisplayScale{.section = Section::Command, .name = "DisplayScale", .type = ValueType::Number};
inline constexpr Key Type{.section = Section::Command,
                          .name = "Type",
                          .type = ValueType::KindText,
                          .text = Kind::Chat,
                          .words = MessageKinds};
inline constexpr Key Sender{.section = Section::Command, .name = "Sender", .type = ValueType::Utf8Text};
inline constexpr Key Icon_BP{.section = Section::Command, .name = "Icon_BP", .type = ValueType::ByteText};
inline constexpr Key Command_To_Execute{
    .section = Section::Command, .name = "Command_To_Execute", .type = ValueType::ByteText};
}  // namespace Command

namespace Timed {
inline constexpr Key Enabled{.section = Section::Timed, .name = "Enabled", .type = ValueType::Boolean};
inline constexpr Key Interval{.section = Section::Timed, .name = "Interval", .type = ValueType::Integer};
inline constexpr Key Messages{.section = Section::Timed, .name = "Messages", .type = ValueType::Messages};
inline constexpr Key Order{
    .section = Section::Timed, .name = "Order", .type = ValueType::Choice, .text = Order::Random, .words = Orders};
inline constexpr Key Skip_Unreceivable{
    .section = Section::Timed, .name = "Skip_Unreceivable", .type = ValueType::Boolean};
// Seconds from load to the rotation's first message; absent, 0 or not a number: at the first timer call.
inline constexpr Key Start_Delay{.section = Section::Timed, .name = "Start_Delay", .type = ValueType::Integer};
}  // namespace Timed

namespace TimedMessage {
inline constexpr Key MessageToSend{
    .section = Section::TimedMessage, .name = "MessageToSend", .type = ValueType::LocalText};
inline constexpr Key MessageType{.section = Section::TimedMessage,
                                 .name = "MessageType",
                                 .type = ValueType::KindText,
                                 .text = Kind::Chat,
                                 .words = MessageKinds};
inline constexpr Key MessageColour{
    .section = Section::TimedMessage, .name = "MessageColour", .type = ValueType::Colour};
inline constexpr Key Only_Send_To_Permission_Groups{
    .section = Section::TimedMessage, .name = "Only_Send_To_Permission_Groups", .type = ValueType::GroupList};
inline constexpr Key Exclude_Permissions_Groups{
    .section = Section::TimedMessage, .name = "Exclude_Permissions_Groups", .type = ValueType::GroupList};
inline constexpr Key Sender{
    .section = Section::TimedMessage, .name = "Sender", .type = ValueType::Utf8Text, .text = PluginName};
inline constexpr Key DisplayScale{
    .section = Section::TimedMessage, .name = "DisplayScale", .type = ValueType::Number, .number = 1.0};
inline constexpr Key DisplayTime{
    .section = Section::TimedMessage, .name = "DisplayTime", .type = ValueType::Number, .number = 10.0};
inline constexpr Key Icon_BP{.section = Section::TimedMessage, .name = "Icon_BP", .type = ValueType::ByteText};
// Absent: no limit. The number of players online is that of the world's list entries that still resolve.
inline constexpr Key Min_Players_Online{
    .section = Section::TimedMessage, .name = "Min_Players_Online", .type = ValueType::Integer};
inline constexpr Key Max_Players_Online{
    .section = Section::TimedMessage, .name = "Max_Players_Online", .type = ValueType::Integer};
// A message with an interval above 0 leaves the rotation and goes out on its own clock, first after its start
// delay (absent: its interval). Neither is read in a scheduled message or a join or leave line.
inline constexpr Key Interval{.section = Section::TimedMessage, .name = "Interval", .type = ValueType::Integer};
inline constexpr Key Start_Delay{.section = Section::TimedMessage, .name = "Start_Delay", .type = ValueType::Integer};
}  // namespace TimedMessage

namespace Scheduled {
inline constexpr Key Enabled{.section = Section::Scheduled, .name = "Enabled", .type = ValueType::Boolean};
inline constexpr Key Messages{.section = Section::Scheduled, .name = "Messages", .type = ValueType::Messages};
}  // namespace Scheduled

namespace ScheduledMessage {
inline constexpr Key At{.section = Section::ScheduledMessage, .name = "At", .type = ValueType::TimeList};
inline constexpr Key Days{.section = Section::ScheduledMessage,
                          .name = "Days",
                          .type = ValueType::DayList,
                          .words = Weekdays};  // absent or empty: every day
// Seconds before each time at which the message also goes out, {TimeLeft} replaced; 0 is the time itself.
inline constexpr Key Countdown{
    .section = Section::ScheduledMessage, .name = "Countdown", .type = ValueType::SecondsList};
}  // namespace ScheduledMessage

namespace Colour {
inline constexpr Key R{.section = Section::Colour, .name = "R", .type = ValueType::Integer};
inline constexpr Key G{.section = Section::Colour, .name = "G", .type = ValueType::Integer};
inline constexpr Key B{.section = Section::Colour, .name = "B", .type = ValueType::Integer};
}  // namespace Colour

// Players' own choices, kept in a database beside config.json.
namespace Players {
inline constexpr Key Enabled{.section = Section::Players, .name = "Enabled", .type = ValueType::Boolean};
inline constexpr Key Database{
    .section = Section::Players, .name = "Database", .type = ValueType::Utf8Text, .text = "players.db"};
inline constexpr Key Opt_Out_Command{
    .section = Section::Players, .name = "Opt_Out_Command", .type = ValueType::ByteText, .text = "/adverts"};
inline constexpr Key Language_Command{
    .section = Section::Players, .name = "Language_Command", .type = ValueType::ByteText, .text = "/language"};
inline constexpr Key Languages{.section = Section::Players, .name = "Languages", .type = ValueType::TextList};
inline constexpr Key Default_Language{
    .section = Section::Players, .name = "Default_Language", .type = ValueType::Utf8Text};
inline constexpr Key Adverts_Off_Message{.section = Section::Players,
                                         .name = "Adverts_Off_Message",
                                         .type = ValueType::LocalText,
                                         .text = "Automatic messages are off for you. Type {0} on to have them back."};
inline constexpr Key Adverts_On_Message{.section = Section::Players,
                                        .name = "Adverts_On_Message",
                                        .type = ValueType::LocalText,
                                        .text = "Automatic messages are on for you again."};
inline constexpr Key Adverts_Usage_Message{
    .section = Section::Players,
    .name = "Adverts_Usage_Message",
    .type = ValueType::LocalText,
    .text = "Type {0} off to stop automatic messages, {0} on to have them back."};
inline constexpr Key Language_Set_Message{.section = Section::Players,
                                          .name = "Language_Set_Message",
                                          .type = ValueType::LocalText,
                                          .text = "Your language is now {0}."};
inline constexpr Key Language_List_Message{.section = Section::Players,
                                           .name = "Language_List_Message",
                                           .type = ValueType::LocalText,
                                           .text = "Your language: {0}. Choose one of {1} with {2} CODE."};
inline constexpr Key Language_Unknown_Message{.section = Section::Players,
                                              .name = "Language_Unknown_Message",
                                              .type = ValueType::LocalText,
                                              .text = "There is no language {0} here. Choose one of {1}."};
inline constexpr Key Not_Kept_Message{.section = Section::Players,
                                      .name = "Not_Kept_Message",
                                      .type = ValueType::LocalText,
                                      .text = "Your choices cannot be kept at the moment."};
}  // namespace Players

// The countdown an administrator starts with hx.countdown: when it is announced and how it looks. It goes out
// as a timed message would, but as a white server message unless configured otherwise.
namespace Countdown {
inline constexpr Key Marks{.section = Section::Countdown, .name = "Marks", .type = ValueType::SecondsList};
inline constexpr Key Words{.section = Section::Countdown, .name = "Words", .type = ValueType::Section};
inline constexpr Key Final_Message{
    .section = Section::Countdown, .name = "Final_Message", .type = ValueType::LocalText};  // "": none
inline constexpr Key MessageType{.section = Section::Countdown,
                                 .name = "MessageType",
                                 .type = ValueType::KindText,
                                 .text = Kind::Server,
                                 .words = MessageKinds};
inline constexpr Key MessageColour{
    .section = Section::Countdown, .name = "MessageColour", .type = ValueType::Colour};  // absent: white
inline constexpr Key Sender{
    .section = Section::Countdown, .name = "Sender", .type = ValueType::Utf8Text, .text = PluginName};
inline constexpr Key DisplayScale{
    .section = Section::Countdown, .name = "DisplayScale", .type = ValueType::Number, .number = 1.0};
inline constexpr Key DisplayTime{
    .section = Section::Countdown, .name = "DisplayTime", .type = ValueType::Number, .number = 10.0};
inline constexpr Key Icon_BP{.section = Section::Countdown, .name = "Icon_BP", .type = ValueType::ByteText};
inline constexpr Key Alert_On_Join{
    .section = Section::Countdown, .name = "Alert_On_Join", .type = ValueType::Boolean, .flag = true};
}  // namespace Countdown

// The marks when "Marks" is absent, and the longest countdown: a day.
inline constexpr std::array<std::int32_t, 13> DefaultCountdownMarks{1800, 900, 600, 300, 120, 60, 30,
                                                                    10,   5,   4,   3,   2,   1};
inline constexpr std::int32_t MaxCountdownSeconds = 86'400;

// How {TimeLeft} reads: "1 hour 30 minutes", "1 minute 30 seconds", "1 second".
namespace CountdownWords {
inline constexpr Key Hour{
    .section = Section::CountdownWords, .name = "Hour", .type = ValueType::LocalText, .text = "hour"};
inline constexpr Key Hours{
    .section = Section::CountdownWords, .name = "Hours", .type = ValueType::LocalText, .text = "hours"};
inline constexpr Key Minute{
    .section = Section::CountdownWords, .name = "Minute", .type = ValueType::LocalText, .text = "minute"};
inline constexpr Key Minutes{
    .section = Section::CountdownWords, .name = "Minutes", .type = ValueType::LocalText, .text = "minutes"};
inline constexpr Key Second{
    .section = Section::CountdownWords, .name = "Second", .type = ValueType::LocalText, .text = "second"};
inline constexpr Key Seconds{
    .section = Section::CountdownWords, .name = "Seconds", .type = ValueType::LocalText, .text = "seconds"};
}  // namespace CountdownWords

// Lines to everyone else when a player joins or leaves; each a timed message whose {Player} is that player.
namespace JoinLeave {
inline constexpr Key Enabled{.section = Section::JoinLeave, .name = "Enabled", .type = ValueType::Boolean};
inline constexpr Key Join{.section = Section::JoinLeave, .name = "Join", .type = ValueType::Message};
inline constexpr Key Leave{.section = Section::JoinLeave, .name = "Leave", .type = ValueType::Message};
// Sent instead of "Join" the first time a player id is ever seen; only while players' choices are kept.
inline constexpr Key First_Join{.section = Section::JoinLeave, .name = "First_Join", .type = ValueType::Message};
}  // namespace JoinLeave

// A follow-up line ("Command_To_Execute") that names a custom command runs it, whose follow-up may run
// another: the plug-in follows at most this many follow-up lines in a row and drops the rest.
inline constexpr int MaxFollowUpDepth = 4;

}  // namespace grammar
