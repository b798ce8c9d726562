#include "players/PlayerCommands.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/ColourValues.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "delivery/Delivery.h"
#include "grammar/Keys.h"
#include "host/GameFunctions.h"
#include "host/ICommands.h"
#include "players/LocalText.h"
#include "players/Players.h"
#include "text/Text.h"

namespace {

// The words of the line after the command's own, cut at spaces.
std::vector<std::string> Arguments(const FString& line) {
  std::vector<std::string> words;
  const std::string text = ToUtf8(line);
  std::size_t at = text.find(' ');
  while (at != std::string::npos) {
    const std::size_t start = text.find_first_not_of(' ', at);
    if (start == std::string::npos) break;
    at = text.find(' ', start);
    words.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
  }
  return words;
}

bool SameLetters(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char unit) { return unit >= 'A' && unit <= 'Z' ? static_cast<char>(unit - 'A' + 'a') : unit; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// Answers go out as the plug-in's chat lines do, in its sender's name and chat colour; a broken value of
// either falls back to the default rather than keeping the answer from the player.
void Answer(AShooterPlayerController* player, const std::string& text) {
  FString sender = WidenAscii(grammar::Heraldix::ClientChatSenderName.text);
  // White unless the chat colour is configured: the black of an absent colour is hard to read in chat.
  ColourBytes colour{255, 255, 255, 255};
  try {
    const nlohmann::json& section = config::Section(Config(), grammar::Top::Heraldix);
    sender = WidenAscii(config::String(section, grammar::Heraldix::ClientChatSenderName));
    const nlohmann::json& configured = config::Section(section, grammar::Heraldix::ClientChatColour);
    if (!configured.empty()) colour = OpaqueColour(config::RgbFromObject(configured));
  } catch (...) {
    // Defaults stand.
  }
  SendChatMessage(player, FromUtf8(text), std::move(sender), colour, false);
}

std::uint64_t IdOf(AShooterPlayerController* player) {
  return Game::Call<Game::AShooterPlayerController_GetUniqueNetIdAsUINT64>(player);
}

void RunAdverts(AShooterPlayerController* player, const FString& line) {
  const PlayerSettings& settings = players::Settings();
  const std::uint64_t id = IdOf(player);
  const std::vector<std::string> words = Arguments(line);
  const bool off = words.size() == 1 && SameLetters(words[0], "off");
  const bool on = words.size() == 1 && SameLetters(words[0], "on");
  if (!off && !on) {
    Answer(player, FillIn(players::TextFor(settings.texts.advertsUsage, id), {settings.optOutCommand}));
    return;
  }
  if (!players::ChooseAdverts(id, off)) {
    Answer(player, FillIn(players::TextFor(settings.texts.notKept, id), {}));
    return;
  }
  Answer(player, FillIn(players::TextFor(off ? settings.texts.advertsOff : settings.texts.advertsOn, id),
                        {settings.optOutCommand}));
}

std::string Joined(const std::vector<std::string>& codes) {
  std::string joined;
  for (const std::string& code : codes) joined += (joined.empty() ? "" : ", ") + code;
  return joined;
}

void RunLanguage(AShooterPlayerController* player, const FString& line) {
  const PlayerSettings& settings = players::Settings();
  const std::uint64_t id = IdOf(player);
  const std::vector<std::string> words = Arguments(line);
  const std::string offered = Joined(settings.languages);
  if (words.empty()) {
    std::string current(players::Language(id));
    if (current.empty())
      current = settings.defaultLanguage.empty() ? settings.languages.front() : settings.defaultLanguage;
    Answer(player,
           FillIn(players::TextFor(settings.texts.languageList, id), {current, offered, settings.languageCommand}));
    return;
  }
  const std::string* chosen = nullptr;
  for (const std::string& code : settings.languages) {
    if (words.size() == 1 && SameLetters(code, words[0])) chosen = &code;
  }
  if (chosen == nullptr) {
    const std::string typed = ToUtf8(line);
    Answer(player,
           FillIn(players::TextFor(settings.texts.languageUnknown, id), {typed.substr(typed.find(' ') + 1), offered}));
    return;
  }
  if (!players::ChooseLanguage(id, *chosen)) {
    Answer(player, FillIn(players::TextFor(settings.texts.notKept, id), {}));
    return;
  }
  // Answered in the language just chosen.
  Answer(player, FillIn(players::TextFor(settings.texts.languageSet, id), {*chosen}));
}

template <void (*Run)(AShooterPlayerController*, const FString&)>
void OnCommand(AShooterPlayerController* player, FString* text, EChatSendMode::Type /*mode*/) {
  if (player == nullptr || text == nullptr) return;
  try {
    Run(player, *text);
  } catch (...) {
    // The host's chat dispatch must never see an error of ours; the player gets no answer.
  }
}

}  // namespace

void RegisterPlayerCommands(const PlayerSettings& settings) {
  try {
    auto& commands = TarrowApi::GetCommands();
    if (!settings.optOutCommand.empty()) {
      commands.RegisterChatCommand(WidenAscii(settings.optOutCommand), &OnCommand<&RunAdverts>);
    }
    if (!settings.languageCommand.empty() && !settings.languages.empty()) {
      commands.RegisterChatCommand(WidenAscii(settings.languageCommand), &OnCommand<&RunLanguage>);
    }
  } catch (...) {
    // The players' commands are missing then; every other feature stands.
  }
}

void RemovePlayerCommands(const PlayerSettings& settings) noexcept {
  // A custom command may go by the same name while the section is off: only what was registered goes.
  if (!settings.enabled) return;
  try {
    auto& commands = TarrowApi::GetCommands();
    if (!settings.optOutCommand.empty()) commands.UnregisterChatCommand(WidenAscii(settings.optOutCommand));
    if (!settings.languageCommand.empty() && !settings.languages.empty()) {
      commands.UnregisterChatCommand(WidenAscii(settings.languageCommand));
    }
  } catch (...) {
    // Unload goes on.
  }
}
