// The game's functions and fields as the plug-in reaches them by key: each checks every object it is
// handed, and reports what reaches players as events.
#include <string>
#include <utility>

#include "host/GameFunctions.h"
#include "sim/game/Allocator.h"
#include "sim/game/GameState.h"
#include "sim/host/Clock.h"
#include "sim/host/Utf.h"

namespace sim {
namespace {

nlohmann::json Colour(const FLinearColor& colour) { return {colour.R, colour.G, colour.B, colour.A}; }

std::string IdText(const SimController* controller) { return std::to_string(controller->id); }

// The shortest time between two chat lines of one player that the game lets through.
constexpr double MinChatGapSeconds = 1.0;

constexpr std::initializer_list<Kind> Actors = {Kind::Controller, Kind::Character, Kind::GameState, Kind::GameMode};
constexpr std::initializer_list<Kind> AnyObject = {Kind::World,     Kind::Controller,    Kind::Character,
                                                   Kind::GameState, Kind::GameMode,      Kind::Texture,
                                                   Kind::Class,     Kind::RconConnection};

void ClientServerChatDirectMessage(AShooterPlayerController* self, FString* messageText, FLinearColor messageColor,
                                   bool isBold) {
  constexpr std::string_view Function = "AShooterPlayerController.ClientServerChatDirectMessage";
  auto* player = Require<SimController>(self, {Kind::Controller}, Function, "the player");
  std::u16string text;
  if (player == nullptr || !ReadString(messageText, text, Function, "the message")) return;
  Emit({{"event", "server"},
        {"to", IdText(player)},
        {"text", EncodeUtf8(text)},
        {"color", Colour(messageColor)},
        {"bold", isBold}});
}

// The game passes the message by value, and a registered function keeps the game's own signature.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void ClientChatMessage(AShooterPlayerController* self, FChatMessage chat) {
  constexpr std::string_view Function = "AShooterPlayerController.ClientChatMessage";
  auto* player = Require<SimController>(self, {Kind::Controller}, Function, "the player");
  if (player == nullptr) return;
  std::u16string sender;
  std::u16string message;
  std::u16string unused;
  if (!ReadString(&chat.SenderName, sender, Function, "the sender name") ||
      !ReadString(&chat.Message, message, Function, "the message") ||
      !ReadString(&chat.SenderSteamName, unused, Function, "the sender's account name") ||
      !ReadString(&chat.SenderTribeName, unused, Function, "the sender's tribe name") ||
      !ReadString(&chat.Receiver, unused, Function, "the receiver") ||
      !ReadString(&chat.UserId, unused, Function, "the user id")) {
    return;
  }
  // A line from the server: the game stamps it when it arrives (-1) and shows it in the global channel as an
  // ordinary line of no player, team or radio. Anything else would show it somewhere else or as someone's.
  const std::pair<const char*, bool> fields[] = {{"SenderId", chat.SenderId == 0},
                                                 {"SenderTeamIndex", chat.SenderTeamIndex == 0},
                                                 {"ReceivedTime", chat.ReceivedTime == -1.0},
                                                 {"SendMode", chat.SendMode == 0},
                                                 {"RadioFrequency", chat.RadioFrequency == 0},
                                                 {"ChatType", chat.ChatType == 0}};
  for (const auto& [field, usual] : fields) {
    if (!usual) {
      Fault(std::string(Function) + ": the record's " + field + " is not that of a line from the server");
      return;
    }
  }
  if (chat.SenderIcon != nullptr &&
      Require<SimTexture>(chat.SenderIcon, {Kind::Texture}, Function, "the sender icon") == nullptr) {
    return;
  }
  Emit({{"event", "chat"}, {"to", IdText(player)}, {"sender", EncodeUtf8(sender)}, {"text", EncodeUtf8(message)}});
}

void ClientServerVellNotificationCustom(AShooterPlayerController* self, FString* messageText, FLinearColor messageColor,
                                        float displayScale, float displayTime, UTexture2D* messageIcon,
                                        USoundBase* soundToPlay) {
  constexpr std::string_view Function = "AShooterPlayerController.ClientServerVellNotificationCustom";
  auto* player = Require<SimController>(self, {Kind::Controller}, Function, "the player");
  std::u16string text;
  if (player == nullptr || !ReadString(messageText, text, Function, "the message")) return;
  nlohmann::json icon = nullptr;
  if (messageIcon != nullptr) {
    auto* texture = Require<SimTexture>(messageIcon, {Kind::Texture}, Function, "the icon");
    if (texture == nullptr) return;
    icon = texture->path;
  }
  // The game has no sounds, so any sound handed over is not one of its objects.
  if (soundToPlay != nullptr && Require<UObject>(soundToPlay, {}, Function, "the sound") == nullptr) return;
  Emit({{"event", "notification"},
        {"to", IdText(player)},
        {"text", EncodeUtf8(text)},
        {"color", Colour(messageColor)},
        {"scale", displayScale},
        {"time", displayTime},
        {"icon", icon}});
}

void SendMessageW(RCONClientConnection* self, std::int32_t id, std::int32_t type, FString* message) {
  constexpr std::string_view Function = "RCONClientConnection.SendMessageW";
  auto* connection = Require<SimRconConnection>(self, {Kind::RconConnection}, Function, "the connection");
  std::u16string text;
  if (connection == nullptr || !ReadString(message, text, Function, "the message")) return;
  std::string reply = EncodeUtf8(text);
  Emit({{"event", "rcon"}, {"id", id}, {"type", type}, {"text", reply}});
  connection->replies.push_back(std::move(reply));
}

std::uint64_t GetUniqueNetIdAsUINT64(AShooterPlayerController* self) {
  auto* player =
      Require<SimController>(self, {Kind::Controller}, "AShooterPlayerController.GetUniqueNetIdAsUINT64", "the player");
  return player == nullptr ? 0 : player->id;
}

FString GetPlayerCharacterName(AShooterPlayerController* self) {
  auto* player =
      Require<SimController>(self, {Kind::Controller}, "AShooterPlayerController.GetPlayerCharacterName", "the player");
  if (player == nullptr) return FString();
  FString name(player->characterName);
  // Returned by value: the caller owns the buffer from here on and frees it through FMemory.Free.
  if (name.Data != nullptr) HandOver(name.Data);
  return name;
}

void ServerSendChatMessageImplementation(AShooterPlayerController* self, FString* chatMessage,
                                         EChatSendMode::Type sendMode) {
  constexpr std::string_view Function = "AShooterPlayerController.ServerSendChatMessage_Implementation";
  auto* player = Require<SimController>(self, {Kind::Controller}, Function, "the player");
  std::u16string text;
  if (player == nullptr || !ReadString(chatMessage, text, Function, "the chat line")) return;
  Emit({{"event", "say"}, {"from", IdText(player)}, {"text", EncodeUtf8(text)}, {"mode", static_cast<int>(sendMode)}});
  // The game's spam rule: a line said too soon after the player's last one is dropped.
  const double since = GameClock() - player->LastChatMessageTime;
  if (since < MinChatGapSeconds) {
    Emit({{"event", "refused"}, {"from", IdText(player)}, {"text", EncodeUtf8(text)}, {"since", since}});
    return;
  }
  player->LastChatMessageTime = GameClock();
  HandleChatLine(player, text, sendMode);
}

AController* GetInstigatorController(AActor* self) {
  UObject* actor = Require<UObject>(self, Actors, "AActor.GetInstigatorController", "the actor");
  if (actor == nullptr) return nullptr;
  if (Objects().Live(self, {Kind::Character}) != nullptr) return static_cast<SimCharacter*>(self)->instigator;
  if (Objects().Live(self, {Kind::Controller}) != nullptr) return static_cast<SimController*>(self);
  return nullptr;
}

AController* GetOwnerController(APawn* self) {
  auto* character = Require<SimCharacter>(self, {Kind::Character}, "APawn.GetOwnerController", "the pawn");
  return character == nullptr ? nullptr : character->owner;
}

bool IsDead(APrimalCharacter* self) {
  auto* character = Require<SimCharacter>(self, {Kind::Character}, "APrimalCharacter.IsDead", "the character");
  return character != nullptr && character->dead;
}

UClass* TextureStaticClass() { return TheGame().textureClass; }

UObject* StaticLoadObject(UClass* objectClass, UObject* outer, const char16_t* name, const char16_t* fileName,
                          std::uint32_t loadFlags, UPackageMap* sandbox, bool allowObjectReconciliation) {
  constexpr std::string_view Function = "Global.StaticLoadObject";
  // Each flag changes how the engine searches, warns or loads; the game models only the plain load.
  if (loadFlags != 0) {
    Fault(std::string(Function) + ": load flags " + std::to_string(loadFlags) +
          " given; only the plain load (0) is modelled");
    return nullptr;
  }
  // The game has no package maps, so any sandbox handed over is not one of its objects.
  if (sandbox != nullptr && Require<UObject>(sandbox, {}, Function, "the sandbox") == nullptr) return nullptr;
  if (outer != nullptr && Require<UObject>(outer, AnyObject, Function, "the outer object") == nullptr) return nullptr;
  // An empty path arrives as a null name, as an empty string has no buffer.
  const std::string path = name == nullptr ? std::string() : EncodeUtf8(std::u16string_view(name));
  auto* loadedClass = Require<SimClass>(objectClass, {Kind::Class}, Function, "the class");
  if (loadedClass == nullptr) return nullptr;
  if (loadedClass != TheGame().textureClass) {
    Fault(std::string(Function) + ": only textures can be loaded, not " + loadedClass->name);
    return nullptr;
  }
  // The game's textures are objects in memory under their full path: one named inside an outer object or
  // in a package file is none of them, and a loader that may not reuse an object in memory finds nothing.
  auto found = TheGame().textures.find(path);
  SimTexture* texture =
      found == TheGame().textures.end() || outer != nullptr || fileName != nullptr || !allowObjectReconciliation
          ? nullptr
          : found->second;
  Trace("StaticLoadObject", {path}, texture == nullptr ? nlohmann::json(nullptr) : nlohmann::json(path));
  return texture;
}

UObject* WeakGet(FWeakObjectPtr* self, bool /*evenIfPendingKill*/) {
  if (self == nullptr) {
    Fault("FWeakObjectPtr.Get: the weak pointer is null");
    return nullptr;
  }
  return Objects().Resolve(*self);
}

void PossessedBy(AShooterCharacter* self, AController* newController) {
  constexpr std::string_view Function = "AShooterCharacter.PossessedBy";
  RanOwn(Function);
  auto* character = Require<SimCharacter>(self, {Kind::Character}, Function, "the character");
  if (character == nullptr) return;
  SimController* controller = nullptr;
  if (newController != nullptr) {
    controller = Require<SimController>(newController, {Kind::Controller}, Function, "the new controller");
    if (controller == nullptr) return;
  }
  character->instigator = controller;
  character->owner = character->ownerPending ? nullptr : controller;
  if (controller != nullptr) controller->character = character;
}

void DefaultTimer(AGameState* self) {
  constexpr std::string_view Function = "AGameState.DefaultTimer";
  RanOwn(Function);
  auto* state = Require<SimGameState>(self, {Kind::GameState}, Function, "the game state");
  if (state != nullptr) state->seconds += 1.0;
}

void Logout(AShooterGameMode* self, AController* exiting) {
  constexpr std::string_view Function = "AShooterGameMode.Logout";
  RanOwn(Function);
  if (Require<SimGameMode>(self, {Kind::GameMode}, Function, "the game mode") == nullptr || exiting == nullptr) return;
  if (auto* controller = Require<SimController>(exiting, {Kind::Controller}, Function, "the leaving controller")) {
    LogOut(controller);
  }
}

void* PlayerControllerList(const void* object) {
  auto* world = Require<SimWorld>(object, {Kind::World}, "UWorld.PlayerControllerList", "the world");
  return world == nullptr ? nullptr : &world->PlayerControllerList;
}

void* LastChatMessageTime(const void* object) {
  auto* player =
      Require<SimController>(object, {Kind::Controller}, "AShooterPlayerController.LastChatMessageTime", "the player");
  return player == nullptr ? nullptr : &player->LastChatMessageTime;
}

// The signature of each entry is the table row's: a mismatch does not compile.
template <class Row>
void Function(typename Row::Pointer entry) {
  RegisterGameFunction(std::string(Row::Key()), reinterpret_cast<void*>(entry));
}

template <class Row>
void Hookable(typename Row::Pointer entry) {
  Function<Row>(entry);
  RegisterHookable(std::string(Row::Key()), reinterpret_cast<void*>(entry));
}

[[maybe_unused]] const bool Registered = [] {
  using namespace Game;
  Function<UTexture2D_StaticClass>(&TextureStaticClass);
  Function<Global_StaticLoadObject>(&StaticLoadObject);
  Function<FWeakObjectPtr_Get>(&WeakGet);
  Function<AShooterPlayerController_ClientServerChatDirectMessage>(&ClientServerChatDirectMessage);
  Function<AShooterPlayerController_ClientChatMessage>(&ClientChatMessage);
  Function<AShooterPlayerController_ClientServerVellNotificationCustom>(&ClientServerVellNotificationCustom);
  Function<RCONClientConnection_SendMessageW>(&SendMessageW);
  Function<AShooterPlayerController_GetUniqueNetIdAsUINT64>(&GetUniqueNetIdAsUINT64);
  Function<AShooterPlayerController_GetPlayerCharacterName>(&GetPlayerCharacterName);
  Function<AShooterPlayerController_ServerSendChatMessage_Implementation>(&ServerSendChatMessageImplementation);
  Function<AActor_GetInstigatorController>(&GetInstigatorController);
  Function<APawn_GetOwnerController>(&GetOwnerController);
  Function<APrimalCharacter_IsDead>(&IsDead);
  Hookable<AShooterCharacter_PossessedBy>(&PossessedBy);
  Hookable<AGameState_DefaultTimer>(&DefaultTimer);
  Hookable<AShooterGameMode_Logout>(&Logout);
  RegisterGameField(std::string(UWorld_PlayerControllerList::Key()), &PlayerControllerList);
  RegisterGameField(std::string(AShooterPlayerController_LastChatMessageTime::Key()), &LastChatMessageTime);
  return true;
}();

}  // namespace

bool ReadString(const FString* text, std::u16string& out, std::string_view function, std::string_view argument) {
  const std::string where = std::string(function) + ": " + std::string(argument);
  if (text == nullptr) {
    Fault(where + " is null");
    return false;
  }
  if (text->ArrayNum == 0) {
    out.clear();
    return true;
  }
  if (text->ArrayNum < 0 || text->ArrayMax < text->ArrayNum || text->Data == nullptr) {
    Fault(where + " is not a well-formed string (count " + std::to_string(text->ArrayNum) + ", capacity " +
          std::to_string(text->ArrayMax) + ")");
    return false;
  }
  const auto count = static_cast<std::size_t>(text->ArrayNum);
  if (!IsLiveBlock(text->Data, count * sizeof(char16_t))) {
    Fault(where + " does not point to a live block of the game allocator large enough for it");
    return false;
  }
  if (text->Data[count - 1] != u'\0') {
    Fault(where + " lacks its terminating zero");
    return false;
  }
  out.assign(text->Data, count - 1);
  return true;
}

}  // namespace sim
