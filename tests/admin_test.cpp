// Scenario tests of the administrator commands, on the console and over RCON, through the real plug-in.
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
using heraldix::test::Seen;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
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
const std::string OldSeen =
    "2: server [1 1 1 1] Be nice | 1: chat Bob: /help | 2: chat Bob: /help | 2: server [0 0 1 1] probe | answer "
    "Heraldix: Successfully sent message to player";
const std::string NewSeen =
    "1: chat Bob: /rules | 2: chat Bob: /rules | 2: server [0 0 0 1] Ask an admin | 2: server [1 0 0 1] probe | "
    "answer Heraldix: Successfully sent message to player";

// One line, n times over, joined as Seen joins them.
std::string Repeated(const std::string& line, int n) {
  std::string lines = line;
  for (int i = 1; i < n; ++i) lines += " | " + line;
  return lines;
}

// One administrator's story with Alice (1) and Bob (2) online. Lines starting "> " are the admin's
// commands: run once typed by Alice on the console and once sent over RCON.
struct Story {
  const char* name;
  std::string lines;
  std::string seen;
  std::string_view config = BaseConfig;
};

void Tell(const Story& story) {
  const bool bothChannels = ("\n" + story.lines).find("\n> ") != std::string::npos;
  for (const char* channel : {"console 1 ", "rcon "}) {
    SCOPED_TRACE(std::string(story.name) + (bothChannels ? ", " + std::string(channel) : ""));
    std::string lines = "join 1 Alice\njoin 2 Bob\n" + story.lines + "\n";
    for (std::size_t at; (at = lines.find("\n> ")) != std::string::npos;) lines.replace(at + 1, 2, channel);
    const ServerDir dir(story.config);
    const ScenarioRun run = RunScenario(lines, dir);
    ExpectNoFaults(run);
    // The server directory is a new temporary one each run; the story names it SERVER.
    std::string seen = Seen(run);
    for (std::size_t at; (at = seen.find(dir.Path().string())) != std::string::npos;) {
      seen.replace(at, dir.Path().string().size(), "SERVER");
    }
    EXPECT_EQ(seen, story.seen);
    if (!bothChannels) break;
  }
}

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

TEST(Admin, SendCommandsDeliverWhatTheLineAndTheConfigurationSay) {
  const std::string toPlayer = " | answer " + SentToPlayer;
  const std::string toEveryone = " | answer " + SentToEveryone;
  const std::string failed = "answer " + SendFailed;
  const std::string chatted = " | answer " + Chatted;
  const Story stories[] = {
      {"sendserver to everyone, then to one player in the configured colour",
       "> hx.sendserver 0 \"Hello all\" 255 0 0\n> hx.sendserver 2 \"Hi Bob\"",
       "1: server [1 0 0 1] Hello all | 2: server [1 0 0 1] Hello all" + toEveryone + " | 2: server [0 0 1 1] Hi Bob" +
           toPlayer},
      {"sendchat to everyone, then to one player in the configured colour",
       "> hx.sendchat 0 Admin \"Hi\" 255 255 0\n> hx.sendchat 2 Mod \"Just you\"",
       "1: chat Admin: " + Rich("1, 1, 0, 1", "Hi") + " | 2: chat Admin: " + Rich("1, 1, 0, 1", "Hi") + toEveryone +
           " | 2: chat Mod: " + Rich("1, 0, 1, 1", "Just you") + toPlayer},
      {"sendnotification takes numbers and icon from the line",
       "texture /Game/Icons/Star.Star\n> hx.sendnotification 0 \"Msg\" 2 10 255 255 0 /Game/Icons/Star.Star\n"
       "> hx.sendnotification 2 \"Only Bob\" 1 5 0 0 255 /Game/None",
       "load /Game/Icons/Star.Star | 1: notification [1 1 0 1] scale 2 time 10 icon /Game/Icons/Star.Star Msg | "
       "2: notification [1 1 0 1] scale 2 time 10 icon /Game/Icons/Star.Star Msg" +
           toEveryone + " | load /Game/None | 2: notification [0 0 1 1] scale 1 time 5 Only Bob" + toPlayer},
      {"sendnotification without an icon takes the configured values and asks for no texture",
       "console 1 hx.sendnotification 2 \"Msg\" 2 10 255 255 0",
       "2: notification [0 1 1 1] scale 3 time 12 Msg" + toPlayer},
      {"a bare sendnotification sends an empty notification to everyone, its name for an icon",
       "console 1 hx.sendnotification",
       "load hx.sendnotification | 1: notification [0 1 1 1] scale 3 time 12  | 2: notification [0 1 1 1] scale 3 time "
       "12 " +
           toEveryone},
      {"an empty configuration gives black and zeroes",
       "console 1 hx.sendserver 2 \"s\"\nconsole 1 hx.sendchat 2 Admin \"c\"\n"
       "rcon hx.sendnotification 2 \"n\"\nrcon hx.sendchat 0 \"again\"",
       "2: server [0 0 0 1] s" + toPlayer + " | 2: chat Admin: " + Rich("0, 0, 0, 255", "c") + toPlayer +
           " | load \"n\" | 2: notification [0 0 0 1] scale 0 time 0 n" + toPlayer + " | 1: chat Heraldix: " +
           Rich("0, 0, 0, 255", "again") + " | 2: chat Heraldix: " + Rich("0, 0, 0, 255", "again") + toEveryone,
       "{}"},
      {"configured values of the wrong type fail the command, values the line gives need none",
       "console 1 hx.sendserver 2 \"s\"\nconsole 1 hx.sendchat 2 Admin \"c\"\n"
       "console 1 hx.sendnotification 2 \"n\"\nrcon hx.sendserver 0 \"s\"\nconsole 1 hx.sendserver 2 \"given\" 1 2 3",
       Repeated(failed, 4) + " | 2: server [0.000304 0.000607 0.000911 1] given" + toPlayer,
       R"({"Heraldix": {"ServerMessageColor": "red", "ClientChatColour": [1, 2, 3],
           "NotificationDisplayScale": "big", "NotificationColor": {"R": null}}})"},
      {"a document that is not an object fails every configured read",
       "console 1 hx.sendserver 0 \"s\"\nconsole 1 hx.sendchat 0 A \"c\"\nrcon hx.sendnotification 0 \"n\"",
       "log error: Custom chat commands not registered: config.json line 1, column 1: the top level: type must be "
       "object, but is array | " +
           Repeated(failed, 3),
       "[1, 2]"},
      {"commands typed without an issuer send and answer nothing",
       "console none hx.sendserver 0 \"s\"\nconsole none hx.sendchat 0 A \"c\"\n"
       "console none hx.sendnotification 0 \"n\"\nconsole none hx.chatasplayer 2 0 \"said\"",
       ""},
      {"chatasplayer makes an online player say the line, unformatted, in the mode given",
       "> hx.chatasplayer 2 0 \"hello all\"\n> hx.chatasplayer 2 3 \"{not formatted} 100%\"",
       "say from 2 mode 0: hello all | 1: chat Bob: hello all | 2: chat Bob: hello all" + chatted +
           " | say from 2 mode 3: {not formatted} 100% | 1: chat Bob: {not formatted} 100% | "
           "2: chat Bob: {not formatted} 100%" +
           chatted},
  };
  for (const Story& story : stories) Tell(story);
}

