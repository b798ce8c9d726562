// The game world and what happens in it when a scenario line or a client acts.
#include "sim/game/Game.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "host/GameFunctions.h"
#include "sim/game/Allocator.h"
#include "sim/game/GameState.h"
#include "sim/host/Ascii.h"
#include "sim/host/Clock.h"
#include "sim/host/Utf.h"

namespace sim {
namespace {

// Beyond this many chat lines sent from inside the handling of another, the game would recurse without end.
constexpr int MaxChatDepth = 64;

std::string Unknown(std::uint64_t id) { return "player " + std::to_string(id) + " is not online"; }

void AppendToList(const FWeakObjectPtr& weak) {
  auto& list = TheGame().world->PlayerControllerList;
  if (list.ArrayNum == list.ArrayMax) {
    const std::int32_t capacity = list.ArrayMax == 0 ? 4 : list.ArrayMax * 2;
    void* grown = Resize(list.Data, static_cast<std::size_t>(capacity) * sizeof(FWeakObjectPtr), Owner::Game);
    list.Data = static_cast<TWeakObjectPtr<AShooterPlayerController>*>(grown);
    list.ArrayMax = capacity;
  }
  TWeakObjectPtr<AShooterPlayerController> entry;
  entry.ObjectIndex = weak.ObjectIndex;
  entry.ObjectSerialNumber = weak.ObjectSerialNumber;
  list.Data[list.ArrayNum++] = entry;
}

void RemoveFromList(const FWeakObjectPtr& weak) {
  auto& list = TheGame().world->PlayerControllerList;
  for (std::int32_t i = 0; i < list.ArrayNum; ++i) {
    if (list.Data[i].ObjectIndex != weak.ObjectIndex || list.Data[i].ObjectSerialNumber != weak.ObjectSerialNumber)
      continue;
    std::memmove(&list.Data[i], &list.Data[i + 1],
                 static_cast<std::size_t>(list.ArrayNum - i - 1) * sizeof(FWeakObjectPtr));
    --list.ArrayNum;
    return;
  }
}

void Possess(SimController* controller, bool dead, bool ownerPending = false) {
  if (controller->character != nullptr) Objects().Destroy(controller->character);
  controller->character = nullptr;
  auto* character = Objects().Create<SimCharacter>(Kind::Character);
  character->dead = dead;
  character->ownerPending = ownerPending;
  CallHooked<Game::AShooterCharacter_PossessedBy>(OwnRun::First, static_cast<AShooterCharacter*>(character),
                                                  static_cast<AController*>(controller));
}

void DestroyController(SimController* controller) {
  if (controller->character != nullptr) Objects().Destroy(controller->character);
  Objects().Destroy(controller);
}

SimController* Online(std::uint64_t id) {
  auto found = TheGame().online.find(id);
  return found == TheGame().online.end() ? nullptr : found->second;
}

}  // namespace

namespace {

GameWorld& Unpopulated() {
  static auto* game = new GameWorld();  // never destroyed (see Host.h)
  return *game;
}

}  // namespace

GameWorld& TheGame() {
  GameWorld& game = Unpopulated();
  if (game.world == nullptr) {
    game.world = Objects().Create<SimWorld>(Kind::World);
    game.gameState = Objects().Create<SimGameState>(Kind::GameState);
    game.gameMode = Objects().Create<SimGameMode>(Kind::GameMode);
    game.textureClass = Objects().Create<SimClass>(Kind::Class);
    game.textureClass->name = "Texture2D";
  }
  return game;
}

void ResetSimulation() {
  ResetHost();
  ClearEvents();
  ResetClock();
  Objects().Clear();
  ResetMemory();
  Unpopulated() = GameWorld{};
  TheGame();
}

std::string Join(std::uint64_t id, std::string_view characterName) {
  if (Online(id) != nullptr) return "player " + std::to_string(id) + " is already online";
  auto* controller = Objects().Create<SimController>(Kind::Controller);
  controller->id = id;
  controller->characterName = DecodeUtf8(characterName);
  // Never said a line: the first may come at once.
  controller->LastChatMessageTime = -std::numeric_limits<double>::infinity();
  TheGame().online[id] = controller;
  AppendToList(Objects().WeakOf(controller));
  Possess(controller, false);
  return {};
}

std::string Leave(std::uint64_t id) {
  GameWorld& game = TheGame();
  if (SimController* controller = Online(id)) {
    CallHooked<Game::AShooterGameMode_Logout>(OwnRun::Last, static_cast<AShooterGameMode*>(game.gameMode),
                                              static_cast<AController*>(controller));
    // The game's own logout took the player out, and the engine destroys the controller after it. A hook
    // that skipped it (a fault) leaves the player half in the game, as a real server would.
    if (Online(id) != controller && Objects().IsLive(controller)) DestroyController(controller);
    return {};
  }
  auto stale = game.stale.find(id);
  if (stale == game.stale.end()) return Unknown(id);
  RemoveFromList(stale->second);
  game.stale.erase(stale);
  return {};
}

std::string Die(std::uint64_t id) {
  SimController* controller = Online(id);
  if (controller == nullptr) return Unknown(id);
  if (controller->character == nullptr) return "player " + std::to_string(id) + " has no character";
  controller->character->dead = true;
  return {};
}

std::string Respawn(std::uint64_t id) {
  SimController* controller = Online(id);
  if (controller == nullptr) return Unknown(id);
  Possess(controller, false);
  return {};
}

std::string PossessDead(std::uint64_t id) {
  SimController* controller = Online(id);
  if (controller == nullptr) return Unknown(id);
  Possess(controller, true);
  return {};
}

std::string PossessUnowned(std::uint64_t id) {
  SimController* controller = Online(id);
  if (controller == nullptr) return Unknown(id);
  Possess(controller, false, true);
  return {};
}

std::string Stale(std::uint64_t id) {
  SimController* controller = Online(id);
  if (controller == nullptr) return Unknown(id);
  TheGame().stale[id] = Objects().WeakOf(controller);
  TheGame().online.erase(id);
  DestroyController(controller);
  return {};
}

std::string TypeChat(std::uint64_t id, std::string_view text) {
  SimController* controller = Online(id);
  if (controller == nullptr) return Unknown(id);
  // A person types slower than the spam rule's gap, so a typed line is never too soon; the game sets the
  // time when the line is said, before any chat command sees it.
  controller->LastChatMessageTime = GameClock();
  HandleChatLine(controller, DecodeUtf8(text), EChatSendMode::GlobalChat);
  return {};
}

std::string TypeConsole(std::optional<std::uint64_t> id, std::string_view line) {
  APlayerController* issuer = nullptr;
  if (id) {
    SimController* controller = Online(*id);
    if (controller == nullptr) return Unknown(*id);
    issuer = controller;
  }
  DispatchConsole(issuer, DecodeUtf8(line));
  return {};
}

void AddTexture(const std::string& path) {
  GameWorld& game = TheGame();
  if (game.textures.contains(path)) return;
  auto* texture = Objects().Create<SimTexture>(Kind::Texture);
  texture->path = path;
  game.textures[path] = texture;
}

void HandleChatLine(SimController* speaker, std::u16string_view line, EChatSendMode::Type mode) {
  GameWorld& game = TheGame();
  if (game.chatDepth >= MaxChatDepth) {
    Fault("chat: more than " + std::to_string(MaxChatDepth) + " chat lines sent from inside one another, the last \"" +
          EncodeUtf8(line) + "\"");
    return;
  }
  ++game.chatDepth;
  if (!DispatchChat(speaker, line, mode)) {
    const std::string sender = EncodeUtf8(speaker->characterName);
    const std::string text = EncodeUtf8(line);
    const auto& list = game.world->PlayerControllerList;
    for (std::int32_t i = 0; i < list.ArrayNum; ++i) {
      auto* listener = static_cast<SimController*>(Objects().Resolve(list.Data[i]));
      if (listener == nullptr) continue;
      Emit({{"event", "chat"},
            {"to", std::to_string(listener->id)},
            {"sender", sender},
            {"text", text},
            {"echo", true}});
    }
  }
  --game.chatDepth;
}

void GameTimerTick() {
  CallHooked<Game::AGameState_DefaultTimer>(OwnRun::First, static_cast<AGameState*>(TheGame().gameState));
}

double GameClock() { return TheGame().gameState->seconds; }

void LogOut(SimController* controller) {
  GameWorld& game = TheGame();
  const auto found = game.online.find(controller->id);
  if (found == game.online.end() || found->second != controller) return;
  RemoveFromList(Objects().WeakOf(controller));
  game.online.erase(found);
}

void Wait(std::int64_t seconds) {
  for (std::int64_t i = 0; i < seconds; ++i) {
    SetElapsed(Elapsed() + 1);
    RunDueTimerCalls();
    GameTimerTick();
  }
}

RCONClientConnection* OpenRconConnection() {
  auto* connection = Objects().Create<SimRconConnection>(Kind::RconConnection);
  connection->number = TheGame().nextConnection++;
  return connection;
}

void CloseRconConnection(RCONClientConnection* connection) { Objects().Destroy(connection); }

std::vector<std::string> ServeRcon(RCONClientConnection* connection, std::int32_t requestId, std::string_view line) {
  auto* client = static_cast<SimRconConnection*>(Objects().Live(connection, {Kind::RconConnection}));
  if (client == nullptr) return {};
  client->replies.clear();
  const std::u16string text = DecodeUtf8(line);
  if (!DispatchRcon(connection, requestId, text, TheGame().world)) {
    const std::string reply = "Unknown command: " + EncodeUtf8(FirstWord(text));
    Emit({{"event", "rcon"}, {"id", requestId}, {"type", 0}, {"text", reply}});
    client->replies.push_back(reply);
  }
  // The handler may have closed the connection; its replies are gone with it.
  if (Objects().Live(connection, {Kind::RconConnection}) == nullptr) return {};
  return std::move(client->replies);
}

std::vector<std::string> ScenarioRcon(std::string_view line) {
  GameWorld& game = TheGame();
  if (game.scenarioConnection == nullptr) {
    game.scenarioConnection = static_cast<SimRconConnection*>(OpenRconConnection());
  }
  return ServeRcon(game.scenarioConnection, game.nextScenarioRequest++, line);
}

AShooterPlayerController* Player(std::uint64_t id) { return Online(id); }
UWorld* World() { return TheGame().world; }

std::vector<std::uint64_t> OnlinePlayers() {
  std::vector<std::uint64_t> ids;
  const auto& list = TheGame().world->PlayerControllerList;
  for (std::int32_t i = 0; i < list.ArrayNum; ++i) {
    if (auto* controller = static_cast<SimController*>(Objects().Resolve(list.Data[i]))) ids.push_back(controller->id);
  }
  return ids;
}

}  // namespace sim
