// Scenario tests of the administrator commands, on the console and over RCON, through the real plug-in.
#include <algorithm>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Support.h"

namespace {

using ScenarioRun = heraldix::test::Run;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using nlohmann::json;

constexpr std::string_view SentToPlayer = "Heraldix: Successfully sent message to player";
constexpr std::string_view SentToEveryone = "Heraldix: Successfully sent message to everyone";
constexpr std::string_view SendFailed = "Heraldix: Error trying to send the message";
constexpr std::string_view Reloaded = "Heraldix: Reloaded config";
constexpr std::string_view ReloadFailed = "Heraldix: Failed to reload config";
constexpr std::string_view Chatted = "HX: Successfully chatted as player";
constexpr std::string_view ChatFailed = "HX: There was an error, (player offline?)";

constexpr std::string_view BaseConfig = R"({
  "Heraldix": {
    "ServerMessageColor": {"R": 0, "G": 0, "B": 255},
    "ClientChatColour": {"R": 255, "G": 0, "B": 255},
    "NotificationColor": {"R": 0, "G": 255, "B": 255},
    "NotificationDisplayScale": 3,
    "NotificationDisplayTime": 12
  },
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}
})";

// Alice (1) types the console commands; Bob (2) is the other player online.
constexpr std::string_view TwoPlayers = "join 1 Alice\njoin 2 Bob\n";

enum class Channel { Console, Rcon };
constexpr Channel BothChannels[] = {Channel::Console, Channel::Rcon};

const char* Name(Channel channel) { return channel == Channel::Console ? "console" : "rcon"; }

std::string Issue(Channel channel, std::string_view line) {
  return std::string(channel == Channel::Console ? "console 1 " : "rcon ") + std::string(line) + "\n";
}

bool IsAnswer(const std::string& text) { return text.starts_with("Heraldix: ") || text.starts_with("HX: "); }

// What the issuer was answered, in order: server messages to Alice that are answers, or RCON responses.
std::vector<std::string> Answers(const ScenarioRun& run, Channel channel) {
  std::vector<std::string> texts;
  if (channel == Channel::Console) {
    for (const json& event : run.To("1", "server")) {
      const auto text = event.at("text").get<std::string>();
      if (IsAnswer(text)) texts.push_back(text);
    }
  } else {
    for (const json& event : run.Of("rcon")) texts.push_back(event.at("text").get<std::string>());
  }
  return texts;
}

std::vector<std::string> Texts(const std::vector<json>& events) {
  std::vector<std::string> texts;
  for (const json& event : events) texts.push_back(event.at("text").get<std::string>());
  return texts;
}

// Messages Bob received of one kind (he is never the issuer, so they are all deliveries).
std::vector<std::string> ToBob(const ScenarioRun& run, std::string_view event) { return Texts(run.To("2", event)); }

void ExpectColour(const json& colour, double r, double g, double b, double a) {
  ASSERT_TRUE(colour.is_array());
  ASSERT_EQ(colour.size(), 4U);
  EXPECT_NEAR(colour[0].get<double>(), r, 1e-6);
  EXPECT_NEAR(colour[1].get<double>(), g, 1e-6);
  EXPECT_NEAR(colour[2].get<double>(), b, 1e-6);
  EXPECT_NEAR(colour[3].get<double>(), a, 1e-6);
}

void ExpectNoFaults(const ScenarioRun& run) {
  EXPECT_TRUE(run.Faults().empty()) << json(run.Faults()).dump();
  EXPECT_EQ(run.exitStatus, 0);
}

using Strings = std::vector<std::string>;

}  // namespace

// --- Replies --------------------------------------------------------------------------------------

TEST(Admin, ConsoleAnswersAreGreenOrRedServerMessagesToTheIssuerAlone) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                  "console 1 hx.sendserver 2 \"Hi\"\n"
                                  "console 1 hx.sendserver 99 \"Hi\"\n",
                              dir);
  ExpectNoFaults(run);
  const auto answers = run.To("1", "server");
  ASSERT_EQ(answers.size(), 2U);
  EXPECT_EQ(answers[0].at("text"), SentToPlayer);
  ExpectColour(answers[0].at("color"), 0.0, 1.0, 0.0, 1.0);
  EXPECT_EQ(answers[0].at("bold"), false);
  EXPECT_EQ(answers[1].at("text"), SendFailed);
  ExpectColour(answers[1].at("color"), 1.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(answers[1].at("bold"), false);
  EXPECT_EQ(ToBob(run, "server"), Strings{"Hi"});
}

