// Owns the names of every configuration key the plug-in reads, section by section.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace heraldix::check::keys {

using namespace std::string_view_literals;

inline constexpr std::array kTop{"Heraldix"sv, "CustomCommands"sv, "NoPermission"sv, "TimedMessages"sv};
inline constexpr std::array kHeraldix{"ClientChatColour"sv,         "ServerMessageColor"sv,
                                      "NotificationColor"sv,        "NotificationDisplayScale"sv,
                                      "NotificationDisplayTime"sv,  "ClientChatSenderName"sv,
                                      "WelcomeMessage"sv};
inline constexpr std::array kWelcome{"EnableWelcomeMessage"sv,     "Message"sv,
                                     "WelcomeMessageType"sv,       "WelcomeMessageColour"sv,
                                     "NotificationDisplayScale"sv, "NotificationDisplayTime"sv,
                                     "Icon_BP"sv};
inline constexpr std::array kCommand{"Message"sv,     "MessageColor"sv, "RequiredPermissionGroups"sv,
                                     "DisplayTime"sv, "DisplayScale"sv, "Type"sv,
                                     "Sender"sv,      "Icon_BP"sv,      "Command_To_Execute"sv};
inline constexpr std::array kTimed{"Enabled"sv, "Interval"sv, "Messages"sv};
inline constexpr std::array kTimedMessage{"MessageToSend"sv,
                                          "MessageType"sv,
                                          "MessageColour"sv,
                                          "Only_Send_To_Permission_Groups"sv,
                                          "Exclude_Permissions_Groups"sv,
                                          "Sender"sv,
                                          "DisplayScale"sv,
                                          "DisplayTime"sv,
                                          "Icon_BP"sv};
inline constexpr std::array kColour{"R"sv, "G"sv, "B"sv};

// Where each group of keys lives, for telling an admin that a key sits in the wrong section.
struct Section {
  std::string_view where;
  std::span<const std::string_view> names;
};
inline constexpr std::array kSections{
    Section{"the top level", kTop},
    Section{"\"Heraldix\"", kHeraldix},
    Section{"\"Heraldix\" > \"WelcomeMessage\"", kWelcome},
    Section{"a custom command", kCommand},
    Section{"\"TimedMessages\"", kTimed},
    Section{"a timed message", kTimedMessage},
};

}  // namespace heraldix::check::keys
