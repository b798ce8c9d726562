// Scenario tests of the administrator commands, on the console and over RCON, through the real plug-in.
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::ExpectNoFaults;
using heraldix::test::Feed;
using heraldix::test::Rich;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
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
  "Heraldix": {
    "ServerMessageColor": {"R": 0, "G": 0, "B": 255},
    "ClientChatColour": {"R": 255, "G": 0, "B": 255},
    "NotificationColor": {"R": 0, "G": 255, "B": 255},
    "NotificationDisplayScale": 3,
    "NotificationDisplayTime": 12
  },
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}
})";

// A different document: the server colour turns red, "/rules" goes and "/help" comes.
constexpr std::string_view NewConfig =
    R"({"Heraldix": {"ServerMessageColor": {"R": 255}},
        "CustomCommands": {"/help": {"Message": "Ask an admin", "Type": "Server"}}})";

std::string ConfigText(std::string_view document) {
  std::string line = "config-text ";
  for (const char c : document) line += c == '\n' ? ' ' : c;
  return line + "\n";
}

// Bob asks both custom commands and then gets a server message in the configured colour; what he sees
// tells the configuration in force.
const std::string Probe = "chat 2 /rules\nchat 2 /help\nconsole 1 hx.sendserver 2 \"probe\"\n";
const Strings OldSeen{"server [1 1 1 1] Be nice", "chat Bob: /help", "server [0 0 1 1] probe"};
const Strings NewSeen{"chat Bob: /rules", "server [0 0 0 1] Ask an admin", "server [1 0 0 1] probe"};

bool IsAnswer(const std::string& text) { return text.starts_with("Heraldix: ") || text.starts_with("HX: "); }

// What the issuers were answered, in order: server messages to Alice (1) that are answers, and RCON
// responses.
Strings Answers(const ScenarioRun& run) {
  Strings texts;
  for (const json& event : run.events) {
    const bool toAlice = event.at("event") == "server" && event.at("to") == "1";
    if (event.at("event") == "rcon" || (toAlice && IsAnswer(event.at("text")))) texts.push_back(event.at("text"));
  }
  return texts;
}

// What Alice was shown apart from answers.
Strings ToAlice(const ScenarioRun& run) {
  std::vector<json> shown;
  for (const json& event : run.events) {
    if (!event.contains("text") || !IsAnswer(event.at("text").get<std::string>())) shown.push_back(event);
  }
  return Feed(shown, "1");
}

Strings Said(const ScenarioRun& run) {
  Strings said;
  for (const json& event : run.Of("say")) {
    said.push_back("from " + event.at("from").get<std::string>() + " mode " + event.at("mode").dump() + ": " +
                   event.at("text").get<std::string>());
  }
  return said;
}

// Chat commands added (+) and removed (-), in order.
Strings ChatCommandCalls(const ScenarioRun& run) {
  Strings calls;
  for (const json& trace : run.Of("trace")) {
    const std::string call = trace.at("call");
    if (call == "RegisterChatCommand" || call == "UnregisterChatCommand") {
      calls.push_back((call[0] == 'R' ? "+" : "-") + trace.at("args").at(0).get<std::string>());
    }
  }
  return calls;
}

Strings HeraldixLog(const ScenarioRun& run) {
  Strings texts;
  for (const json& record : run.Of("log")) {
    if (record.at("logger") == "Heraldix")
      texts.push_back(record.at("level").get<std::string>() + ": " + record.at("text").get<std::string>());
  }
  return texts;
}

// One administrator's story with Alice (1) and Bob (2) online. Lines starting "> " are the admin's
// commands: run once typed by Alice on the console and once sent over RCON.
struct Story {
  const char* name;
  std::string lines;
  Strings answers;
  Strings bob;                            // all Bob was shown
  std::optional<Strings> alice{};         // what Alice was shown apart from answers
  std::optional<Strings> said{};          // lines players were made to say
  std::optional<Strings> loads{};         // texture paths asked for
  std::optional<Strings> chatCommands{};  // chat commands added and removed
  std::optional<Strings> log{};           // Heraldix's own log records
  std::string_view config = BaseConfig;
};