TEST(Admin, RconAnswersCarryTheRequestIdAndType0) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                  "rcon hx.sendserver 0 \"Hello\" 255 0 0\n"
                                  "rcon hx.sendserver 99 \"Hello\"\n"
                                  "rcon hx.reload\n",
                              dir);
  ExpectNoFaults(run);
  const auto answers = run.Of("rcon");
  ASSERT_EQ(answers.size(), 3U);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(answers[i].at("id"), i + 1);
    EXPECT_EQ(answers[i].at("type"), 0);
  }
  EXPECT_EQ(answers[0].at("text"), SentToEveryone);
  EXPECT_EQ(answers[1].at("text"), SendFailed);
  EXPECT_EQ(answers[2].at("text"), Reloaded);
  // Over RCON nobody is answered in the chat area.
  EXPECT_EQ(Answers(run, Channel::Console), Strings{});
}

// --- hx.sendserver -------------------------------------------------------------------------------

TEST(Admin, SendServerReachesEveryoneOrOnePlayerOnBothChannels) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) + Issue(channel, "hx.sendserver 0 \"Hello all\" 255 0 0") +
                                    Issue(channel, "hx.sendserver 2 \"Hi Bob\""),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), (Strings{std::string(SentToEveryone), std::string(SentToPlayer)}));
    const auto bob = run.To("2", "server");
    ASSERT_EQ(bob.size(), 2U);
    EXPECT_EQ(bob[0].at("text"), "Hello all");
    ExpectColour(bob[0].at("color"), 1.0, 0.0, 0.0, 1.0);
    EXPECT_EQ(bob[1].at("text"), "Hi Bob");
    ExpectColour(bob[1].at("color"), 0.0, 0.0, 1.0, 1.0);  // the configured ServerMessageColor
    const auto alice = Texts(run.To("1", "server"));
    EXPECT_NE(std::find(alice.begin(), alice.end(), "Hello all"), alice.end());
    EXPECT_EQ(std::find(alice.begin(), alice.end(), "Hi Bob"), alice.end());
  }
}

TEST(Admin, SendServerRefusesWhatItCannotDeliver) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                    Issue(channel, "hx.sendserver 99 \"nobody\"") +       // not online
                                    Issue(channel, "hx.sendserver 0") +                   // no message
                                    Issue(channel, "hx.sendserver 2 \"\"") +              // empty message
                                    Issue(channel, "hx.sendserver abc \"x\"") +           // id without digits
                                    Issue(channel, "hx.sendserver 0 \"x\" 2147483648 0 0") +  // beyond 32 bits
                                    Issue(channel, "hx.sendserver 0 \"x\" 0 - 0") +       // lone sign
                                    Issue(channel, "hx.sendserver 0 \"a {brace}\""),      // not a format text
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), Strings(7, std::string(SendFailed)));
    EXPECT_EQ(ToBob(run, "server"), Strings{});
  }
}

TEST(Admin, BracesArePairedAndPercentSignsPassUnchanged) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                  "console 1 hx.sendserver 2 \"{{x}} 100% %s %d\"\n"
                                  "console 1 hx.sendchat 2 Admin \"50% {{ok}}\" 255 255 0\n"
                                  "console 1 hx.sendnotification 2 \"}}%n\"\n"
                                  "rcon hx.sendchat 2 Admin \"}\"\n",
                              dir);
  ExpectNoFaults(run);
  EXPECT_EQ(ToBob(run, "server"), Strings{"{x} 100% %s %d"});
  EXPECT_EQ(ToBob(run, "chat"), Strings{"<RichColor Color=\"1, 1, 0, 1\">50% {ok}</>"});
  EXPECT_EQ(ToBob(run, "notification"), Strings{"}%n"});
  EXPECT_EQ(Answers(run, Channel::Console), (Strings(3, std::string(SentToPlayer))));
  EXPECT_EQ(Answers(run, Channel::Rcon), Strings{std::string(SendFailed)});
}

