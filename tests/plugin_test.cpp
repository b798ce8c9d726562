// The plug-in's lifecycle on the simulated server: what Load and Unload ask of the host, and how a
// configuration that cannot be read is reported and contained.
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Expect.h"

namespace {

using ScenarioRun = heraldix::test::Run;
using heraldix::test::ExpectNoFaults;
using heraldix::test::RunScenario;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;

constexpr std::string_view ValidConfig = R"({"CustomCommands": {"/help": {"Message": "Hi", "Type": "Server"}}})";

// Every host call that adds (or, with removals, takes away) a command or a hook, as "Call(first argument)",
// separated by spaces.
std::string Calls(const ScenarioRun& run, bool removals = false) {
  std::string calls;
  for (const nlohmann::json& event : run.Of("trace")) {
    const auto call = event.at("call").get<std::string>();
    const bool removal = call.starts_with("Unregister") || call == "RemoveHook";
    const bool addition = (call.starts_with("Register") && call.ends_with("Command")) || call == "InstallHook";
    if (removals ? removal : addition)
      calls += (calls.empty() ? "" : " ") + call + "(" + event.at("args").at(0).get<std::string>() + ")";
  }
  return calls;
}

Strings HeraldixErrors(const ScenarioRun& run) {
  Strings errors;
  for (const nlohmann::json& record : run.Of("log")) {
    if (record.at("logger") == "Heraldix" && record.at("level") == "error") errors.push_back(record.at("text"));
  }
  return errors;
}

// The admin commands, then the hooks, in the order Load adds them; Unload takes them away in the same order.
const std::string Additions =
    "RegisterConsoleCommand(hx.sendserver) RegisterConsoleCommand(hx.sendchat) "
    "RegisterConsoleCommand(hx.sendnotification) RegisterRconCommand(hx.sendserver) RegisterRconCommand(hx.sendchat) "
    "RegisterRconCommand(hx.sendnotification) RegisterConsoleCommand(hx.reload) RegisterRconCommand(hx.reload) "
    "RegisterConsoleCommand(hx.chatasplayer) RegisterRconCommand(hx.chatasplayer) "
    "RegisterConsoleCommand(hx.countdown) RegisterRconCommand(hx.countdown) "
    "InstallHook(AShooterCharacter.PossessedBy) InstallHook(AGameState.DefaultTimer) "
    "InstallHook(AShooterGameMode.Logout)";

// The removal that undoes each addition.
std::string Removals(std::string calls) {
  const std::pair<std::string_view, std::string_view> undo[] = {{"Register", "Unregister"},
                                                                {"InstallHook", "RemoveHook"}};
  for (const auto& [from, to] : undo) {
    for (auto at = calls.find(from); at != std::string::npos; at = calls.find(from, at + to.size())) {
      calls.replace(at, from.size(), to);
    }
  }
  return calls;
}

}  // namespace

TEST(Plugin, LoadRegistersCommandsThenHooksThenChatCommandsAndUnloadRemovesEachOnceInThatOrder) {
  ServerDir dir(ValidConfig);
  const ScenarioRun run = RunScenario("", dir);
  ExpectNoFaults(run);
  EXPECT_EQ(Calls(run), Additions + " RegisterChatCommand(/help)");
  EXPECT_EQ(Calls(run, true), Removals(Additions) + " UnregisterChatCommand(/help)");
  EXPECT_TRUE(HeraldixErrors(run).empty());
}

TEST(Plugin, AConfigurationThatCannotBeReadIsReportedOnceAndLeavesTheServerWithoutThePlugin) {
  // The one error record says where the file went wrong and what the parser wanted there.
  const char* const directory = "a directory where the file should be";
  const std::pair<const char*, std::string> rows[] = {
      {nullptr, "/TarrowApi/Plugins/Heraldix/config.json: No such file or directory"},  // no config.json at all
      {directory, "Not loaded, the configuration could not be read: Can't open config.json: "},
      {" \r\n\t", "config.json line 2, column 2: syntax error while parsing value"},
      {R"({"CustomCommands": {"/help": )",
       "config.json line 1, column 30: syntax error while parsing value - unexpected end of input"},
      {"// rules\n{}", "config.json line 1, column 1: syntax error while parsing value"},
  };
  for (const auto& [text, reason] : rows) {
    SCOPED_TRACE(text == nullptr ? "missing" : text);
    ServerDir dir;
    if (text == directory) std::filesystem::create_directory(dir.ConfigPath());
    if (text != nullptr && text != directory) dir.WriteConfig(text);
    const ScenarioRun run = RunScenario("join 1 Alice\nconsole 1 hx.sendserver 0 \"hi\"\nchat 1 /help\nwait 10\n", dir);
    ExpectNoFaults(run);
    const Strings errors = HeraldixErrors(run);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_NE(errors[0].find(reason), std::string::npos) << errors[0];
    if (text == directory) {
      EXPECT_EQ(errors[0], reason + dir.ConfigPath().string() + ": it is a directory");
    }
    EXPECT_EQ(Calls(run), "") << "nothing is registered after a failed read";
    EXPECT_TRUE(run.Of("server").empty()) << "the admin command is not there";
    EXPECT_EQ(Texts(run.To("1", "chat")), Strings{"/help"}) << "the chat line is only plain chat";
    // Unload still asks for every removal once; the host accepts removing what was never added.
    EXPECT_EQ(Calls(run, true), Removals(Additions));
  }
}