TEST(Admin, SendCommandsRefuseWhatTheyCannotDeliverWithOneAnswer) {
  const Story stories[] = {
      {"sendserver",
       "> hx.sendserver 99 \"nobody\"\n"           // not online
       "> hx.sendserver 0\n"                       // no message
       "> hx.sendserver 2 \"\"\n"                  // empty message
       "> hx.sendserver abc \"x\"\n"               // id without digits
       "> hx.sendserver 0 \"x\" 2147483648 0 0\n"  // beyond 32 bits
       "> hx.sendserver 0 \"x\" 0 - 0\n"           // lone sign
       "> hx.sendserver 0 \"a {brace}\"",          // not a format text
       Repeated("answer " + SendFailed, 7)},
      {"sendchat",
       "> hx.sendchat 99 Admin \"nobody\"\n> hx.sendchat 0 Admin\n> hx.sendchat\n> hx.sendchat x Admin \"x\"\n"
       "> hx.sendchat 0 Admin \"x\" 1 2 99999999999\n> hx.sendchat 0 Admin \"{0}\"",
       Repeated("answer " + SendFailed, 6)},
      {"sendnotification",
       "> hx.sendnotification 99 \"nobody\"\n> hx.sendnotification 0 \"x\" 2 ten 1 1 1 icon\n"
       "> hx.sendnotification 0 \"x\" 2147483648 1 1 1 1 icon\n> hx.sendnotification -x \"x\"\n"
       "> hx.sendnotification 0 \"{\"",
       "load \"nobody\" | " + Repeated("answer " + SendFailed, 4) + " | load \"{\" | answer " + SendFailed},
      {"chatasplayer",
       "leave 2\n"
       "> hx.chatasplayer 2 0 \"gone\"\n"    // left
       "> hx.chatasplayer 99 0 \"never\"\n"  // never here
       "> hx.chatasplayer 1 0\n"             // no message
       "> hx.chatasplayer 1 0 \"\"\n"        // empty message
       "> hx.chatasplayer 1\n"               // no send mode
       "> hx.chatasplayer\n> hx.chatasplayer x 0 \"m\"\n> hx.chatasplayer 1 mode \"m\"\n"
       "> hx.chatasplayer 1 2147483648 \"m\"",
       Repeated("answer " + ChatFailed, 9)},
  };
  for (const Story& story : stories) Tell(story);
}

// --- hx.reload -----------------------------------------------------------------------------------