// --- hx.sendchat ---------------------------------------------------------------------------------

TEST(Admin, SendChatReachesEveryoneOrOnePlayerOnBothChannels) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) + Issue(channel, "hx.sendchat 0 Admin \"Hi\" 255 255 0") +
                                    Issue(channel, "hx.sendchat 2 Mod \"Just you\""),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), (Strings{std::string(SentToEveryone), std::string(SentToPlayer)}));
    const auto bob = run.To("2", "chat");
    ASSERT_EQ(bob.size(), 2U);
    EXPECT_EQ(bob[0].at("sender"), "Admin");
    EXPECT_EQ(bob[0].at("text"), "<RichColor Color=\"1, 1, 0, 1\">Hi</>");
    EXPECT_EQ(bob[1].at("sender"), "Mod");
    EXPECT_EQ(bob[1].at("text"), "<RichColor Color=\"1, 0, 1, 1\">Just you</>");  // ClientChatColour
    EXPECT_EQ(Texts(run.To("1", "chat")), Strings{"<RichColor Color=\"1, 1, 0, 1\">Hi</>"});
  }
}

TEST(Admin, SendChatWithTheMessageRightAfterTheIdComesFromHeraldix) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "console 1 hx.sendchat 2 \"Hello world\"\n", dir);
  ExpectNoFaults(run);
  const auto bob = run.To("2", "chat");
  ASSERT_EQ(bob.size(), 1U);
  EXPECT_EQ(bob[0].at("sender"), "Heraldix");
  EXPECT_EQ(bob[0].at("text"), "<RichColor Color=\"1, 0, 1, 1\">Hello world</>");
  EXPECT_EQ(Answers(run, Channel::Console), Strings{std::string(SentToPlayer)});
}

TEST(Admin, SendChatRefusesWhatItCannotDeliver) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                    Issue(channel, "hx.sendchat 99 Admin \"nobody\"") +
                                    Issue(channel, "hx.sendchat 0 Admin") +
                                    Issue(channel, "hx.sendchat") +
                                    Issue(channel, "hx.sendchat x Admin \"x\"") +
                                    Issue(channel, "hx.sendchat 0 Admin \"x\" 1 2 99999999999") +
                                    Issue(channel, "hx.sendchat 0 Admin \"{0}\""),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), Strings(6, std::string(SendFailed)));
    EXPECT_TRUE(run.Of("chat").empty());
  }
}

// --- hx.sendnotification -------------------------------------------------------------------------

TEST(Admin, SendNotificationTakesNumbersAndIconFromTheLine) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "texture /Game/Icons/Star.Star\n" +
                                    Issue(channel, "hx.sendnotification 0 \"Msg\" 2 10 255 255 0 /Game/Icons/Star.Star") +
                                    Issue(channel, "hx.sendnotification 2 \"Only Bob\" 1 5 0 0 255 /Game/None"),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), (Strings{std::string(SentToEveryone), std::string(SentToPlayer)}));
    const auto bob = run.To("2", "notification");
    ASSERT_EQ(bob.size(), 2U);
    EXPECT_EQ(bob[0].at("text"), "Msg");
    EXPECT_EQ(bob[0].at("scale"), 2.0);
    EXPECT_EQ(bob[0].at("time"), 10.0);
    ExpectColour(bob[0].at("color"), 1.0, 1.0, 0.0, 1.0);
    EXPECT_EQ(bob[0].at("icon"), "/Game/Icons/Star.Star");
    EXPECT_EQ(bob[1].at("text"), "Only Bob");
    EXPECT_EQ(bob[1].at("scale"), 1.0);
    EXPECT_EQ(bob[1].at("time"), 5.0);
    EXPECT_TRUE(bob[1].at("icon").is_null());
    EXPECT_EQ(run.To("1", "notification").size(), 1U);
  }
}

