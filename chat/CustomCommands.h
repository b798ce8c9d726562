// Owns the custom chat commands: the table built from configuration, its registration and its callback.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/MessageKind.h"
#include "host/FString.h"
#include "host/GameTypes.h"
#include "players/LocalText.h"
#include "text/Colour.h"

struct CustomCommand {
  LocalText Message;                                    // the reply, in each language it is given in
  std::optional<MessageKind> Type = MessageKind::Chat;  // none: a kind this plug-in does not know
  FString Sender;
  ColourBytes MessageColor;
  std::vector<FString> RequiredPermissionGroups;
  float DisplayTime = 0.0F;
  float DisplayScale = 0.0F;
  FString Icon_BP;
  FString Command_To_Execute;
};

// Keys compare unit by unit with A-Z folded to a-z; assigning under an equal key keeps the first key.
struct CaseInsensitiveLess {
  bool operator()(const FString& left, const FString& right) const noexcept;
  // A typed word is looked up as it stands in the line, without a string of the game's made for it.
  using is_transparent = void;
  bool operator()(const FString& left, std::u16string_view right) const noexcept;
  bool operator()(std::u16string_view left, const FString& right) const noexcept;
};
using CustomCommandMap = std::map<FString, CustomCommand, CaseInsensitiveLess>;

// The table the callback reads; from load to process exit.
CustomCommandMap& CustomCommandTable();

// Builds a table from document's "CustomCommands" without touching anything held. Raises the JSON
// library's errors for a malformed section.
CustomCommandMap BuildCustomCommandTable(const nlohmann::json& document);

// Unregisters the held table's chat commands, puts table in its place and registers its commands.
void InstallCustomCommands(CustomCommandMap table);

// Builds from the held document, then installs. On an error nothing held changes and the error reaches
// the caller.
void RegisterCustomCommands();

// Unregisters the chat command of every table entry; the table keeps its entries.
void RemoveCustomCommands();

// The one callback of every custom chat command.
void OnCustomChatCommand(AShooterPlayerController* player, FString* text, EChatSendMode::Type mode);
