// The one callback behind every custom chat command: permission check, reply, follow-up line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "chat/CustomCommands.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "delivery/Delivery.h"
#include "delivery/Placeholders.h"
#include "grammar/Keys.h"
#include "host/GameFunctions.h"
#include "host/Permissions.h"
#include "players/LocalText.h"
#include "players/Players.h"
#include "text/Text.h"

namespace {

constexpr std::string_view DefaultSenderName = grammar::Heraldix::ClientChatSenderName.text;
constexpr std::string_view DefaultNoPermission = grammar::Top::NoPermission.text;

// A follow-up line that names a custom command comes straight back into this callback through the game's
// chat handling. Counting the nesting keeps a command that leads back to itself from running forever.
constexpr int MaxFollowUpDepth = grammar::MaxFollowUpDepth;
int followUpDepth = 0;

struct DepthGuard {
  DepthGuard() noexcept { ++followUpDepth; }
  ~DepthGuard() { --followUpDepth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

bool IsDefaultGroup(const FString& group) {
  constexpr std::u16string_view DefaultGroup = u"default";
  const std::u16string_view name = group.View();
  if (name.size() != DefaultGroup.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t unit = name[i];
    const char16_t folded = unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
    if (folded != DefaultGroup[i]) return false;
  }
  return true;
}

bool MayRun(AShooterPlayerController* player, const CustomCommand& command) {
  if (command.RequiredPermissionGroups.empty()) return true;
  if (std::ranges::any_of(command.RequiredPermissionGroups, IsDefaultGroup)) return true;
  const std::uint64_t id = Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player);
  return std::ranges::any_of(command.RequiredPermissionGroups,
                             [id](const FString& group) { return Permissions::IsPlayerInGroup(id, group); });
}

// The refusal's texts come from the held document; a section an administrator broke must not keep the
// player from learning they were refused, so an unreadable value falls back to its default.
FString RefusalSender() {
  try {
    const nlohmann::json& section = config::Section(Config(), grammar::Top::Heraldix);
    return WidenAscii(config::String(section, grammar::Heraldix::ClientChatSenderName));
  } catch (const std::exception&) {
    return WidenAscii(DefaultSenderName);
  }
}

LocalText RefusalText() {
  try {
    return LocalText::Read(Config(), grammar::Top::NoPermission);
  } catch (const std::exception&) {
    return LocalText(std::string(DefaultNoPermission));
  }
}

// The configured text for player in their language, its placeholders put in when they are on.
FString TextFor(AShooterPlayerController* player, const LocalText& configured, MessageKind kind) {
  FString text = FromUtf8(players::TextFor(configured, player));
  if (!PlaceholdersOn()) return text;
  PlaceholderValues values;
  values.SetPlayer(player);
  return WithPlaceholders(text, kind, values);
}

void Refuse(AShooterPlayerController* player) {
  FString sender = RefusalSender();
  FString text = TextFor(player, RefusalText(), MessageKind::Chat);
  SendChatMessage(player, text, std::move(sender), ColourBytes{255, 0, 0, 255}, false);
}

void Reply(AShooterPlayerController* player, const CustomCommand& command) {
  if (!command.Type) return;  // a kind this plug-in does not know gets no reply; the follow-up still runs
  SendMessageOfKind(
      *command.Type, Recipients(player, false), TextFor(player, command.Message, *command.Type), command.MessageColor,
      [&] { return command.Sender; },
      [&] {
        // The icon is loaded at every run: a texture that appears later is shown from then on.
        return NotificationLook{command.DisplayTime, command.DisplayScale, LoadTexture(command.Icon_BP.View())};
      });
}

void SendFollowUp(AShooterPlayerController* player, CustomCommand& command) {
  if (command.Command_To_Execute.IsEmpty() || followUpDepth >= MaxFollowUpDepth) return;
  // The game throttles chat by the last message time; moving it back lets the line through at once.
  *Game::FieldOf<Game::AShooterPlayerController_LastChatMessageTime>(player) -= 2.0;
  const DepthGuard nested;
  Game::Call<Game::AShooterPlayerController_ServerSendChatMessage_Implementation>(player, &command.Command_To_Execute,
                                                                                  static_cast<EChatSendMode::Type>(0));
}

// The first piece SplitIntoArray would cut from the line at spaces, found without cutting the rest.
std::u16string_view FirstWord(std::u16string_view line) {
  const std::size_t start = line.find_first_not_of(u' ');
  if (start == std::u16string_view::npos) return {};
  return line.substr(start, line.find(u' ', start) - start);
}

void RunCustomCommand(AShooterPlayerController* player, const FString& line) {
  const std::u16string_view word = FirstWord(line.View());
  if (word.empty()) return;

  const CustomCommandMap& table = CustomCommandTable();
  const auto found = table.find(word);
  if (found == table.end()) return;
  // A copy: the follow-up line may reach code that rebuilds the table.
  CustomCommand command = found->second;

  if (!MayRun(player, command)) {
    Refuse(player);
    return;
  }
  Reply(player, command);
  SendFollowUp(player, command);
}

}  // namespace

void OnCustomChatCommand(AShooterPlayerController* player, FString* text, EChatSendMode::Type /*mode*/) {
  if (player == nullptr || text == nullptr) return;
  try {
    RunCustomCommand(player, *text);
  } catch (...) {
    // The host's chat dispatch must never see an error of ours; the player simply gets no (further) reply.
  }
}