TEST(Admin, SendNotificationFallsBackToConfiguredValues) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "console 1 hx.sendnotification 2 \"Msg\" 2 10 255 255 0\n", dir);
  ExpectNoFaults(run);
  const auto bob = run.To("2", "notification");
  ASSERT_EQ(bob.size(), 1U);
  EXPECT_EQ(bob[0].at("scale"), 3.0);
  EXPECT_EQ(bob[0].at("time"), 12.0);
  ExpectColour(bob[0].at("color"), 0.0, 1.0, 1.0, 1.0);
  EXPECT_TRUE(bob[0].at("icon").is_null());
  // The last token is numeric, so no texture is even asked for.
  EXPECT_TRUE(run.Traces("StaticLoadObject").empty());
}

TEST(Admin, ABareSendNotificationSendsAnEmptyNotificationToEveryone) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "console 1 hx.sendnotification\n", dir);
  ExpectNoFaults(run);
  const auto bob = run.To("2", "notification");
  ASSERT_EQ(bob.size(), 1U);
  EXPECT_EQ(bob[0].at("text"), "");
  EXPECT_EQ(bob[0].at("scale"), 3.0);
  const auto loads = run.Traces("StaticLoadObject");
  ASSERT_EQ(loads.size(), 1U);
  EXPECT_EQ(loads[0].at("args"), json::array({"hx.sendnotification"}));
  EXPECT_EQ(Answers(run, Channel::Console), Strings{std::string(SentToEveryone)});
}

TEST(Admin, SendNotificationRefusesAMissingPlayerAndBadNumbers) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                    Issue(channel, "hx.sendnotification 99 \"nobody\"") +
                                    Issue(channel, "hx.sendnotification 0 \"x\" 2 ten 1 1 1 icon") +
                                    Issue(channel, "hx.sendnotification 0 \"x\" 2147483648 1 1 1 1 icon") +
                                    Issue(channel, "hx.sendnotification -x \"x\"") +
                                    Issue(channel, "hx.sendnotification 0 \"{\""),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), Strings(5, std::string(SendFailed)));
    EXPECT_TRUE(run.Of("notification").empty());
  }
}

// --- Configuration read by the send commands -----------------------------------------------------

TEST(Admin, AnEmptyConfigurationGivesBlackAndZeroes) {
  const ServerDir dir("{}");
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                  "console 1 hx.sendserver 2 \"s\"\n"
                                  "console 1 hx.sendchat 2 Admin \"c\"\n"
                                  "rcon hx.sendnotification 2 \"n\"\n"
                                  "rcon hx.sendchat 0 \"again\"\n",
                              dir);
  ExpectNoFaults(run);
  ExpectColour(run.To("2", "server").at(0).at("color"), 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(ToBob(run, "chat"), (Strings{"<RichColor Color=\"0, 0, 0, 255\">c</>",
                                         "<RichColor Color=\"0, 0, 0, 255\">again</>"}));
  const auto notification = run.To("2", "notification").at(0);
  EXPECT_EQ(notification.at("scale"), 0.0);
  EXPECT_EQ(notification.at("time"), 0.0);
  ExpectColour(notification.at("color"), 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(Answers(run, Channel::Console), Strings(2, std::string(SentToPlayer)));
  EXPECT_EQ(Answers(run, Channel::Rcon), (Strings{std::string(SentToPlayer), std::string(SentToEveryone)}));
}

TEST(Admin, ConfiguredValuesOfTheWrongTypeFailTheCommand) {
  const ServerDir dir(R"({"Heraldix": {"ServerMessageColor": "red", "ClientChatColour": [1, 2, 3],
                          "NotificationDisplayScale": "big", "NotificationColor": {"R": null}}})");
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                  "console 1 hx.sendserver 2 \"s\"\n"
                                  "console 1 hx.sendchat 2 Admin \"c\"\n"
                                  "console 1 hx.sendnotification 2 \"n\"\n"
                                  "rcon hx.sendserver 0 \"s\"\n"
                                  // Values the line gives need no configuration.
                                  "console 1 hx.sendserver 2 \"given\" 1 2 3\n",
                              dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Answers(run, Channel::Console),
            (Strings{std::string(SendFailed), std::string(SendFailed), std::string(SendFailed),
                     std::string(SentToPlayer)}));
  EXPECT_EQ(Answers(run, Channel::Rcon), Strings{std::string(SendFailed)});
  EXPECT_EQ(ToBob(run, "server"), Strings{"given"});
  EXPECT_TRUE(run.Of("chat").empty());
  EXPECT_TRUE(run.Of("notification").empty());
}

