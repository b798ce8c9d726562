// Server messages, chat messages and notifications, to one player or to everyone online.
#include "delivery/Delivery.h"

#include <string>
#include <utility>

#include "config/ConfigValues.h"
#include "host/GameFunctions.h"
#include "host/Tools.h"
#include "text/FStringArray.h"
#include "text/RichColor.h"
#include "text/Text.h"

namespace {

// Every line wrapped in its markup, decoded, and joined; an empty message composes nothing.
std::u16string ComposeChat(const FString& message, ColourBytes colour) {
  FStringArray lines;
  SplitIntoArray(message, u"\n", lines);
  const bool multiline = lines.Num() >= 2;
  std::u16string composed;
  for (const FString& line : lines) {
    const std::u16string decoded = TarrowApi::Tools::Utf8Decode(RichColorMarkup(line, colour, multiline));
    const std::u16string_view markup = std::u16string_view(decoded).substr(0, decoded.find(u'\0'));
    composed.append(markup);
  }
  return composed;
}

}  // namespace

bool SendServerMessage(const Recipients& to, const FString& message, ColourBytes colour) {
  try {
    if (!to.Valid()) return false;
    const LinearColour linear = SrgbToLinear(colour);
    FString text = FormatText(message.View());
    using Row = Game::AShooterPlayerController_ClientServerChatDirectMessage;
    to.ForEach([&](AShooterPlayerController* each) { Game::Call<Row>(each, &text, linear, false); });
    return true;
  } catch (...) {
    return false;
  }
}

bool SendChatMessage(const Recipients& to, const FString& message, FString sender, ColourBytes colour) {
  try {
    const std::u16string composed = ComposeChat(message, colour);
    if (!to.Valid()) return false;
    FChatMessage record;
    record.SenderName = std::move(sender);
    record.Message = FormatText(composed);
    record.ReceivedTime = -1.0;
    // The game takes the record by value: each call gets its own copy, made from the game allocator.
    using Row = Game::AShooterPlayerController_ClientChatMessage;
    to.ForEach([&](AShooterPlayerController* each) { Game::Call<Row>(each, record); });
    return true;
  } catch (...) {
    return false;
  }
}

bool SendNotification(const Recipients& to, const FString& message, ColourBytes colour, float displayTime,
                      float displayScale, UTexture2D* icon) {
  try {
    if (!to.Valid()) return false;
    const LinearColour linear = SrgbToLinear(colour);
    FString text = FormatText(message.View());
    USoundBase* const noSound = nullptr;
    // The game function takes the scale before the time.
    using Row = Game::AShooterPlayerController_ClientServerVellNotificationCustom;
    to.ForEach([&](AShooterPlayerController* each) {
      Game::Call<Row>(each, &text, linear, displayScale, displayTime, icon, noSound);
    });
    return true;
  } catch (...) {
    return false;
  }
}

std::int32_t PlayersOnline() {
  std::int32_t count = 0;
  ForEachOnlinePlayer([&](AShooterPlayerController* /*player*/) { ++count; });
  return count;
}

NotificationLook ConfiguredLook(const nlohmann::json& object, const grammar::Key& scale, const grammar::Key& time,
                                const grammar::Key& icon) {
  NotificationLook look;
  look.DisplayScale = config::Float(object, scale);
  look.DisplayTime = config::Float(object, time);
  look.Icon = LoadTexture(WidenAscii(config::String(object, icon)).View());
  return look;
}

UTexture2D* LoadTexture(std::u16string_view path) {
  const std::u16string name(path);  // the game reads a zero-terminated name
  UClass* textureClass = Game::Call<Game::UTexture2D_StaticClass>();
  UObject* object = Game::Call<Game::Global_StaticLoadObject>(textureClass, nullptr, name.c_str(), nullptr,
                                                              std::uint32_t{0}, nullptr, true);
  return static_cast<UTexture2D*>(object);
}