void Tell(const Story& story) {
  const bool bothChannels = story.lines.starts_with("> ") || story.lines.find("\n> ") != std::string::npos;
  for (const char* channel : {"console 1 ", "rcon "}) {
    SCOPED_TRACE(std::string(story.name) + (bothChannels ? ", " + std::string(channel) : ""));
    std::string lines = "join 1 Alice\njoin 2 Bob\n";
    std::size_t start = 0;
    while (start < story.lines.size()) {
      const std::size_t end = story.lines.find('\n', start);
      const std::string line = story.lines.substr(start, end - start);
      lines += (line.starts_with("> ") ? channel + line.substr(2) : line) + "\n";
      start = end == std::string::npos ? story.lines.size() : end + 1;
    }
    const ServerDir dir(story.config);
    const ScenarioRun run = RunScenario(lines, dir);
    ExpectNoFaults(run);
    EXPECT_EQ(Answers(run), story.answers);
    EXPECT_EQ(Feed(run, "2"), story.bob);
    if (story.alice) {
      EXPECT_EQ(ToAlice(run), *story.alice);
    }
    if (story.said) {
      EXPECT_EQ(Said(run), *story.said);
    }
    if (story.loads) {
      EXPECT_EQ(heraldix::test::Texts(run.Traces("StaticLoadObject"), "args"), *story.loads);
    }
    if (story.chatCommands) {
      EXPECT_EQ(ChatCommandCalls(run), *story.chatCommands);
    }
    if (story.log) {
      EXPECT_EQ(HeraldixLog(run), *story.log);
    }
    if (!bothChannels) break;
  }
}

}  // namespace

// --- Replies --------------------------------------------------------------------------------------

