// The plug-in's lifecycle on the simulated server: what Load and Unload ask of the host, and how a
// configuration that cannot be read is reported and contained.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using ScenarioRun = heraldix::test::Run;
using heraldix::test::ExpectNoFaults;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
using nlohmann::json;

constexpr std::string_view ValidConfig = R"({"CustomCommands": {"/help": {"Message": "Hi", "Type": "Server"}}})";

// Every host call that adds (or, with removals, takes away) a command or a hook, as "Call(first argument)".
Strings Calls(const ScenarioRun& run, bool removals = false) {
  Strings calls;
  for (const json& event : run.Of("trace")) {
    const auto call = event.at("call").get<std::string>();
    const bool removal = call.starts_with("Unregister") || call == "RemoveHook";
    const bool addition = (call.starts_with("Register") && call.ends_with("Command")) || call == "InstallHook";
    if (removals ? removal : addition) calls.push_back(call + "(" + event.at("args").at(0).get<std::string>() + ")");
  }
  return calls;
}

Strings HeraldixErrors(const ScenarioRun& run) {
  Strings errors;
  for (const json& record : run.Of("log")) {
    if (record.at("logger") == "Heraldix" && record.at("level") == "error") errors.push_back(record.at("text"));
  }
  return errors;
}

// The admin commands, then the hooks, in the order Load adds them; Unload takes them away in the same order.
const Strings Additions{
    "RegisterConsoleCommand(hx.sendserver)",
    "RegisterConsoleCommand(hx.sendchat)",
    "RegisterConsoleCommand(hx.sendnotification)",
    "RegisterRconCommand(hx.sendserver)",
    "RegisterRconCommand(hx.sendchat)",
    "RegisterRconCommand(hx.sendnotification)",
    "RegisterConsoleCommand(hx.reload)",
    "RegisterRconCommand(hx.reload)",
    "RegisterConsoleCommand(hx.chatasplayer)",
    "RegisterRconCommand(hx.chatasplayer)",
    "InstallHook(AShooterCharacter.PossessedBy)",
    "InstallHook(AGameState.DefaultTimer)",
    "InstallHook(AShooterGameMode.Logout)",
};

// The removal that undoes each addition.
Strings Removals(Strings calls) {
  for (std::string& call : calls)
    call = call.starts_with("Install") ? "RemoveHook" + call.substr(11) : "Unr" + call.substr(1);
  return calls;
}

Strings With(Strings calls, const std::string& last) {
  calls.push_back(last);
  return calls;
}

}  // namespace

TEST(Plugin, LoadRegistersCommandsThenHooksThenChatCommandsAndUnloadRemovesEachOnceInThatOrder) {
  ServerDir dir(ValidConfig);
  const ScenarioRun run = RunScenario("", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Calls(run), With(Additions, "RegisterChatCommand(/help)"));
  EXPECT_EQ(Calls(run, true), With(Removals(Additions), "UnregisterChatCommand(/help)"));
  EXPECT_TRUE(HeraldixErrors(run).empty());
}

TEST(Plugin, AConfigurationThatCannotBeReadIsReportedOnceAndLeavesTheServerWithoutThePlugin) {
  // The one error record says where the file went wrong and what the parser wanted there.
  const char* const directory = "a directory where the file should be";
  const struct {
    const char* text;  // null: no config.json at all
    std::string reason;
  } rows[] = {
      {nullptr, "/TarrowApi/Plugins/Heraldix/config.json: No such file or directory"},
      {directory, "Not loaded, the configuration could not be read: Can't open config.json: "},
      {"",
       "config.json line 1, column 1: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal"},
      {" \r\n\t", "config.json line 2, column 2: syntax error while parsing value"},
      {R"({"CustomCommands": {"/help": )",
       "config.json line 1, column 30: syntax error while parsing value - unexpected end of input"},
      {R"({"Heraldix": {},})",
       "config.json line 1, column 17: syntax error while parsing object key - unexpected '}'; expected string "
       "literal"},
      {"// rules\n{}", "config.json line 1, column 1: syntax error while parsing value"},
      {"{/* rules */}", "config.json line 1, column 2: syntax error while parsing object key"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text == nullptr ? "missing" : row.text);
    ServerDir dir;
    if (row.text == directory) {
      std::filesystem::create_directory(dir.ConfigPath());
    } else if (row.text != nullptr) {
      dir.WriteConfig(row.text);
    }
    const ScenarioRun run = RunScenario("join 1 Alice\nconsole 1 hx.sendserver 0 \"hi\"\nchat 1 /help\nwait 10\n", dir);
    ExpectNoFaults(run);
    const Strings errors = HeraldixErrors(run);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_NE(errors[0].find(row.reason), std::string::npos) << errors[0];
    if (row.text == directory) {
      EXPECT_EQ(errors[0], row.reason + dir.ConfigPath().string() + ": it is a directory");
    }
    EXPECT_TRUE(Calls(run).empty()) << "nothing is registered after a failed read";
    EXPECT_TRUE(run.Of("server").empty()) << "the admin command is not there";
    EXPECT_EQ(Texts(run.To("1", "chat")), Strings{"/help"}) << "the chat line is only plain chat";
    // Unload still asks for every removal once; the host accepts removing what was never added.
    EXPECT_EQ(Calls(run, true), Removals(Additions));
  }
}

TEST(Plugin, FilesWithAByteOrderMarkCrlfLineEndsOrTextAfterTheFirstValueLoad) {
  for (const std::string& text :
       {"\xEF\xBB\xBF" + std::string(ValidConfig),
        std::string("{\r\n  \"CustomCommands\": {\r\n    \"/help\": {\"Message\": \"Hi\", \"Type\": \"Server\"}\r\n  "
                    "}\r\n}\r\n"),
        std::string(ValidConfig) + "\nnotes: not JSON {", std::string(ValidConfig) + R"({"CustomCommands": {}})"}) {
    SCOPED_TRACE(text);
    ServerDir dir(text);
    const ScenarioRun run = RunScenario("join 1 Alice\nchat 1 /help\n", dir);
    ExpectNoFaults(run);
    EXPECT_TRUE(HeraldixErrors(run).empty());
    EXPECT_EQ(Texts(run.To("1", "server")), Strings{"Hi"});
  }
}

TEST(Plugin, ABrokenCustomCommandSectionLeavesTheRestOfLoad) {
  ServerDir dir(R"({"CustomCommands": {"/help": "not an object"},
                    "Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}})");
  const ScenarioRun run = RunScenario("join 1 Alice\nwait 6\nconsole 1 hx.sendserver 0 \"hi\" 1 2 3\n", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(HeraldixErrors(run), Strings{"Custom chat commands not registered: config.json line 1, column 30: "
                                         "\"CustomCommands\" > \"/help\": type must be object, but is string"});
  EXPECT_EQ(Calls(run), Additions);
  EXPECT_EQ(run.To("1", "chat").size(), 1U) << "the welcome hook works";
  EXPECT_EQ(run.To("1", "server").size(), 2U) << "the admin command and its reply";
}
