// Owns the table of every game function and field the plug-in reaches, with its key and C++ signature.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "host/Address.h"
#include "host/GameTypes.h"

namespace Game {

// A key as a template argument, so each table row is one type.
template <std::size_t N>
struct KeyText {
  char text[N]{};
  constexpr KeyText(const char (&literal)[N]) { std::copy_n(literal, N, text); }  // NOLINT: implicit by design
  [[nodiscard]] constexpr std::string_view View() const { return {text, N - 1}; }
};

template <KeyText K, class Signature>
struct Function;

template <KeyText K, class R, class... A>
struct Function<K, R(A...)> {
  using Pointer = R (*)(A...);
  static constexpr std::string_view Key() { return K.View(); }
};

template <KeyText K, class T>
struct Field {
  using Type = T;
  static constexpr std::string_view Key() { return K.View(); }
};

// Raised when the game knows no entry for a key: never a call through null.
class UnknownKey : public std::runtime_error {
 public:
  explicit UnknownKey(std::string_view key) : std::runtime_error("unknown game key: " + std::string(key)) {}
};

// The key of a table row as the string GetAddress takes, made once: most keys are longer than a string
// holds without an allocation, and a broadcast makes a call per player.
template <class Row>
const std::string& KeyString() {
  static const std::string key(Row::Key());
  return key;
}

// Calls the game function of a table row. The key is looked up at every call and no entry is cached:
// the host may move an entry at any time (a hook installed by another plug-in, a game update).
template <class Row, class... Args>
decltype(auto) Call(Args&&... args) {
  void* entry = GetAddress(KeyString<Row>());
  if (entry == nullptr) throw UnknownKey(Row::Key());
  return reinterpret_cast<typename Row::Pointer>(entry)(std::forward<Args>(args)...);
}

// Address of a field of a table row inside one object, looked up at every use.
template <class Row>
typename Row::Type* FieldOf(const void* object) {
  void* address = GetAddress(object, KeyString<Row>());
  if (address == nullptr) throw UnknownKey(Row::Key());
  return static_cast<typename Row::Type*>(address);
}

// --- Memory -------------------------------------------------------------------------------------
using FMemory_Malloc = Function<"FMemory.Malloc", void*(std::size_t size, std::uint32_t alignment)>;
using FMemory_Realloc = Function<"FMemory.Realloc", void*(void* block, std::size_t size)>;
using FMemory_Free = Function<"FMemory.Free", void(void* block)>;

// --- Objects ------------------------------------------------------------------------------------
using UTexture2D_StaticClass = Function<"UTexture2D.StaticClass", UClass*()>;
using Global_StaticLoadObject =
    Function<"Global.StaticLoadObject",
             UObject*(UClass* objectClass, UObject* outer, const char16_t* name, const char16_t* fileName,
                      std::uint32_t loadFlags, UPackageMap* sandbox, bool allowObjectReconciliation)>;
using FWeakObjectPtr_Get = Function<"FWeakObjectPtr.Get", UObject*(FWeakObjectPtr* self, bool evenIfPendingKill)>;

// --- Messages to players ------------------------------------------------------------------------
using AShooterPlayerController_ClientServerChatDirectMessage =
    Function<"AShooterPlayerController.ClientServerChatDirectMessage",
             void(AShooterPlayerController* self, FString* messageText, FLinearColor messageColor, bool isBold)>;
using AShooterPlayerController_ClientChatMessage =
    Function<"AShooterPlayerController.ClientChatMessage", void(AShooterPlayerController* self, FChatMessage chat)>;
using AShooterPlayerController_ClientServerVellNotificationCustom =
    Function<"AShooterPlayerController.ClientServerVellNotificationCustom",
             void(AShooterPlayerController* self, FString* messageText, FLinearColor messageColor, float displayScale,
                  float displayTime, UTexture2D* messageIcon, USoundBase* soundToPlay)>;
using RCONClientConnection_SendMessageW =
    Function<"RCONClientConnection.SendMessageW",
             void(RCONClientConnection* self, std::int32_t id, std::int32_t type, FString* message)>;

// --- Players and characters ---------------------------------------------------------------------
using AShooterPlayerController_GetUniqueNetIdAsUINT64 =
    Function<"AShooterPlayerController.GetUniqueNetIdAsUINT64", std::uint64_t(AShooterPlayerController* self)>;
using AShooterPlayerController_GetPlayerCharacterName =
    Function<"AShooterPlayerController.GetPlayerCharacterName", FString(AShooterPlayerController* self)>;
using AShooterPlayerController_ServerSendChatMessage_Implementation =
    Function<"AShooterPlayerController.ServerSendChatMessage_Implementation",
             void(AShooterPlayerController* self, FString* chatMessage, EChatSendMode::Type sendMode)>;
using AActor_GetInstigatorController = Function<"AActor.GetInstigatorController", AController*(AActor* self)>;
using APawn_GetOwnerController = Function<"APawn.GetOwnerController", AController*(APawn* self)>;
using APrimalCharacter_IsDead = Function<"APrimalCharacter.IsDead", bool(APrimalCharacter* self)>;

// --- Hooked: the plug-in replaces these and calls on to the game's own entry --------------------
using AShooterCharacter_PossessedBy =
    Function<"AShooterCharacter.PossessedBy", void(AShooterCharacter* self, AController* newController)>;
using AGameState_DefaultTimer = Function<"AGameState.DefaultTimer", void(AGameState* self)>;
using AShooterGameMode_Logout = Function<"AShooterGameMode.Logout", void(AShooterGameMode* self, AController* exiting)>;

// --- Fields -------------------------------------------------------------------------------------
using UWorld_PlayerControllerList =
    Field<"UWorld.PlayerControllerList", TArray<TWeakObjectPtr<AShooterPlayerController>>>;
using AShooterPlayerController_LastChatMessageTime = Field<"AShooterPlayerController.LastChatMessageTime", double>;

}  // namespace Game