TEST(Admin, ReloadReplacesTheDocumentAndTheChatCommands) {
  const std::string reloaded = "log info: Reloaded config: 1 custom commands, 0 timed messages | answer " + Reloaded;
  const Story stories[] = {
      {"from an admin", ConfigText(NewConfig) + "> hx.reload with ignored words\n" + Probe, reloaded + " | " + NewSeen},
      {"typed by the server, answering nobody", ConfigText(NewConfig) + "console none hx.reload\n" + Probe,
       "log info: Reloaded config: 1 custom commands, 0 timed messages | " + NewSeen},
      {"after a failed one, from the mended file",
       "config-rm\nrcon hx.reload\n" + ConfigText(NewConfig) + "rcon hx.reload\n" + Probe,
       "log error: Failed to reload config: Can't open config.json: SERVER/TarrowApi/Plugins/Heraldix/config.json: No "
       "such file or directory | answer " +
           ReloadFailed + " | " + reloaded + " | " + NewSeen},
      {"counting what it brought",
       ConfigText(R"({"CustomCommands": {"/a": {"Message": "A"}, "/b": {"Message": "B"}, "/skipped": {"Message": ""}},
                     "TimedMessages": {"Messages": [{"MessageToSend": "1"}, {"MessageToSend": "2"}, {}]}})") +
           "rcon hx.reload",
       "log info: Reloaded config: 2 custom commands, 3 timed messages | answer " + Reloaded},
  };
  for (const Story& story : stories) Tell(story);
  // The chat commands go at a reload and come back from the new file, to go again at unload.
  const ServerDir dir(BaseConfig);
  const ScenarioRun run = RunScenario(ConfigText(NewConfig) + "console none hx.reload\n", dir);
  EXPECT_EQ(Texts(run.Traces("RegisterChatCommand"), "args"), (Strings{R"(["/rules"])", R"(["/help"])"}));
  EXPECT_EQ(Texts(run.Traces("UnregisterChatCommand"), "args"), (Strings{R"(["/rules"])", R"(["/help"])"}));
}

TEST(Admin, AFailedReloadChangesNothingAndLogsWhy) {
  const std::string failed = "log error: Failed to reload config: ";
  const std::string kept = " | answer " + ReloadFailed + " | " + OldSeen;
  const std::string type = "config.json line 1, column ";
  const std::string mistyped =
      R"(config.json line 5, column 22: "CustomCommands" > "/vote" > "DisplayTime": type must be number, but is string)";
  // Each document replaces config.json before an admin's reload: it fails for this reason and Bob still sees
  // the configuration as it was.
  const auto failing = [&](const char* name, std::string_view document, const std::string& reason) {
    return Story{name, ConfigText(document) + "> hx.reload\n" + Probe, failed + type + reason + kept};
  };
  const Story stories[] = {
      failing("config.json cut short", R"({"Heraldix": {"ServerMessageColor": {"R": 255}}, "CustomCommands": )",
              "68: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"),
      failing("groups not a list", R"({"CustomCommands": {"/help": {"Message": "x", "RequiredPermissionGroups": 5}}})",
              R"(75: "CustomCommands" > "/help" > "RequiredPermissionGroups": type must be array, but is number)"),
      failing("a group not a string",
              R"({"CustomCommands": {"/help": {"Message": "x", "RequiredPermissionGroups": ["vip", 3]}}})",
              R"(83: "CustomCommands" > "/help" > "RequiredPermissionGroups"[1]: type must be string, but is number)"),
      failing("a channel not a number",
              R"({"CustomCommands": {"/help": {"Message": "x", "MessageColor": [1, 2, "3"]}}})",
              R"(70: "CustomCommands" > "/help" > "MessageColor"[2]: type must be number, but is string)"),
      failing("the section not an object", R"({"CustomCommands": [1]})",
              R"(20: "CustomCommands": type must be object, but is array)"),
      failing("a key written with escapes",
              R"({"CustomCommands": {"/caf\u00E9\u20AC\u0039": {"Message": "x", "DisplayTime": "ten"}}})",
              R"(79: "CustomCommands" > "/café€9" > "DisplayTime": type must be number, but is string)"),
      // The reason is this read's own: what the read before found wrong must not name a place in this one.
      {"a number too large after a document not an object",
       ConfigText("[1]") + "> hx.reload\n" + ConfigText(R"({"a": 1e999})") + "> hx.reload\n" + Probe,
       failed + type + "1: the top level: type must be object, but is array | answer " + ReloadFailed + " | " + failed +
           "number overflow parsing '1e999'" + kept},
      // A file with line ends is named by the line where the mistyped key stands, at load and at reload.
      {"a file as written", "rcon hx.reload",
       "log error: Custom chat commands not registered: " + mistyped + " | " + failed + mistyped + " | answer " +
           ReloadFailed,
       "{\n  \"CustomCommands\": {\n    \"/vote\": {\n      \"Message\": \"Vote now\",\n      \"DisplayTime\": "
       "\"ten\"\n    }\n  }\n}\n"},
  };
  for (const Story& story : stories) Tell(story);
}
