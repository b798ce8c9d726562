// The real plug-in under load on the simulated server: a full server through an hour of timed messages,
// and a burst of remote-console commands over one connection, with nothing lost, leaked or faulted.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>
#include <asio/io_context.hpp>
#include <nlohmann/json.hpp>

#include "host/Address.h"
#include "host/GameFunctions.h"
#include "sim/game/Allocator.h"
#include "sim/game/Game.h"
#include "sim/host/Host.h"
#include "sim/rcon/RconPacket.h"
#include "sim/rcon/RconServer.h"
#include "sim/serve/GameRcon.h"
#include "tests/support/Expect.h"
#include "tests/support/RconClient.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::ExpectNoFaults;
using heraldix::test::LiveServer;
using heraldix::test::RconClient;
using heraldix::test::ServerDir;
using nlohmann::json;
using sim::rcon::Auth;
using sim::rcon::AuthResponse;
using sim::rcon::Command;
using sim::rcon::Packet;
using sim::rcon::ResponseValue;

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

constexpr int Commands = 10000;

// The request with index i and its answer, as an administrator's script might send them: mostly messages
// to an online player, some to a player who is not there, and some commands nobody registered.
std::pair<std::string, std::string> RequestAndReply(int i) {
  const std::string n = std::to_string(i);
  if (i % 250 == 0) return {"nosuch " + n, "Unknown command: nosuch"};
  if (i % 100 == 99) return {"hx.sendserver 99 \"nobody " + n + "\"", "Heraldix: Error trying to send the message"};
  return {"hx.sendserver 1 \"burst " + n + "\"", "Heraldix: Successfully sent message to player"};
}

TEST(Load, TenThousandRconCommandsInOneBurstAreAllAnsweredInOrder) {
  ServerDir dir("{}");
  LiveServer server(dir, LiveServer::Events::Dropped);
  server.Line("join 1 Alice");
  std::vector<std::string> delivered;
  server.onEvent = [&](const json& event) {
    if (event.at("event") == "server" && event.at("to") == "1")
      delivered.push_back(event.at("text").get<std::string>());
  };

  asio::io_context io;
  sim::GameRcon game;
  sim::rcon::RconServerOptions options;
  options.password = "pw";
  sim::rcon::RconServer rcon(io, game, options);

  // Everything the client sends goes out at once: login, every command, then an empty value whose mirror
  // marks the end. One thread plays both sides: the client writes what the socket takes and reads what has
  // arrived, and the game loop runs the server in between.
  std::vector<Packet> requests{{1, Auth, "pw"}};
  std::vector<Packet> expected{{1, ResponseValue, ""}, {1, AuthResponse, ""}};
  std::vector<std::string> sent;
  for (int i = 0; i < Commands; ++i) {
    const auto [request, reply] = RequestAndReply(i);
    requests.push_back({i + 2, Command, request});
    expected.push_back({i + 2, ResponseValue, reply});
    if (request.starts_with("hx.sendserver 1 ")) sent.push_back(request.substr(17, request.size() - 18));
  }
  constexpr std::int32_t EndId = 999999;
  requests.push_back({EndId, ResponseValue, ""});
  expected.push_back({EndId, ResponseValue, ""});
  std::vector<Packet> replies;
  {
    RconClient client(rcon.Port(), [&] {
      io.restart();
      io.poll();
      rcon.ApplyTimeLimits();
    });
    client.Send(requests);
    replies = client.Receive(Commands + 3);
  }

  ASSERT_EQ(replies.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(replies[i], expected[i]) << "reply " << i;
  }
  // The game saw every message, in the order the commands were sent.
  EXPECT_EQ(delivered, sent);

  io.restart();
  io.poll();
  server.Unload();
  ExpectNoFaults(server);
}

}  // namespace