TEST(Admin, ConsoleAnswersAreGreenOrRedServerMessagesToTheIssuerAlone) {
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(
      "join 1 Alice\njoin 2 Bob\nconsole 1 hx.sendserver 2 \"Hi\"\nconsole 1 hx.sendserver 99 \"Hi\"\n", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Feed(run, "1"), (Strings{"server [0 1 0 1] " + SentToPlayer, "server [1 0 0 1] " + SendFailed}));
  EXPECT_EQ(Feed(run, "2"), Strings{"server [0 0 1 1] Hi"});
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

TEST(Admin, SendCommandsDeliverWhatTheLineAndTheConfigurationSay) {
  const Story stories[] = {
      {.name = "sendserver to everyone, then to one player in the configured colour",
       .lines = "> hx.sendserver 0 \"Hello all\" 255 0 0\n> hx.sendserver 2 \"Hi Bob\"",
       .answers = {SentToEveryone, SentToPlayer},
       .bob = {"server [1 0 0 1] Hello all", "server [0 0 1 1] Hi Bob"},
       .alice = Strings{"server [1 0 0 1] Hello all"}},
      {.name = "sendchat to everyone, then to one player in the configured colour",
       .lines = "> hx.sendchat 0 Admin \"Hi\" 255 255 0\n> hx.sendchat 2 Mod \"Just you\"",
       .answers = {SentToEveryone, SentToPlayer},
       .bob = {"chat Admin: " + Rich("1, 1, 0, 1", "Hi"), "chat Mod: " + Rich("1, 0, 1, 1", "Just you")},
       .alice = Strings{"chat Admin: " + Rich("1, 1, 0, 1", "Hi")}},
      {.name = "sendchat with the message right after the id comes from Heraldix",
       .lines = "console 1 hx.sendchat 2 \"Hello world\"",
       .answers = {SentToPlayer},
       .bob = {"chat Heraldix: " + Rich("1, 0, 1, 1", "Hello world")}},
      {.name = "sendnotification takes numbers and icon from the line",
       .lines = "texture /Game/Icons/Star.Star\n"
                "> hx.sendnotification 0 \"Msg\" 2 10 255 255 0 /Game/Icons/Star.Star\n"
                "> hx.sendnotification 2 \"Only Bob\" 1 5 0 0 255 /Game/None",
       .answers = {SentToEveryone, SentToPlayer},
       .bob = {"notification [1 1 0 1] scale 2 time 10 icon /Game/Icons/Star.Star Msg",
               "notification [0 0 1 1] scale 1 time 5 Only Bob"},
       .alice = Strings{"notification [1 1 0 1] scale 2 time 10 icon /Game/Icons/Star.Star Msg"}},
      {.name = "sendnotification without an icon takes the configured values and asks for no texture",
       .lines = "console 1 hx.sendnotification 2 \"Msg\" 2 10 255 255 0",
       .answers = {SentToPlayer},
       .bob = {"notification [0 1 1 1] scale 3 time 12 Msg"},
       .loads = Strings{}},
      {.name = "a bare sendnotification sends an empty notification to everyone, its name for an icon",
       .lines = "console 1 hx.sendnotification",
       .answers = {SentToEveryone},
       .bob = {"notification [0 1 1 1] scale 3 time 12 "},
       .loads = Strings{R"(["hx.sendnotification"])"}},
      {.name = "braces are paired once and percent signs pass unchanged",
       .lines = "console 1 hx.sendserver 2 \"{{x}} 100% %s %d\"\n"
                "console 1 hx.sendchat 2 Admin \"50% {{ok}}\" 255 255 0\n"
                "console 1 hx.sendnotification 2 \"}}%n\"\n"
                "rcon hx.sendchat 2 Admin \"}\"",
       .answers = {SentToPlayer, SentToPlayer, SentToPlayer, SendFailed},
       .bob = {"server [0 0 1 1] {x} 100% %s %d", "chat Admin: " + Rich("1, 1, 0, 1", "50% {ok}"),
               "notification [0 1 1 1] scale 3 time 12 }%n"}},
      {.name = "an empty configuration gives black and zeroes",
       .lines = "console 1 hx.sendserver 2 \"s\"\nconsole 1 hx.sendchat 2 Admin \"c\"\n"
                "rcon hx.sendnotification 2 \"n\"\nrcon hx.sendchat 0 \"again\"",
       .answers = {SentToPlayer, SentToPlayer, SentToPlayer, SentToEveryone},
       .bob = {"server [0 0 0 1] s", "chat Admin: " + Rich("0, 0, 0, 255", "c"),
               "notification [0 0 0 1] scale 0 time 0 n", "chat Heraldix: " + Rich("0, 0, 0, 255", "again")},
       .config = "{}"},
      {.name = "configured values of the wrong type fail the command, values the line gives need none",
       .lines = "console 1 hx.sendserver 2 \"s\"\nconsole 1 hx.sendchat 2 Admin \"c\"\n"
                "console 1 hx.sendnotification 2 \"n\"\nrcon hx.sendserver 0 \"s\"\n"
                "console 1 hx.sendserver 2 \"given\" 1 2 3",
       .answers = {SendFailed, SendFailed, SendFailed, SendFailed, SentToPlayer},
       .bob = {"server [0.000304 0.000607 0.000911 1] given"},
       .config = R"({"Heraldix": {"ServerMessageColor": "red", "ClientChatColour": [1, 2, 3],
                    "NotificationDisplayScale": "big", "NotificationColor": {"R": null}}})"},
      {.name = "a document that is not an object fails every configured read",
       .lines = "console 1 hx.sendserver 0 \"s\"\nconsole 1 hx.sendchat 0 A \"c\"\nrcon hx.sendnotification 0 \"n\"",
       .answers = {SendFailed, SendFailed, SendFailed},
       .bob = {},
       .config = "[1, 2]"},
      {.name = "a section that is not an object fails every configured read",
       .lines = "console 1 hx.sendserver 0 \"s\"\nconsole 1 hx.sendchat 0 A \"c\"\nrcon hx.sendnotification 0 \"n\"",
       .answers = {SendFailed, SendFailed, SendFailed},
       .bob = {},
       .config = R"({"Heraldix": 5})"},
      {.name = "commands typed without an issuer send and answer nothing",
       .lines = "console none hx.sendserver 0 \"s\"\nconsole none hx.sendchat 0 A \"c\"\n"
                "console none hx.sendnotification 0 \"n\"\nconsole none hx.chatasplayer 2 0 \"said\"",
       .answers = {},
       .bob = {},
       .alice = Strings{},
       .said = Strings{}},
      {.name = "chatasplayer makes an online player say the line, unformatted, in the mode given",
       .lines = "> hx.chatasplayer 2 0 \"hello all\"\n> hx.chatasplayer 2 3 \"{not formatted} 100%\"",
       .answers = {Chatted, Chatted},
       .bob = {"chat Bob: hello all", "chat Bob: {not formatted} 100%"},
       .alice = Strings{"chat Bob: hello all", "chat Bob: {not formatted} 100%"},
       .said = Strings{"from 2 mode 0: hello all", "from 2 mode 3: {not formatted} 100%"}},
      {.name = "chatasplayer lines reach custom commands",
       .lines = "rcon hx.chatasplayer 2 0 \"/rules\"",
       .answers = {Chatted},
       .bob = {"server [1 1 1 1] Be nice"}},
  };
  for (const Story& story : stories) Tell(story);
}

