// Owns the list of every key of the table, and the names of one section's keys drawn from it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "grammar/Keys.h"

namespace grammar {

// Every key, section by section in the order the sections nest. The checker, the schema's test and the
// differential test walk this list; a key missing here is one they report as unknown.
inline constexpr std::array All{
    &Top::Heraldix,
    &Top::CustomCommands,
    &Top::NoPermission,
    &Top::TimedMessages,
    &Top::ScheduledMessages,
    &Top::Players,
    &Top::Countdown,
    &Top::JoinLeaveMessages,

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
    &Welcome::First_Message,
    &Welcome::WelcomeMessageType,
    &Welcome::WelcomeMessageColour,
    &Welcome::NotificationDisplayScale,
    &Welcome::NotificationDisplayTime,
    &Welcome::Icon_BP,
    &Welcome::Delay,

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
    &Timed::Start_Delay,

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
    &TimedMessage::Interval,
    &TimedMessage::Start_Delay,

    &Scheduled::Enabled,
    &Scheduled::Messages,

    &ScheduledMessage::At,
    &ScheduledMessage::Days,
    &ScheduledMessage::Countdown,

    &Colour::R,
    &Colour::G,
    &Colour::B,

    &Players::Enabled,
    &Players::Database,
    &Players::Opt_Out_Command,
    &Players::Language_Command,
    &Players::Languages,
    &Players::Default_Language,
    &Players::Adverts_Off_Message,
    &Players::Adverts_On_Message,
    &Players::Adverts_Usage_Message,
    &Players::Language_Set_Message,
    &Players::Language_List_Message,
    &Players::Language_Unknown_Message,
    &Players::Not_Kept_Message,
    &Countdown::Marks,
    &Countdown::Words,
    &Countdown::Final_Message,
    &Countdown::MessageType,
    &Countdown::MessageColour,
    &Countdown::Sender,
    &Countdown::DisplayScale,
    &Countdown::DisplayTime,
    &Countdown::Icon_BP,
    &Countdown::Alert_On_Join,

    &CountdownWords::Hour,
    &CountdownWords::Hours,
    &CountdownWords::Minute,
    &CountdownWords::Minutes,
    &CountdownWords::Second,
    &CountdownWords::Seconds,

    &JoinLeave::Enabled,
    &JoinLeave::Join,
    &JoinLeave::Leave,
    &JoinLeave::First_Join,
};

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

}  // namespace grammar
