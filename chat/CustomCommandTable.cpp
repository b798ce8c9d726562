// Builds the custom chat command table from configuration and keeps the host's chat commands in step
// with it.
#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "chat/CustomCommands.h"
#include "config/ColourValues.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "host/ICommands.h"
#include "text/Text.h"

namespace {

constexpr char16_t FoldAscii(char16_t unit) noexcept {
  return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool FoldedLess(std::u16string_view a, std::u16string_view b) noexcept {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = FoldAscii(a[i]);
    const char16_t y = FoldAscii(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// The colour is a list of numbers as a whole: a stray string after the third channel is as wrong as one
// before it.
void RequireNumbers(const nlohmann::json& list) {
  for (const nlohmann::json& element : list) {
    if (!element.is_number() && !element.is_boolean()) {
      config::NoteWrongType(element, "number");
      throw nlohmann::json::type_error::create(302, std::string("type must be number, but is ") + element.type_name(),
                                               &element);
    }
  }
}

// One command object of the section. The reads go in a fixed order because the first bad member decides
// which error the administrator sees.
CustomCommand ReadCustomCommand(const nlohmann::json& value, LocalText message) {
  CustomCommand command;
  command.Message = std::move(message);

  // No colour, or a short one, still gives a usable command: the missing channels are black.
  const auto colour = value.find(grammar::Command::MessageColor.name);
  if (colour != value.end()) {
    command.MessageColor = OpaqueColour(config::RgbFromArray(*colour));
    RequireNumbers(*colour);
  }

  for (const std::string& group : config::StringList(value, grammar::Command::RequiredPermissionGroups)) {
    command.RequiredPermissionGroups.push_back(WidenAscii(group));
  }
  command.DisplayTime = config::Float(value, grammar::Command::DisplayTime);
  command.DisplayScale = config::Float(value, grammar::Command::DisplayScale);
  command.Type = ReadMessageKind(value, grammar::Command::Type);
  command.Sender = FromUtf8(config::String(value, grammar::Command::Sender));
  command.Icon_BP = WidenAscii(config::String(value, grammar::Command::Icon_BP));
  command.Command_To_Execute = WidenAscii(config::String(value, grammar::Command::Command_To_Execute));
  return command;
}

}  // namespace

bool CaseInsensitiveLess::operator()(const FString& left, const FString& right) const noexcept {
  return FoldedLess(left.View(), right.View());
}

bool CaseInsensitiveLess::operator()(const FString& left, std::u16string_view right) const noexcept {
  return FoldedLess(left.View(), right);
}

bool CaseInsensitiveLess::operator()(std::u16string_view left, const FString& right) const noexcept {
  return FoldedLess(left, right.View());
}

CustomCommandMap& CustomCommandTable() {
  static CustomCommandMap table;
  return table;
}

CustomCommandMap BuildCustomCommandTable(const nlohmann::json& document) {
  CustomCommandMap table;
  const nlohmann::json& section = config::Section(document, grammar::Top::CustomCommands);
  // Walking by iterator and asking for the member name makes an array or a scalar section fail at its
  // first element with the library's own iterator error, while null and an empty array hold nothing.
  for (auto member = section.begin(); member != section.end(); ++member) {
    if (!section.is_object()) config::NoteWrongType(section, "object");
    const std::string& name = member.key();
    const nlohmann::json& value = member.value();
    LocalText message = LocalText::Read(value, grammar::Command::Message);
    // A reply that is empty in every language, as the game would read it, registers no command.
    if (std::ranges::all_of(message.Entries(),
                            [](const LocalText::Entry& entry) { return FromUtf8(entry.second).IsEmpty(); })) {
      continue;
    }
    // Members arrive in byte order, which is the table's order unless names differ by case only, so the
    // end of the table is nearly always the right place to look first.
    table.insert_or_assign(table.end(), WidenAscii(name), ReadCustomCommand(value, std::move(message)));
  }
  return table;
}

void InstallCustomCommands(CustomCommandMap table) {
  RemoveCustomCommands();
  CustomCommandMap& held = CustomCommandTable();
  held.swap(table);
  TarrowApi::ICommands& commands = TarrowApi::GetCommands();
  for (const auto& entry : held) {
    commands.RegisterChatCommand(entry.first, &OnCustomChatCommand);
  }
  // The old table goes here, after the host has stopped dispatching to any of its names.
}

void RegisterCustomCommands() { InstallCustomCommands(BuildCustomCommandTable(Config())); }

void RemoveCustomCommands() {
  TarrowApi::ICommands& commands = TarrowApi::GetCommands();
  for (const auto& entry : CustomCommandTable()) {
    commands.UnregisterChatCommand(entry.first);
  }
}