TEST(Admin, SendCommandsRefuseWhatTheyCannotDeliverWithOneAnswer) {
  const Story stories[] = {
      {.name = "sendserver",
       .lines = "> hx.sendserver 99 \"nobody\"\n"           // not online
                "> hx.sendserver 0\n"                       // no message
                "> hx.sendserver 2 \"\"\n"                  // empty message
                "> hx.sendserver abc \"x\"\n"               // id without digits
                "> hx.sendserver 0 \"x\" 2147483648 0 0\n"  // beyond 32 bits
                "> hx.sendserver 0 \"x\" 0 - 0\n"           // lone sign
                "> hx.sendserver 0 \"a {brace}\"",          // not a format text
       .answers = Strings(7, SendFailed),
       .bob = {},
       .alice = Strings{}},
      {.name = "sendchat",
       .lines = "> hx.sendchat 99 Admin \"nobody\"\n> hx.sendchat 0 Admin\n> hx.sendchat\n> hx.sendchat x Admin \"x\"\n"
                "> hx.sendchat 0 Admin \"x\" 1 2 99999999999\n> hx.sendchat 0 Admin \"{0}\"",
       .answers = Strings(6, SendFailed),
       .bob = {},
       .alice = Strings{}},
      {.name = "sendnotification",
       .lines = "> hx.sendnotification 99 \"nobody\"\n> hx.sendnotification 0 \"x\" 2 ten 1 1 1 icon\n"
                "> hx.sendnotification 0 \"x\" 2147483648 1 1 1 1 icon\n> hx.sendnotification -x \"x\"\n"
                "> hx.sendnotification 0 \"{\"",
       .answers = Strings(5, SendFailed),
       .bob = {},
       .alice = Strings{}},
      {.name = "chatasplayer",
       .lines = "leave 2\n"
                "> hx.chatasplayer 2 0 \"gone\"\n"    // left
                "> hx.chatasplayer 99 0 \"never\"\n"  // never here
                "> hx.chatasplayer 1 0\n"             // no message
                "> hx.chatasplayer 1 0 \"\"\n"        // empty message
                "> hx.chatasplayer 1\n"               // no send mode
                "> hx.chatasplayer\n> hx.chatasplayer x 0 \"m\"\n> hx.chatasplayer 1 mode \"m\"\n"
                "> hx.chatasplayer 1 2147483648 \"m\"",
       .answers = Strings(9, ChatFailed),
       .bob = {},
       .alice = Strings{},
       .said = Strings{}},
  };
  for (const Story& story : stories) Tell(story);
}

// --- hx.reload -----------------------------------------------------------------------------------

