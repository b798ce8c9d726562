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
using nlohmann::json;

constexpr std::string_view ValidConfig = R"({"CustomCommands": {"/help": {"Message": "Hi", "Type": "Server"}}})";

// Every host call of one kind, as "Call(first argument)", in the order the host saw them.
std::vector<std::string> Calls(const ScenarioRun& run, std::initializer_list<std::string_view> names) {
  std::vector<std::string> calls;
  for (const json& event : run.events) {
    if (event.at("event") != "trace") continue;
    const auto call = event.at("call").get<std::string>();
    for (std::string_view name : names) {
      if (call == name) calls.push_back(call + "(" + event.at("args").at(0).get<std::string>() + ")");
    }
  }
  return calls;
}

std::vector<std::string> Registrations(const ScenarioRun& run) {
  return Calls(run, {"RegisterConsoleCommand", "RegisterRconCommand", "RegisterChatCommand", "InstallHook"});
}

std::vector<std::string> Removals(const ScenarioRun& run) {
  return Calls(run, {"UnregisterConsoleCommand", "UnregisterRconCommand", "UnregisterChatCommand", "RemoveHook"});
}

std::vector<json> HeraldixErrors(const ScenarioRun& run) {
  std::vector<json> errors;
  for (const json& record : run.Of("log")) {
    if (record.at("logger") == "Heraldix" && record.at("level") == "error") errors.push_back(record);
  }
  return errors;
}

const std::vector<std::string> AdminRegistrations{
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
};
const std::vector<std::string> HookInstalls{
    "InstallHook(AShooterCharacter.PossessedBy)",
    "InstallHook(AGameState.DefaultTimer)",
    "InstallHook(AShooterGameMode.Logout)",
};
const std::vector<std::string> EveryRemoval{
    "UnregisterConsoleCommand(hx.sendserver)",
    "UnregisterConsoleCommand(hx.sendchat)",
    "UnregisterConsoleCommand(hx.sendnotification)",
    "UnregisterRconCommand(hx.sendserver)",
    "UnregisterRconCommand(hx.sendchat)",
    "UnregisterRconCommand(hx.sendnotification)",
    "UnregisterConsoleCommand(hx.reload)",
    "UnregisterRconCommand(hx.reload)",
    "UnregisterConsoleCommand(hx.chatasplayer)",
    "UnregisterRconCommand(hx.chatasplayer)",
    "RemoveHook(AShooterCharacter.PossessedBy)",
    "RemoveHook(AGameState.DefaultTimer)",
    "RemoveHook(AShooterGameMode.Logout)",
};

// --- Load and Unload with a good configuration ----------------------------------------------------

TEST(Plugin, LoadRegistersCommandsThenHooksThenChatCommandsAndUnloadRemovesEachOnceInThatOrder) {
  ServerDir dir(ValidConfig);
  const ScenarioRun run = RunScenario("", dir);
  ExpectNoFaults(run);
  std::vector<std::string> expected = AdminRegistrations;
  expected.insert(expected.end(), HookInstalls.begin(), HookInstalls.end());
  expected.push_back("RegisterChatCommand(/help)");
  EXPECT_EQ(Registrations(run), expected);
  expected = EveryRemoval;
  expected.push_back("UnregisterChatCommand(/help)");
  EXPECT_EQ(Removals(run), expected);
  EXPECT_TRUE(HeraldixErrors(run).empty());
}

TEST(Plugin, ReloadingTheLibraryStartsAfresh) {
  ServerDir dir(ValidConfig);
  const ScenarioRun run = RunScenario("join 1 Alice\nunload\nchat 1 /help\nload\nchat 1 /help\n", dir);
  ExpectNoFaults(run);
  // Between unload and load the line is plain chat; after load the command answers again.
  EXPECT_EQ(run.To("1", "server").size(), 1U);
  EXPECT_EQ(run.To("1", "chat").size(), 1U);
}

// --- A configuration that cannot be read -----------------------------------------------------------

struct BrokenConfig {
  const char* name;
  const char* text;  // null: no config.json at all
  const char* reason;
};

class PluginBrokenConfig : public testing::TestWithParam<BrokenConfig> {};

TEST_P(PluginBrokenConfig, IsReportedOnceAndLeavesTheServerWithoutThePlugin) {
  ServerDir dir;
  if (GetParam().text != nullptr) dir.WriteConfig(GetParam().text);
  const ScenarioRun run = RunScenario("join 1 Alice\nconsole 1 hx.sendserver 0 \"hi\"\nchat 1 /help\nwait 10\n", dir);
  ExpectNoFaults(run);

  const auto errors = HeraldixErrors(run);
  ASSERT_EQ(errors.size(), 1U);
  EXPECT_NE(errors[0].at("text").get<std::string>().find(GetParam().reason), std::string::npos) << errors[0].at("text");
  EXPECT_TRUE(Registrations(run).empty()) << "nothing is registered after a failed read";
  EXPECT_TRUE(run.Of("server").empty()) << "the admin command is not there";
  EXPECT_EQ(run.To("1", "chat").size(), 1U) << "the chat line is only plain chat";
  // Unload still asks for every removal once; the host accepts removing what was never added.
  EXPECT_EQ(Removals(run), EveryRemoval);
}

