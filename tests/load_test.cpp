// The real plug-in under load on the simulated server: a full server through an hour of timed messages,
// with nothing lost, leaked or faulted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/Address.h"
#include "host/GameFunctions.h"
#include "sim/game/Allocator.h"
#include "sim/game/Game.h"
#include "sim/host/Host.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::ExpectNoFaults;
using heraldix::test::LiveServer;
using heraldix::test::ServerDir;
using nlohmann::json;

constexpr int Players = 1000;
constexpr int Seconds = 3600;
constexpr int FullEvery = 60;

// Deliveries reach the game through probes put over its two message functions. A probe checks the
// player and the text of each delivery and counts it; every FullEvery-th second it also passes the
// delivery on to the game, whose own checks (live controller, strings on live game memory) and events
// then run in full. An event for each of 3.6 million deliveries would cost the simulator minutes.
struct HourProbe {
  std::unordered_map<const AShooterPlayerController*, std::size_t> ids;
  std::vector<int> count = std::vector<int>(Players + 1);
  std::vector<char> last = std::vector<char>(Players + 1);
  int second = 0;
  char word = 0;  // what went out this second: 'c' the chat line, 's' the server line
  bool forward = false;
  int strays = 0;
  Game::AShooterPlayerController_ClientChatMessage::Pointer gameChat = nullptr;
  Game::AShooterPlayerController_ClientServerChatDirectMessage::Pointer gameServer = nullptr;

  void Count(const AShooterPlayerController* player, char kind, bool textRight) {
    const auto found = ids.find(player);
    if (found == ids.end() || !textRight) {
      ++strays;
      return;
    }
    const std::size_t id = found->second;
    // One message a second: the n-th delivery to a player belongs to second n and differs from the last,
    // and everyone gets the same one.
    if (++count[id] != second || kind == last[id]) ++strays;
    last[id] = kind;
    if (word == 0) word = kind;
    if (kind != word) ++strays;
  }
};
HourProbe* hour = nullptr;

bool TextIs(const FString& text, std::u16string_view expected) {
  return text.Data != nullptr && text.ArrayNum == static_cast<std::int32_t>(expected.size() + 1) &&
         text.ArrayMax >= text.ArrayNum && text.View() == expected && text.Data[expected.size()] == u'\0';
}

void ProbeChat(AShooterPlayerController* self, FChatMessage chat) {
  hour->Count(self, 'c',
              TextIs(chat.Message, u"<RichColor Color=\"0, 0, 0, 255\">Tick</>") && TextIs(chat.SenderName, u"Clock"));
  if (hour->forward) hour->gameChat(self, chat);
}

void ProbeServer(AShooterPlayerController* self, FString* text, FLinearColor colour, bool bold) {
  hour->Count(self, 's', text != nullptr && TextIs(*text, u"Tock") && !bold);
  if (hour->forward) hour->gameServer(self, text, colour, bold);
}

// Puts entry in place of the game function under the row's key, answering the one that was there.
template <class Row>
typename Row::Pointer Replace(typename Row::Pointer entry) {
  const auto previous = reinterpret_cast<typename Row::Pointer>(GetAddress(std::string(Row::Key())));
  sim::RegisterGameFunction(std::string(Row::Key()), reinterpret_cast<void*>(entry));
  return previous;
}

TEST(Load, AThousandPlayersGetEveryTimedMessageOfAnHourInOrder) {
  using Chat = Game::AShooterPlayerController_ClientChatMessage;
  using Server = Game::AShooterPlayerController_ClientServerChatDirectMessage;
  // Two messages alternate strictly, so a lost, repeated or reordered delivery shows in every player's
  // own sequence; one is a chat line and one a server line, so both delivery paths carry the load.
  ServerDir dir(R"({"TimedMessages": {"Enabled": true, "Interval": 1, "Messages": [
      {"MessageToSend": "Tick", "MessageType": "Chat", "Sender": "Clock"},
      {"MessageToSend": "Tock", "MessageType": "Server"}]}})");
  LiveServer server(dir, LiveServer::Events::Dropped);
  for (int id = 1; id <= Players; ++id) server.Line("join " + std::to_string(id) + " Player" + std::to_string(id));

  HourProbe probe;
  hour = &probe;
  for (std::size_t id = 1; id <= Players; ++id) probe.ids[sim::Player(id)] = id;
  probe.gameChat = Replace<Chat>(&ProbeChat);
  probe.gameServer = Replace<Server>(&ProbeServer);
  int events = 0;
  server.onEvent = [&](const json& event) {
    if (event.at("event") == "chat" || event.at("event") == "server") ++events;
  };

  std::int64_t blocksAfterAMinute = 0;
  for (probe.second = 1; probe.second <= Seconds; ++probe.second) {
    probe.word = 0;
    probe.forward = probe.second % FullEvery == 0;
    server.Line("wait 1");
    if (probe.second == FullEvery) blocksAfterAMinute = sim::PluginMemory().blocks;
  }
  // What the plug-in holds of game memory does not grow with the messages it sends.
  EXPECT_EQ(sim::PluginMemory().blocks, blocksAfterAMinute);
  Replace<Chat>(probe.gameChat);
  Replace<Server>(probe.gameServer);
  server.Unload();
  hour = nullptr;

  EXPECT_EQ(probe.strays, 0);
  for (int id = 1; id <= Players; ++id) {
    ASSERT_EQ(probe.count[id], Seconds) << "player " << id;
  }
  EXPECT_EQ(events, Players * (Seconds / FullEvery));
  ExpectNoFaults(server);
}

}  // namespace