TEST(Admin, ReloadReplacesTheDocumentAndTheChatCommands) {
  const Story stories[] = {
      {.name = "from an admin",
       .lines = ConfigText(NewConfig) + "> hx.reload with ignored words\n" + Probe,
       .answers = {Reloaded, SentToPlayer},
       .bob = NewSeen,
       .chatCommands = Strings{"+/rules", "-/rules", "+/help", "-/help"},
       .log = Strings{"info: Reloaded config: 1 custom commands, 0 timed messages"}},
      {.name = "typed by the server, answering nobody",
       .lines = ConfigText(NewConfig) + "console none hx.reload\n" + Probe,
       .answers = {SentToPlayer},
       .bob = NewSeen},
      {.name = "after a failed one, from the mended file",
       .lines = "config-rm\nrcon hx.reload\n" + ConfigText(NewConfig) + "rcon hx.reload\n" + Probe,
       .answers = {ReloadFailed, Reloaded, SentToPlayer},
       .bob = NewSeen},
      {.name = "counting what it brought",
       .lines = ConfigText(
                    R"({"CustomCommands": {"/a": {"Message": "A"}, "/b": {"Message": "B"}, "/skipped": {"Message": ""}},
                     "TimedMessages": {"Messages": [{"MessageToSend": "1"}, {"MessageToSend": "2"}, {}]}})") +
                "rcon hx.reload",
       .answers = {Reloaded},
       .bob = {},
       .log = Strings{"info: Reloaded config: 2 custom commands, 3 timed messages"}},
  };
  for (const Story& story : stories) Tell(story);
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
       "config.json line 1, column 75: \"CustomCommands\" > \"/help\" > \"RequiredPermissionGroups\": type must be "
       "array, but is "
       "number"},
      {ConfigText(R"({"CustomCommands": {"/help": {"Message": "x", "RequiredPermissionGroups": ["vip", 3]}}})"),
       "config.json line 1, column 83: \"CustomCommands\" > \"/help\" > \"RequiredPermissionGroups\"[1]: type must be "
       "string, but is "
       "number"},
      {ConfigText(R"({"CustomCommands": {"/help": {"Message": "x", "MessageColor": [1, 2, "3"]}}})"),
       "config.json line 1, column 70: \"CustomCommands\" > \"/help\" > \"MessageColor\"[2]: type must be number, but "
       "is string"},
      {ConfigText(R"({"CustomCommands": [1]})"),
       "config.json line 1, column 20: \"CustomCommands\": type must be object, but is array"},
      {ConfigText("[1, 2]"), "config.json line 1, column 1: the top level: type must be object, but is array"},
  };
  for (const Broken& broken : changeThenBreak) {
    for (const char* channel : {"console 1 ", "rcon "}) {
      SCOPED_TRACE(broken.change + channel);
      const ServerDir dir(BaseConfig);
      const ScenarioRun run =
          RunScenario("join 1 Alice\njoin 2 Bob\n" + broken.change + channel + "hx.reload\n" + Probe, dir);
      ExpectNoFaults(run);
      EXPECT_EQ(Answers(run), (Strings{ReloadFailed, SentToPlayer}));
      if (channel[0] == 'c') {
        EXPECT_EQ(Feed(run, "1").at(0), "server [1 0 0 1] " + ReloadFailed);
      }
      EXPECT_EQ(Feed(run, "2"), OldSeen);
      EXPECT_EQ(ChatCommandCalls(run), (Strings{"+/rules", "-/rules"})) << "removed once: at unload";
      const Strings log = HeraldixLog(run);
      ASSERT_EQ(log.size(), 1U);
      EXPECT_TRUE(log[0].starts_with("error: Failed to reload config: ")) << log[0];
      EXPECT_TRUE(log[0].ends_with(broken.reason)) << log[0];
    }
  }
}

TEST(Admin, AFailedReloadNamesTheLineOfTheMistypedKeyInAFileAsWritten) {
  const ServerDir dir(BaseConfig);
  std::ofstream(dir.Path() / "mistyped.json") << "{\n  \"CustomCommands\": {\n    \"/vote\": {\n"
                                                 "      \"Message\": \"Vote now\",\n      \"DisplayTime\": \"ten\"\n"
                                                 "    }\n  }\n}\n";
  const ScenarioRun run = RunScenario("config mistyped.json\nrcon hx.reload\n", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Answers(run), Strings{ReloadFailed});
  EXPECT_EQ(HeraldixLog(run),
            Strings{"error: Failed to reload config: config.json line 5, column 22: "
                    "\"CustomCommands\" > \"/vote\" > \"DisplayTime\": type must be number, but is string"});
}