// The one error record says where the file went wrong and what the parser wanted there.
INSTANTIATE_TEST_SUITE_P(
    Reasons, PluginBrokenConfig,
    testing::Values(
        BrokenConfig{"Missing", nullptr, "/TarrowApi/Plugins/Heraldix/config.json: No such file or directory"},
        BrokenConfig{"Empty", "",
                     "config.json line 1, column 1: syntax error while parsing value - unexpected end of input; "
                     "expected '[', '{', or a literal"},
        BrokenConfig{"OnlyWhitespace", " \r\n\t", "config.json line 2, column 2: syntax error while parsing value"},
        BrokenConfig{"Malformed", R"({"CustomCommands": {"/help": )",
                     "config.json line 1, column 30: syntax error while parsing value - unexpected end of input"},
        BrokenConfig{"TrailingComma", R"({"Heraldix": {},})",
                     "config.json line 1, column 17: syntax error while parsing object key - unexpected '}'; "
                     "expected string literal"},
        BrokenConfig{"LineComment", "// rules\n{}", "config.json line 1, column 1: syntax error while parsing value"},
        BrokenConfig{"BlockComment", "{/* rules */}",
                     "config.json line 1, column 2: syntax error while parsing object key"}),
    [](const testing::TestParamInfo<BrokenConfig>& test) { return std::string(test.param.name); });

TEST(Plugin, AMissingConfigurationDirectoryIsReportedLikeAMissingFile) {
  ServerDir dir;
  dir.WriteConfig("{}");
  std::filesystem::remove(dir.ConfigPath());
  std::filesystem::create_directory(dir.ConfigPath());  // a directory where the file should be
  const ScenarioRun run = RunScenario("", dir);
  ExpectNoFaults(run);
  ASSERT_EQ(HeraldixErrors(run).size(), 1U);
  EXPECT_EQ(HeraldixErrors(run)[0].at("text"),
            "Not loaded, the configuration could not be read: Can't open config.json: " + dir.ConfigPath().string() +
                ": it is a directory");
}

// --- Files that load ------------------------------------------------------------------------------

struct LoadableConfig {
  const char* name;
  std::string text;
};

class PluginLoadableConfig : public testing::TestWithParam<LoadableConfig> {};

TEST_P(PluginLoadableConfig, LoadsAndServesItsCommands) {
  ServerDir dir(GetParam().text);
  const ScenarioRun run = RunScenario("join 1 Alice\nchat 1 /help\n", dir);
  ExpectNoFaults(run);
  EXPECT_TRUE(HeraldixErrors(run).empty());
  ASSERT_EQ(run.To("1", "server").size(), 1U);
  EXPECT_EQ(run.To("1", "server")[0].at("text"), "Hi");
}

INSTANTIATE_TEST_SUITE_P(
    Files, PluginLoadableConfig,
    testing::Values(LoadableConfig{"ByteOrderMark", "\xEF\xBB\xBF" + std::string(ValidConfig)},
                    LoadableConfig{"CrlfLineEnds",
                                   "{\r\n  \"CustomCommands\": {\r\n    \"/help\": {\"Message\": \"Hi\","
                                   " \"Type\": \"Server\"}\r\n  }\r\n}\r\n"},
                    LoadableConfig{"TextAfterTheFirstValue", std::string(ValidConfig) + "\nnotes: not JSON {"},
                    LoadableConfig{"SecondValueAfterTheFirst", std::string(ValidConfig) + R"({"CustomCommands": {}})"}),
    [](const testing::TestParamInfo<LoadableConfig>& test) { return std::string(test.param.name); });

// --- A broken custom-command section --------------------------------------------------------------

TEST(Plugin, ABrokenCustomCommandSectionLeavesTheRestOfLoad) {
  ServerDir dir(R"({"CustomCommands": {"/help": "not an object"},
                    "Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}})");
  const ScenarioRun run = RunScenario("join 1 Alice\nwait 6\nconsole 1 hx.sendserver 0 \"hi\" 1 2 3\n", dir);
  ExpectNoFaults(run);
  ASSERT_EQ(HeraldixErrors(run).size(), 1U);
  EXPECT_EQ(HeraldixErrors(run)[0].at("text"),
            "Custom chat commands not registered: config.json line 1, column 30: "
            "\"CustomCommands\" > \"/help\": type must be object, but is string");
  std::vector<std::string> expected = AdminRegistrations;
  expected.insert(expected.end(), HookInstalls.begin(), HookInstalls.end());
  EXPECT_EQ(Registrations(run), expected);
  EXPECT_EQ(run.To("1", "chat").size(), 1U) << "the welcome hook works";
  EXPECT_EQ(run.To("1", "server").size(), 2U) << "the admin command and its reply";
}

}  // namespace
