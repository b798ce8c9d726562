// Owns the game's types as the plug-in sees them: opaque objects and the layouts it reads or fills.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/FString.h"

// Game objects. The plug-in only ever holds pointers that the host or the game handed to it; the single
// inheritance mirrors the engine's, so a pointer converts up the chain without adjustment.
struct UObject {};
struct UClass : UObject {};
struct UPackageMap : UObject {};
struct USoundBase : UObject {};
struct UTexture2D : UObject {};
struct UWorld : UObject {};
struct AActor : UObject {};
struct AInfo : AActor {};
struct AGameState : AInfo {};
struct AGameMode : AInfo {};
struct AShooterGameMode : AGameMode {};
struct AController : AActor {};
struct APlayerController : AController {};
struct AShooterPlayerController : APlayerController {};
struct APawn : AActor {};
struct ACharacter : APawn {};
struct APrimalCharacter : ACharacter {};
struct AShooterCharacter : APrimalCharacter {};

// The RCON connection is the game's; the plug-in only passes it back to "RCONClientConnection.SendMessageW".
struct RCONClientConnection : UObject {};

namespace EChatSendMode {
enum Type : std::int32_t {
  GlobalChat = 0,
  GlobalTribeChat = 1,
  LocalChat = 2,
  AllianceChat = 3,
  MAX = 4,
};
}  // namespace EChatSendMode

// The game's dynamic array: elements from the game allocator, signed 32-bit count and capacity.
template <class T>
struct TArray {
  T* Data = nullptr;
  std::int32_t ArrayNum = 0;
  std::int32_t ArrayMax = 0;
};
static_assert(sizeof(TArray<int>) == 16);

// A weak reference into the game's object table; resolved with "FWeakObjectPtr.Get".
struct FWeakObjectPtr {
  std::int32_t ObjectIndex = 0;
  std::int32_t ObjectSerialNumber = 0;
};
static_assert(sizeof(FWeakObjectPtr) == 8);

template <class T>
struct TWeakObjectPtr : FWeakObjectPtr {};
static_assert(sizeof(TWeakObjectPtr<AShooterPlayerController>) == 8);

struct FLinearColor {
  float R = 0.0F;
  float G = 0.0F;
  float B = 0.0F;
  float A = 0.0F;
};
static_assert(sizeof(FLinearColor) == 16);

// An RCON request as the game hands it to a command handler: the body is the command line.
struct RCONPacket {
  std::int32_t Length = 0;
  std::int32_t Id = 0;
  std::int32_t PacketType = 0;
  FString Body;
};

// The game's chat-message record, taken by "AShooterPlayerController.ClientChatMessage".
struct FChatMessage {
  FString SenderName;                // 0
  FString SenderSteamName;           // 16
  FString SenderTribeName;           // 32
  std::uint32_t SenderId = 0;        // 48
  FString Message;                   // 56
  FString Receiver;                  // 72
  std::int32_t SenderTeamIndex = 0;  // 88
  double ReceivedTime = -1.0;        // 96
  std::uint8_t SendMode = 0;         // 104
  std::uint32_t RadioFrequency = 0;  // 108
  std::uint8_t ChatType = 0;         // 112
  UTexture2D* SenderIcon = nullptr;  // 120
  FString UserId;                    // 128
};
static_assert(sizeof(FChatMessage) == 144, "the game's chat-message record is 144 bytes");
static_assert(offsetof(FChatMessage, SenderName) == 0);
static_assert(offsetof(FChatMessage, SenderSteamName) == 16);
static_assert(offsetof(FChatMessage, SenderTribeName) == 32);
static_assert(offsetof(FChatMessage, SenderId) == 48);
static_assert(offsetof(FChatMessage, Message) == 56);
static_assert(offsetof(FChatMessage, Receiver) == 72);
static_assert(offsetof(FChatMessage, SenderTeamIndex) == 88);
static_assert(offsetof(FChatMessage, ReceivedTime) == 96);
static_assert(offsetof(FChatMessage, SendMode) == 104);
static_assert(offsetof(FChatMessage, RadioFrequency) == 108);
static_assert(offsetof(FChatMessage, ChatType) == 112);
static_assert(offsetof(FChatMessage, SenderIcon) == 120);
static_assert(offsetof(FChatMessage, UserId) == 128);