TEST(Admin, ADocumentThatIsNotAnObjectFailsEveryConfiguredRead) {
  for (const std::string_view document : {std::string_view("[1, 2]"), std::string_view(R"({"Heraldix": 5})")}) {
    SCOPED_TRACE(document);
    const ServerDir dir(document);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                    "console 1 hx.sendserver 0 \"s\"\n"
                                    "console 1 hx.sendchat 0 A \"c\"\n"
                                    "rcon hx.sendnotification 0 \"n\"\n",
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, Channel::Console), Strings(2, std::string(SendFailed)));
    EXPECT_EQ(Answers(run, Channel::Rcon), Strings{std::string(SendFailed)});
    EXPECT_EQ(ToBob(run, "server"), Strings{});
  }
}

// --- No issuer ------------------------------------------------------------------------------------

TEST(Admin, CommandsTypedWithoutAnIssuerSendAndAnswerNothing) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) +
                                  "console none hx.sendserver 0 \"s\"\n"
                                  "console none hx.sendchat 0 A \"c\"\n"
                                  "console none hx.sendnotification 0 \"n\"\n"
                                  "console none hx.chatasplayer 2 0 \"said\"\n",
                              dir);
  ExpectNoFaults(run);
  EXPECT_TRUE(run.Of("server").empty());
  EXPECT_TRUE(run.Of("chat").empty());
  EXPECT_TRUE(run.Of("notification").empty());
  EXPECT_TRUE(run.Of("say").empty());
}

// --- hx.reload -----------------------------------------------------------------------------------

namespace {

// A different document: the server colour turns red, "/rules" goes and "/help" comes.
constexpr std::string_view NewConfig =
    R"({"Heraldix": {"ServerMessageColor": {"R": 255}},
        "CustomCommands": {"/help": {"Message": "Ask an admin", "Type": "Server"}}})";

std::string ConfigText(std::string_view document) {
  std::string line = "config-text ";
  for (const char c : document) line += c == '\n' ? ' ' : c;
  return line + "\n";
}

// Bob asks both custom commands and then gets a server message in the configured colour.
constexpr std::string_view Probe =
    "chat 2 /rules\n"
    "chat 2 /help\n"
    "console 1 hx.sendserver 2 \"probe\"\n";

void ExpectOldConfiguration(const ScenarioRun& run) {
  EXPECT_EQ(ToBob(run, "server"), (Strings{"Be nice", "probe"}));
  ExpectColour(run.To("2", "server").back().at("color"), 0.0, 0.0, 1.0, 1.0);
  // "/help" is no command: it is shown as Bob's chat line.
  const auto chat = run.To("2", "chat");
  ASSERT_EQ(chat.size(), 1U);
  EXPECT_EQ(chat[0].at("sender"), "Bob");
  EXPECT_EQ(chat[0].at("text"), "/help");
}

void ExpectNewConfiguration(const ScenarioRun& run) {
  EXPECT_EQ(ToBob(run, "server"), (Strings{"Ask an admin", "probe"}));
  ExpectColour(run.To("2", "server").back().at("color"), 1.0, 0.0, 0.0, 1.0);
  const auto chat = run.To("2", "chat");
  ASSERT_EQ(chat.size(), 1U);
  EXPECT_EQ(chat[0].at("text"), "/rules");
}

}  // namespace

TEST(Admin, ReloadReplacesTheDocumentAndTheChatCommandsOnBothChannels) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) + ConfigText(NewConfig) +
                                    Issue(channel, "hx.reload with ignored words") + std::string(Probe),
                                dir);
    ExpectNoFaults(run);
    const auto answers = Answers(run, channel);
    ASSERT_FALSE(answers.empty());
    EXPECT_EQ(answers.front(), Reloaded);
    ExpectNewConfiguration(run);
    // Registered at load, swapped by the reload, removed at unload.
    const auto registered = run.Traces("RegisterChatCommand");
    const auto unregistered = run.Traces("UnregisterChatCommand");
    ASSERT_EQ(registered.size(), 2U);
    ASSERT_EQ(unregistered.size(), 2U);
    EXPECT_EQ(registered[1].at("args"), json::array({"/help"}));
    EXPECT_EQ(unregistered[0].at("args"), json::array({"/rules"}));
  }
}

