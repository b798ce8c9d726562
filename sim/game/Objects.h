// Owns the game's objects: their sim-side records and the table that says which pointers are live.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/GameTypes.h"

namespace sim {

enum class Kind { World, Controller, Character, GameState, GameMode, Texture, Class, RconConnection };

struct SimCharacter;

struct SimWorld : UWorld {
  TArray<TWeakObjectPtr<AShooterPlayerController>> PlayerControllerList;
};

struct SimController : AShooterPlayerController {
  std::uint64_t id = 0;
  std::u16string characterName;
  double LastChatMessageTime = 0.0;  // on the game's clock, when the player's last chat line was said
  SimCharacter* character = nullptr;
};

struct SimCharacter : AShooterCharacter {
  bool dead = false;
  // Possession sets both; a character the game has not given an owner yet is reached through its instigator.
  bool ownerPending = false;
  AController* owner = nullptr;
  AController* instigator = nullptr;
};

struct SimGameState : AGameState {
  double seconds = 0.0;  // the game's own clock, moved by its timer
};
struct SimGameMode : AShooterGameMode {};

struct SimTexture : UTexture2D {
  std::string path;
};

struct SimClass : UClass {
  std::string name;
};

struct SimRconConnection : RCONClientConnection {
  std::int32_t number = 0;
  // Replies of the request being served, in order; the RCON server sends them back.
  std::vector<std::string> replies;
};

// Every object the game made. Destroyed objects keep their memory until the process ends, so a stale
// pointer never aliases a newer object and is always recognised as dead.
class ObjectTable {
 public:
  template <class T>
  T* Create(Kind kind) {
    auto object = std::make_shared<T>();
    T* raw = object.get();
    Add(std::shared_ptr<void>(object, raw), static_cast<UObject*>(raw), kind);
    return raw;
  }
  void Destroy(const void* object);
  // Forgets every object: all become dead, and the weak-pointer slots start over.
  void Clear();

  // The object when it is a live one of one of these kinds; null otherwise (never dereferenced).
  [[nodiscard]] UObject* Live(const void* object, std::initializer_list<Kind> kinds) const;
  [[nodiscard]] bool IsLive(const void* object) const;
  [[nodiscard]] bool IsKnown(const void* object) const;

  [[nodiscard]] FWeakObjectPtr WeakOf(const void* object) const;
  [[nodiscard]] UObject* Resolve(const FWeakObjectPtr& weak) const;

 private:
  struct Record {
    std::shared_ptr<void> storage;
    UObject* object = nullptr;
    Kind kind = Kind::World;
    bool alive = true;
    std::int32_t index = -1;
    std::int32_t serial = 0;
  };
  void Add(std::shared_ptr<void> storage, UObject* object, Kind kind);
  [[nodiscard]] const Record* Find(const void* object) const;

  std::vector<Record> records_;  // of this game: index into it is the weak pointer's index
  // Every game call checks its objects here, so a full server must not make each check a walk of all.
  std::unordered_map<const void*, std::size_t> byAddress_;
  std::vector<Record> graveyard_;  // of earlier games, kept only so their memory is never reused
  std::int32_t nextSerial_ = 1;
};

ObjectTable& Objects();

}  // namespace sim
