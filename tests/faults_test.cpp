// The real plug-in on the simulated server when things go wrong around it: config.json cut short at any
// byte at a reload, as a writer that died midway leaves it. Nothing may be lost, leaked or faulted.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::EventsOf;
using heraldix::test::ExpectNoFaults;
using heraldix::test::LiveServer;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
using nlohmann::json;

// The texts of the server lines one player received.
Strings ServerTextsTo(const std::vector<json>& events, std::string_view id) {
  Strings texts;
  for (const json& event : EventsOf(events, "server")) {
    if (event.at("to") == id) texts.push_back(event.at("text"));
  }
  return texts;
}

// Two configurations told apart by everything the plug-in reads from them: a chat command, a timed
// message. No trailing newline, so no proper prefix of the second is a whole JSON value.
constexpr std::string_view First =
    R"({"CustomCommands": {"/first": {"Message": "first reply", "Type": "Server"}},)"
    R"( "TimedMessages": {"Enabled": true, "Interval": 1, "Messages": [{"MessageToSend": "first timed", "MessageType": "Server"}]}})";
constexpr std::string_view Second =
    R"({"CustomCommands": {"/second": {"Message": "second reply", "Type": "Server"}},)"
    R"( "TimedMessages": {"Enabled": true, "Interval": 1, "Messages": [{"MessageToSend": "second timed", "MessageType": "Server"}]}})";

// One reload through the console by player 1, then what the players meet afterwards: the first
// configuration still in force, and "/second" no command, so everyone sees it as chat.
void ExpectReloadFailsAndFirstStays(LiveServer& server, const std::string& what) {
  SCOPED_TRACE(what);
  server.Take();
  for (const char* line : {"console 1 hx.reload", "chat 1 /first", "chat 1 /second", "wait 1"}) server.Line(line);
  const auto events = server.Take();
  EXPECT_EQ(ServerTextsTo(events, "1"), (Strings{"Heraldix: Failed to reload config", "first reply", "first timed"}));
  EXPECT_EQ(Texts(EventsOf(events, "chat")), Strings{"/second"});
}

TEST(Faults, AReloadOfAConfigCutShortAnywhereKeepsThePreviousConfiguration) {
  ServerDir dir(First);
  LiveServer server(dir);
  server.Line("join 1 Alice");
  for (std::size_t cut = 0; cut < Second.size() && !HasFailure(); ++cut) {
    dir.WriteConfig(Second.substr(0, cut));
    ExpectReloadFailsAndFirstStays(server, "cut after " + std::to_string(cut) + " bytes");
  }
  // The whole file, at last, is taken.
  server.Take();
  server.Line("config-text " + std::string(Second));
  for (const char* line : {"console 1 hx.reload", "chat 1 /second", "wait 1"}) server.Line(line);
  EXPECT_EQ(ServerTextsTo(server.Take(), "1"), (Strings{"Heraldix: Reloaded config", "second reply", "second timed"}));
  server.Unload();
  ExpectNoFaults(server);
}

}  // namespace