TEST(Admin, ReloadTheServerTypedStillReloadsButAnswersNobody) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) + ConfigText(NewConfig) + "console none hx.reload\n" +
                                  std::string(Probe),
                              dir);
  ExpectNoFaults(run);
  ExpectNewConfiguration(run);
  EXPECT_EQ(Answers(run, Channel::Console), Strings{std::string(SentToPlayer)});
}

std::vector<std::string> HeraldixLog(const ScenarioRun& run, std::string_view level) {
  std::vector<std::string> texts;
  for (const json& record : run.Of("log")) {
    if (record.at("logger") == "Heraldix" && record.at("level") == level) texts.push_back(record.at("text"));
  }
  return texts;
}

TEST(Admin, AFailedReloadChangesNothingAndLogsWhy) {
  struct Broken {
    std::string change;
    std::string reason;  // the end of the one error record
  };
  const Broken changeThenBreak[] = {
      {"config-rm\n", "/TarrowApi/Plugins/Heraldix/config.json: No such file or directory"},
      {"config-text {\"Heraldix\": {\"ServerMessageColor\": {\"R\": 255}}, \"CustomCommands\": \n",
       "config.json line 1, column 68: syntax error while parsing value - unexpected end of input; expected '[', '{', "
       "or a literal"},
      {ConfigText(R"({"CustomCommands": {"/help": {"Message": "x", "RequiredPermissionGroups": 5}}})"),
       "config.json line 1, column 75: /CustomCommands/~1help/RequiredPermissionGroups: type must be array, but is "
       "number"},
      {ConfigText(R"({"CustomCommands": {"/help": {"Message": "x", "RequiredPermissionGroups": ["vip", 3]}}})"),
       "config.json line 1, column 83: /CustomCommands/~1help/RequiredPermissionGroups/1: type must be string, but is "
       "number"},
      {ConfigText(R"({"CustomCommands": {"/help": {"Message": "x", "MessageColor": [1, 2, "3"]}}})"),
       "config.json line 1, column 70: /CustomCommands/~1help/MessageColor/2: type must be number, but is string"},
      {ConfigText(R"({"CustomCommands": [1]})"),
       "config.json line 1, column 20: /CustomCommands: type must be object, but is array"},
      {ConfigText("[1, 2]"), "config.json line 1, column 1: the top level: type must be object, but is array"},
  };
  for (const Broken& broken : changeThenBreak) {
    for (const Channel channel : BothChannels) {
      SCOPED_TRACE(broken.change + Name(channel));
      const ServerDir dir(BaseConfig);
      const ScenarioRun run =
          RunScenario(std::string(TwoPlayers) + broken.change + Issue(channel, "hx.reload") + std::string(Probe), dir);
      ExpectNoFaults(run);
      ASSERT_FALSE(Answers(run, channel).empty());
      EXPECT_EQ(Answers(run, channel).front(), ReloadFailed);
      if (channel == Channel::Console) {
        ExpectColour(run.To("1", "server").front().at("color"), 1.0, 0.0, 0.0, 1.0);
      }
      ExpectOldConfiguration(run);
      // "/rules" is removed once: at unload.
      EXPECT_EQ(run.Traces("UnregisterChatCommand").size(), 1U);
      const auto errors = HeraldixLog(run, "error");
      ASSERT_EQ(errors.size(), 1U);
      EXPECT_TRUE(errors[0].starts_with("Failed to reload config: ")) << errors[0];
      EXPECT_TRUE(errors[0].ends_with(broken.reason)) << errors[0];
      EXPECT_TRUE(HeraldixLog(run, "info").empty());
    }
  }
}

