// Owns the game's internal state shared by its files: the one world, its players and its helpers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "host/GameTypes.h"
#include "sim/game/Objects.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"

namespace sim {

struct GameWorld {
  SimWorld* world = nullptr;
  SimGameState* gameState = nullptr;
  SimGameMode* gameMode = nullptr;
  SimClass* textureClass = nullptr;
  std::map<std::uint64_t, SimController*> online;
  std::map<std::uint64_t, FWeakObjectPtr> stale;  // destroyed controllers still in the world's list
  std::map<std::string, SimTexture*> textures;
  SimRconConnection* scenarioConnection = nullptr;
  std::int32_t nextScenarioRequest = 1;
  std::int32_t nextConnection = 1;
  int chatDepth = 0;
};

GameWorld& TheGame();

// The live object of one of these kinds, or null after a fault naming the function and argument.
template <class T>
T* Require(const void* object, std::initializer_list<Kind> kinds, std::string_view function,
           std::string_view argument) {
  if (object == nullptr) {
    Fault(std::string(function) + ": " + std::string(argument) + " is null");
    return nullptr;
  }
  UObject* live = Objects().Live(object, kinds);
  if (live == nullptr) {
    const char* state = Objects().IsLive(object)    ? "an object of another class"
                        : Objects().IsKnown(object) ? "a destroyed object"
                                                    : "not an object of the game";
    Fault(std::string(function) + ": " + std::string(argument) + " is " + state);
    return nullptr;
  }
  return static_cast<T*>(live);
}

// The text of a string the plug-in hands over, after checking it is well formed on live game memory.
bool ReadString(const FString* text, std::u16string& out, std::string_view function, std::string_view argument);

// Where, among everything a hook body asks of the game and the host, the game's own function must run.
enum class OwnRun {
  First,  // before anything else: the hook works on what the game's own function left
  Last,   // after everything else: the game's own function ends what the object was
};

// One call of a hookable function, from the game's side: a hook body must call on to the game's own
// function exactly once, at its point; otherwise the call ends in a fault naming the function.
class HookedCall {
 public:
  HookedCall(std::string_view function, OwnRun point);
  HookedCall(const HookedCall&) = delete;
  HookedCall& operator=(const HookedCall&) = delete;
  ~HookedCall();
  void Check() const;

 private:
  friend void RanOwn(std::string_view function);
  std::string_view function_;
  OwnRun point_;
  int runs_ = 0;
  std::uint64_t contactsAtStart_ = 0;
  std::uint64_t contactsAtRun_ = 0;
};

// Called by the game's own entry of a hookable function each time it runs.
void RanOwn(std::string_view function);

// Calls the entry the hook table holds for a hookable function: a hook if one is installed.
template <class Row, class... Args>
void CallHooked(OwnRun point, Args... args) {
  const std::string key(Row::Key());
  auto entry = reinterpret_cast<typename Row::Pointer>(HookedEntry(key));
  if (entry == nullptr) return;
  const HookedCall call(Row::Key(), point);
  Guarded(key, [&] { entry(args...); });
  call.Check();
}

// The game's own clock: seconds its timer has counted. Chat and its spam rule go by it.
double GameClock();
// The game takes the player out: off the world's list and no longer found by id.
void LogOut(SimController* controller);

// A chat line from this player as the game handles it: a chat command takes it, or everyone sees it.
void HandleChatLine(SimController* speaker, std::u16string_view line, EChatSendMode::Type mode);

}  // namespace sim
