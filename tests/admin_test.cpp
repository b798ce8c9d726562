// Scenario tests of the administrator commands, on the console and over RCON, through the real plug-in; the
// stories of tests/stories/admin/ tell the rest.
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Expect.h"
#include "tests/support/Stories.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::ExpectNoFaults;
using heraldix::test::Feed;
using heraldix::test::RunScenario;
using heraldix::test::Seen;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::TellStories;
using ScenarioRun = heraldix::test::Run;
using nlohmann::json;

const std::string SentToPlayer = "Heraldix: Successfully sent message to player";
const std::string SentToEveryone = "Heraldix: Successfully sent message to everyone";
const std::string SendFailed = "Heraldix: Error trying to send the message";
const std::string Reloaded = "Heraldix: Reloaded config";
const std::string ReloadFailed = "Heraldix: Failed to reload config";
const std::string Chatted = "HX: Successfully chatted as player";
const std::string ChatFailed = "HX: There was an error, (player offline?)";

constexpr std::string_view BaseConfig = R"({
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}})";

}  // namespace

// --- Replies --------------------------------------------------------------------------------------

TEST(Admin, ConsoleAnswersAreGreenOrRedServerMessagesToTheIssuerAlone) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(
      "join 1 Alice\njoin 2 Bob\nconsole 1 hx.sendserver 2 \"Hi\"\nconsole 1 hx.sendserver 99 \"Hi\"\n"
      "console 1 hx.reload\nconfig-rm\nconsole 1 hx.reload\nconsole 1 hx.chatasplayer 2 0 \"x\"\n"
      "console 1 hx.chatasplayer 9 0 \"x\"\n",
      dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Feed(run, "1"), (Strings{"server [0 1 0 1] " + SentToPlayer, "server [1 0 0 1] " + SendFailed,
                                     "server [0 1 0 1] " + Reloaded, "server [1 0 0 1] " + ReloadFailed, "chat Bob: x",
                                     "server [0 1 0 1] " + Chatted, "server [1 0 0 1] " + ChatFailed}));
  EXPECT_EQ(Feed(run, "2"), (Strings{"server [0 0 1 1] Hi", "chat Bob: x"}));
}

TEST(Admin, RconAnswersCarryTheRequestIdAndType0) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(
      "join 1 Alice\nrcon hx.sendserver 0 \"Hello\" 255 0 0\nrcon hx.sendserver 99 \"Hello\"\nrcon hx.reload\n", dir);
  ExpectNoFaults(run);
  Strings answers;
  for (const json& answer : run.Of("rcon"))
    answers.push_back(answer.at("id").dump() + " " + answer.at("type").dump() + " " +
                      answer.at("text").get<std::string>());
  EXPECT_EQ(answers, (Strings{"1 0 " + SentToEveryone, "2 0 " + SendFailed, "3 0 " + Reloaded}));
  EXPECT_EQ(Feed(run, "1"), Strings{"server [1 0 0 1] Hello"}) << "nobody is answered in the chat area";
}

// --- The send commands and hx.chatasplayer -------------------------------------------------------

TEST(Admin, SendCommandsDeliverWhatTheLineAndTheConfigurationSay) { TellStories("admin/send-commands-deliver"); }

TEST(Admin, SendCommandsRefuseWhatTheyCannotDeliverWithOneAnswer) { TellStories("admin/send-commands-refuse"); }

// --- hx.reload -----------------------------------------------------------------------------------

TEST(Admin, ReloadReplacesTheDocumentAndTheChatCommands) {
  TellStories("admin/reload-replaces-the-document");
  // A reload after a failed one reads the mended file; the failure names the server's own directory, which
  // differs from run to run.
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(
      "join 1 Alice\njoin 2 Bob\nconfig-rm\nrcon hx.reload\n"
      R"(config-text {"Heraldix": {"ServerMessageColor": {"R": 255}}, "CustomCommands": {"/help": {"Message": "Ask an admin", "Type": "Server"}}})"
      "\nrcon hx.reload\nchat 2 /rules\nchat 2 /help\nconsole 1 hx.sendserver 2 \"probe\"\n",
      dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Seen(run),
            "log error: Failed to reload config: Can't open config.json: " + dir.ConfigPath().string() +
                ": No such file or directory | answer " + ReloadFailed +
                " | log info: Reloaded config: 1 custom commands, 0 timed messages | answer " + Reloaded +
                " | 1: chat Bob: /rules | 2: chat Bob: /rules | 2: server [0 0 0 1] Ask an admin | 2: server "
                "[1 0 0 1] probe | answer " +
                SentToPlayer);
}

TEST(Admin, AFailedReloadChangesNothingAndLogsWhy) { TellStories("admin/a-failed-reload-changes-nothing"); }