TEST(Admin, AFailedReloadNamesTheLineOfTheMistypedKeyInAFileAsWritten) {
  const ServerDir dir(BaseConfig);
  const auto file = dir.Path() / "mistyped.json";
  std::ofstream(file) << "{\n  \"CustomCommands\": {\n    \"/vote\": {\n      \"Message\": \"Vote now\",\n"
                         "      \"DisplayTime\": \"ten\"\n    }\n  }\n}\n";
  const ScenarioRun run = RunScenario("config mistyped.json\nrcon hx.reload\n", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Answers(run, Channel::Rcon), Strings{std::string(ReloadFailed)});
  EXPECT_EQ(HeraldixLog(run, "error"),
            Strings{"Failed to reload config: config.json line 5, column 22: /CustomCommands/~1vote/DisplayTime: "
                    "type must be number, but is string"});
}

TEST(Admin, ASuccessfulReloadLogsWhatItBrought) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(
      ConfigText(R"({"CustomCommands": {"/a": {"Message": "A"}, "/b": {"Message": "B"}, "/skipped": {"Message": ""}},
                     "TimedMessages": {"Messages": [{"MessageToSend": "1"}, {"MessageToSend": "2"}, {}]}})") +
          "rcon hx.reload\n",
      dir);
  ExpectNoFaults(run);
  EXPECT_EQ(HeraldixLog(run, "info"), Strings{"Reloaded config: 2 custom commands, 3 timed messages"});
  EXPECT_TRUE(HeraldixLog(run, "error").empty());
}

TEST(Admin, AReloadAfterAFailedOneTakesTheMendedFile) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "config-rm\nrcon hx.reload\n" + ConfigText(NewConfig) +
                                  "rcon hx.reload\n" + std::string(Probe),
                              dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Answers(run, Channel::Rcon), (Strings{std::string(ReloadFailed), std::string(Reloaded)}));
  ExpectNewConfiguration(run);
}

// --- hx.chatasplayer -----------------------------------------------------------------------------

TEST(Admin, ChatAsPlayerMakesAnOnlinePlayerSayTheLineOnBothChannels) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) + Issue(channel, "hx.chatasplayer 2 0 \"hello all\"") +
                                    Issue(channel, "hx.chatasplayer 2 3 \"{not formatted} 100%\""),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), Strings(2, std::string(Chatted)));
    const auto said = run.Of("say");
    ASSERT_EQ(said.size(), 2U);
    EXPECT_EQ(said[0].at("from"), "2");
    EXPECT_EQ(said[0].at("text"), "hello all");
    EXPECT_EQ(said[0].at("mode"), 0);
    EXPECT_EQ(said[1].at("text"), "{not formatted} 100%");
    EXPECT_EQ(said[1].at("mode"), 3);
    const auto alice = run.To("1", "chat");
    ASSERT_FALSE(alice.empty());
    EXPECT_EQ(alice[0].at("sender"), "Bob");
    EXPECT_EQ(alice[0].at("text"), "hello all");
  }
}

TEST(Admin, ChatAsPlayerLinesReachCustomCommands) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "rcon hx.chatasplayer 2 0 \"/rules\"\n", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(ToBob(run, "server"), Strings{"Be nice"});
  EXPECT_EQ(Answers(run, Channel::Rcon), Strings{std::string(Chatted)});
}

TEST(Admin, ChatAsPlayerAnswersEveryOtherWayOutWithOneError) {
  for (const Channel channel : BothChannels) {
    SCOPED_TRACE(Name(channel));
    const ServerDir dir(BaseConfig);
    const ScenarioRun run = RunScenario(std::string(TwoPlayers) + "leave 2\n" +
                                    Issue(channel, "hx.chatasplayer 2 0 \"gone\"") +     // left
                                    Issue(channel, "hx.chatasplayer 99 0 \"never\"") +   // never here
                                    Issue(channel, "hx.chatasplayer 1 0") +              // no message
                                    Issue(channel, "hx.chatasplayer 1 0 \"\"") +         // empty message
                                    Issue(channel, "hx.chatasplayer 1") +                // no send mode
                                    Issue(channel, "hx.chatasplayer") +
                                    Issue(channel, "hx.chatasplayer x 0 \"m\"") +
                                    Issue(channel, "hx.chatasplayer 1 mode \"m\"") +
                                    Issue(channel, "hx.chatasplayer 1 2147483648 \"m\""),
                                dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run, channel), Strings(9, std::string(ChatFailed)));
    EXPECT_TRUE(run.Of("say").empty());
  }
}
