// Tests of the configuration checker: its reading, its rules, the places it gives, and its corpus.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/PositionIndex.h"
#include "sim/check/Checker.h"
#include "tests/support/SimProcess.h"
#include "tests/support/Support.h"

namespace {

using heraldix::check::CheckConfigFile;
using heraldix::check::CheckConfigText;
using heraldix::check::Problem;
using heraldix::check::Report;
using heraldix::check::Severity;
using heraldix::config::PositionIndex;

std::vector<Problem> WithCode(const Report& report, std::string_view code) {
  std::vector<Problem> found;
  for (const Problem& problem : report.problems) {
    if (problem.code == code) found.push_back(problem);
  }
  return found;
}

// The one problem of this code at this pointer; fails the test when there is not exactly one.
Problem One(const Report& report, std::string_view code, std::string_view pointer) {
  std::vector<Problem> found;
  for (const Problem& problem : report.problems) {
    if (problem.code == code && problem.pointer == pointer) found.push_back(problem);
  }
  EXPECT_EQ(found.size(), 1u) << "code " << code << " at " << pointer << " in:\n"
                              << heraldix::check::FormatReport(report, "config.json");
  return found.empty() ? Problem{} : found.front();
}

std::string Command(std::string_view body) {
  return std::string(R"({"CustomCommands": {"/help": {"Message": "Hi", "MessageColor": [0, 255, 0], )") +
         std::string(body) + "}}}";
}

// Timed messages and welcomes with a colour unless the case gives one: a colour left out is a warning.
std::string Timed(std::string_view message) {
  std::string messages = "[" + std::string(message) + "]";
  if (messages.find("\"MessageColour\"") == std::string::npos) {
    const auto list = nlohmann::json::parse(messages, nullptr, false);
    if (list.is_array() && !list.empty() && list[0].is_object()) {
      auto coloured = list;
      for (auto& each : coloured) {
        if (each.is_object()) each["MessageColour"] = {{"R", 0}, {"G", 255}, {"B", 0}};
      }
      messages = coloured.dump();
    }
  }
  return std::string(R"({"TimedMessages": {"Enabled": true, "Interval": 60, "Messages": )") + messages + "}}";
}

std::string Welcome(std::string_view body, bool placeholders = false) {
  const std::string colour =
      body.find("WelcomeMessageColour") == std::string_view::npos ? R"("WelcomeMessageColour": {"G": 255}, )" : "";
  return std::string(R"({"Heraldix": {"ClientChatColour": {"G": 255}, "ServerMessageColor": {"G": 255}, )") +
         (placeholders ? R"("Placeholders": true, )" : "") +
         std::string(R"("NotificationColor": {"G": 255}, "WelcomeMessage": {"EnableWelcomeMessage": true, )") + colour +
         std::string(body) + "}}}";
}

// Top-level members beside a "Heraldix" section that turns placeholders on.
std::string WithPlaceholders(std::string_view members) {
  return std::string(R"({"Heraldix": {"Placeholders": true, "ClientChatColour": {"G": 255}, )"
                     R"("ServerMessageColor": {"G": 255}, "NotificationColor": {"G": 255}}, )") +
         std::string(members) + "}";
}

// ---------------------------------------------------------------------------------------------------
// Reading the file as the plug-in reads it

TEST(Check, ParseErrorsAreErrorsWithTheirPlace) {
  const Report empty = CheckConfigText("");
  EXPECT_EQ(empty.ExitStatus(), 2);
  ASSERT_EQ(empty.problems.size(), 1u);
  EXPECT_EQ(empty.problems[0].code, "parse");

  const Report comment = CheckConfigText("{\n  // note\n  \"Heraldix\": {}\n}");
  ASSERT_EQ(comment.problems.size(), 1u);
  EXPECT_EQ(comment.problems[0].line, 2u);
  EXPECT_EQ(comment.problems[0].column, 3u);
  EXPECT_NE(comment.problems[0].message.find("comments are not allowed"), std::string::npos);

  const Report comma = CheckConfigText("{\"NoPermission\": \"No.\",\n}");
  ASSERT_EQ(comma.problems.size(), 1u);
  EXPECT_EQ(comma.problems[0].line, 1u);  // where the comma to remove is
  EXPECT_NE(comma.problems[0].message.find("comma"), std::string::npos);

  // The library counts the byte-order mark; an editor shows no column for it.
  const Report marked = CheckConfigText("\xEF\xBB\xBF{,}");
  ASSERT_EQ(marked.problems.size(), 1u);
  EXPECT_EQ(marked.problems[0].column, 2u);

  const Report overflow = CheckConfigText("{\"TimedMessages\": {\"Interval\": 1e400}}");
  EXPECT_EQ(overflow.ExitStatus(), 2);
}

TEST(Check, MissingFileIsAnError) {
  const Report report = CheckConfigFile("/nonexistent/heraldix/config.json");
  EXPECT_EQ(report.ExitStatus(), 2);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0].code, "open");
  EXPECT_EQ(CheckConfigFile(std::filesystem::temp_directory_path()).ExitStatus(), 2);
}

// ---------------------------------------------------------------------------------------------------
// Each mistake once, at its place

TEST(Check, EachMistakeIsReportedOnceAtItsPlace) {
  struct Row {
    std::string config;
    const char* code;
    const char* pointer;
    const char* says = "";  // part of the message
    std::optional<Severity> severity{};
    std::size_t line = 0;  // and column, where the case is about the place
    std::size_t column = 0;
  };
  const Row rows[] = {
      // The document: one object, and nothing after it but white space.
      {"[]", "document", "", "", Severity::Error},
      {"null", "document", ""},
      {"5", "document", ""},
      {"\"text\"", "document", ""},
      {"true", "document", ""},
      {"{}\n} left over", "trailing-text", "", "", Severity::Warning, 2, 1},
      {"{\n  \"TimedMessages\": {\n    \"Interval\":   0\n  }\n}\n",
       "interval",
       "/TimedMessages/Interval",
       "",
       {},
       3,
       19},
      // Wrong JSON types, where the plug-in reads them: errors.
      {Welcome(R"("Message": 5)"), "type", "/Heraldix/WelcomeMessage/Message", "", Severity::Error},
      {R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": 1}}})", "type",
       "/Heraldix/WelcomeMessage/EnableWelcomeMessage"},
      {R"({"Heraldix": []})", "type", "/Heraldix"},
      {R"({"Heraldix": {"WelcomeMessage": null}})", "type", "/Heraldix/WelcomeMessage"},
      {R"({"Heraldix": {"NotificationDisplayTime": "5"}})", "type", "/Heraldix/NotificationDisplayTime"},
      {R"({"NoPermission": null})", "type", "/NoPermission"},
      {R"({"TimedMessages": "on"})", "type", "/TimedMessages"},
      {R"({"TimedMessages": {"Enabled": "true"}})", "type", "/TimedMessages/Enabled"},
      {Command(R"("Sender": ["Admin"])"), "type", "/CustomCommands/~1help/Sender"},
      {Command(R"("DisplayScale": "2")"), "type", "/CustomCommands/~1help/DisplayScale"},
      {Timed(R"({"MessageToSend": "Hi", "Icon_BP": 3})"), "type", "/TimedMessages/Messages/0/Icon_BP"},
      // List elements and colour members.
      {Command(R"("RequiredPermissionGroups": ["VIP", null])"), "type",
       "/CustomCommands/~1help/RequiredPermissionGroups/1"},
      {Command(R"("RequiredPermissionGroups": "VIP")"), "type", "/CustomCommands/~1help/RequiredPermissionGroups"},
      {R"({"CustomCommands": {"/x": {"Message": "Hi", "MessageColor": [1, 2, "3"]}}})", "type",
       "/CustomCommands/~1x/MessageColor/2"},
      {R"({"CustomCommands": {"/x": {"Message": "Hi", "MessageColor": {"R": 1}}}})", "type",
       "/CustomCommands/~1x/MessageColor"},
      {R"({"Heraldix": {"NotificationColor": {"R": 1, "G": [2], "B": 3}}})", "type", "/Heraldix/NotificationColor/G"},
      {R"({"Heraldix": {"ClientChatColour": [255, 0, 0]}})", "type", "/Heraldix/ClientChatColour"},
      {Timed(R"({"MessageToSend": "Hi", "Exclude_Permissions_Groups": [1]})"), "type",
       "/TimedMessages/Messages/0/Exclude_Permissions_Groups/0"},
      {Timed(R"({"MessageToSend": "Hi", "MessageColour": {"B": "0"}})"), "type",
       "/TimedMessages/Messages/0/MessageColour/B"},
      // Numbers: booleans read as numbers, fractions and 64-bit values cut.
      {Command(R"("Type": "Notification", "DisplayTime": true, "DisplayScale": 1)"), "boolean-number",
       "/CustomCommands/~1help/DisplayTime"},
      {R"({"TimedMessages": {"Interval": 2.7}})", "integer", "/TimedMessages/Interval", "2"},
      {R"({"TimedMessages": {"Interval": 4294967356}})", "integer", "/TimedMessages/Interval", "reads as 60"},
      // The custom-command section.
      {R"({"CustomCommands": [{"Message": "Hi"}]})", "type", "/CustomCommands"},
      {R"({"CustomCommands": "/help"})", "type", "/CustomCommands"},
      {R"({"CustomCommands": {"/help": "Hi"}})", "type", "/CustomCommands/~1help"},
      // A skipped command still gets its type errors.
      {R"({"CustomCommands": {"/a": {"Message": "", "Type": 3}}})", "type", "/CustomCommands/~1a/Type"},
      {R"({"CustomCommands": {"": {"Message": "x", "MessageColor": [1, 2, 3]}}})", "unreachable-command",
       "/CustomCommands/"},
      // Kinds that send nothing or fall back.
      {Command(R"("Type": "server")"), "no-reply-type", "/CustomCommands/~1help/Type", "did you mean \"Server\"?",
       Severity::Warning},
      {Timed(R"({"MessageToSend": "Hi", "MessageType": "chat"})"), "no-send-type",
       "/TimedMessages/Messages/0/MessageType"},
      // "Client" is no welcome kind: it falls back to Chat.
      {Welcome(R"("WelcomeMessageType": "Client")"), "fallback-type", "/Heraldix/WelcomeMessage/WelcomeMessageType"},
      // Notifications that vanish; a welcome or timed notification has working defaults.
      {Command(R"("Type": "Notification", "DisplayTime": 5, "DisplayScale": -1)"), "display",
       "/CustomCommands/~1help/DisplayScale"},
      {Welcome(R"("WelcomeMessageType": "Notification", "NotificationDisplayTime": 0)"), "display",
       "/Heraldix/WelcomeMessage/NotificationDisplayTime"},
      {R"({"Heraldix": {"NotificationDisplayScale": 0}})", "display", "/Heraldix/NotificationDisplayScale"},
      // Delivered texts keep only doubled braces.
      {R"({"NoPermission": "{0}"})", "brace", "/NoPermission", "", Severity::Error},
      {R"({"NoPermission": "{}"})", "brace", "/NoPermission", "", Severity::Error},
      {R"({"NoPermission": "{name}"})", "brace", "/NoPermission", "", Severity::Error},
      {R"({"NoPermission": "}"})", "brace", "/NoPermission", "", Severity::Error},
      {R"({"NoPermission": "{"})", "brace", "/NoPermission", "", Severity::Error},
      {R"({"NoPermission": "a { b"})", "brace", "/NoPermission", "", Severity::Error},
      {R"({"CustomCommands": {"/x": {"Message": "Hi {x}", "MessageColor": [1, 2, 3]}}})", "brace",
       "/CustomCommands/~1x/Message"},
      {Timed(R"({"MessageToSend": "50} off"})"), "brace", "/TimedMessages/Messages/0/MessageToSend"},
      // Placeholders: the switch, names near one, and names written while they are off.
      {R"({"Heraldix": {"Placeholders": 1}})", "type", "/Heraldix/Placeholders", "placeholders stay off",
       Severity::Error},
      {WithPlaceholders(R"("NoPermission": "Hi {player}")"), "brace", "/NoPermission", "did you mean {Player}?",
       Severity::Error},
      {WithPlaceholders(R"("NoPermission": "{Players_Online} online")"), "brace", "/NoPermission",
       "did you mean {PlayersOnline}?"},
      {WithPlaceholders(
           R"("TimedMessages": {"Messages": [{"MessageToSend": "It is {Tme}", "MessageColour": {"G": 9}}]})"),
       "brace", "/TimedMessages/Messages/0/MessageToSend", "did you mean {Time}?"},
      {WithPlaceholders(R"("NoPermission": "{0}")"), "brace", "/NoPermission", "the placeholders are {Player}, "},
      {R"({"NoPermission": "Hi {Player}"})", "brace", "/NoPermission", "only with \"Placeholders\": true in"},
      {Welcome(R"("Message": "Welcome {Player}")"), "welcome-template", "/Heraldix/WelcomeMessage/Message",
       "only with \"Placeholders\": true in"},
      {Welcome(R"("Message": "Welcome {Date:%Y}")", true), "welcome-template", "/Heraldix/WelcomeMessage/Message",
       "did you mean {Date}?"},
      // The plug-in's texts end at a \u0000; follow-up lines stop after a few in a row.
      {R"({"NoPermission": "No\u0000pe"})", "nul", "/NoPermission", "reads only \"No\"", Severity::Error},
      {R"({"CustomCommands": {"/x": {"Message": "\u0000x", "MessageColor": [1, 2, 3]}}})", "nul",
       "/CustomCommands/~1x/Message", "never registered", Severity::Error},
      {R"({"CustomCommands": {"/a": {"Message": "a", "MessageColor": [1, 2, 3], "Command_To_Execute": "/A b"}}})",
       "follow-up-depth", "/CustomCommands/~1a/Command_To_Execute", "come back round", Severity::Error},
      // What nothing reads yet is a warning saying when it would matter.
      {Timed(R"({"MessageToSend": "x", "MessageType": "Server", "Sender": 5})"), "type",
       "/TimedMessages/Messages/0/Sender", "read only once the kind is", Severity::Warning},
      {Welcome(R"("Icon_BP": 5)"), "type", "/Heraldix/WelcomeMessage/Icon_BP", "\"Notification\"", Severity::Warning},
      {R"({"CustomCommands": {"/x": {"Message": "", "DisplayTime": "x"}}})", "type", "/CustomCommands/~1x/DisplayTime",
       "skipped", Severity::Warning},
      // The welcome template takes the name as its only argument.
      {Welcome(R"("Message": "Welcome {1}")"), "welcome-template", "/Heraldix/WelcomeMessage/Message"},
      {Welcome(R"("Message": "Welcome {name}")"), "welcome-template", "/Heraldix/WelcomeMessage/Message"},
      {Welcome(R"("Message": "Welcome {0:d}")"), "welcome-template", "/Heraldix/WelcomeMessage/Message"},
      {Welcome(R"("Message": "Welcome {0")"), "welcome-template", "/Heraldix/WelcomeMessage/Message"},
      // A doubled brace survives the first pass as a single one, which delivery then rejects.
      {Welcome(R"("Message": "Welcome {{x}}")"), "brace", "/Heraldix/WelcomeMessage/Message"},
      // Colours: channels outside the byte range wrap, short and long arrays, none, an alpha.
      {R"({"Heraldix": {"ServerMessageColor": {"R": 300, "G": 0, "B": 255}}})", "colour-range",
       "/Heraldix/ServerMessageColor/R", "wraps to 44"},
      {R"({"Heraldix": {"ServerMessageColor": {"R": 30, "G": -1, "B": 255}}})", "colour-range",
       "/Heraldix/ServerMessageColor/G", "wraps to 255"},
      {R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [255.9, 256, 0]}}})", "colour-range",
       "/CustomCommands/~1x/MessageColor/1", "wraps to 0"},
      // Beyond 32 bits, a list's channel saturates (it is read through a float) and an object's keeps its low bits.
      {R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [300000000000, 0, 0]}}})", "colour-range",
       "/CustomCommands/~1x/MessageColor/0", "300000000000 wraps to 255"},
      {R"({"Heraldix": {"ServerMessageColor": {"R": 4294967552}}})", "colour-range", "/Heraldix/ServerMessageColor/R",
       "4294967552 wraps to 0"},
      {R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [255]}}})", "colour-short",
       "/CustomCommands/~1x/MessageColor"},
      {R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [1, 2, 3, 4]}}})", "colour-long",
       "/CustomCommands/~1x/MessageColor/3"},
      {R"({"CustomCommands": {"/x": {"Message": "x"}}})", "colour-missing", "/CustomCommands/~1x"},
      {R"({"Heraldix": {"ClientChatColour": {"G": 9}}})", "colour-missing", "/Heraldix"},
      {R"({"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}})", "colour-missing",
       "/Heraldix/WelcomeMessage"},
      {R"({"TimedMessages": {"Messages": [{"MessageToSend": "x"}]}})", "colour-missing", "/TimedMessages/Messages/0"},
      {R"({"Heraldix": {"ClientChatColour": {"R": 1, "A": 0}}})", "unknown-key", "/Heraldix/ClientChatColour/A",
       "alpha"},
      // Colours of zeroes and ones are ambiguous; 257 cuts to 1: what counts is the byte the plug-in ends up with.
      {R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [1, 0, 0]}}})", "colour-tiny",
       "/CustomCommands/~1x/MessageColor"},
      {R"({"Heraldix": {"ClientChatColour": {"R": 1, "G": 1, "B": 1}}})", "colour-tiny", "/Heraldix/ClientChatColour"},
      {Timed(R"({"MessageToSend": "x", "MessageColour": {"R": 257}})"), "colour-tiny",
       "/TimedMessages/Messages/0/MessageColour"},
      // An interval of zero or less sends every second.
      {R"({"TimedMessages": {"Interval": 0}})", "interval", "/TimedMessages/Interval"},
      {R"({"TimedMessages": {"Interval": -30}})", "interval", "/TimedMessages/Interval"},
      {R"({"TimedMessages": {"Interval": 0.5}})", "interval", "/TimedMessages/Interval"},
      {R"({"TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "x"}]}})", "interval", "/TimedMessages"},
      // The timed-message list.
      {R"({"TimedMessages": {"Enabled": true, "Interval": 5}})", "no-messages", "/TimedMessages"},
      {R"({"TimedMessages": {"Enabled": true, "Interval": 5, "Messages": null}})", "no-messages",
       "/TimedMessages/Messages"},
      {R"({"TimedMessages": {"Messages": "x"}})", "type", "/TimedMessages/Messages"},
      {Timed(R"("x")"), "type", "/TimedMessages/Messages/0"},
      {Timed(
           R"({"MessageToSend": "Hi", "Only_Send_To_Permission_Groups": ["A"], "Exclude_Permissions_Groups": ["B"]})"),
       "exclusion-ignored", "/TimedMessages/Messages/0/Exclude_Permissions_Groups"},
      {Timed(R"({"MessageToSend": ""})"), "empty-text", "/TimedMessages/Messages/0/MessageToSend"},
      // Player counts, rotation and scheduled messages.
      {Timed(R"({"MessageToSend": "x", "Min_Players_Online": "2"})"), "type",
       "/TimedMessages/Messages/0/Min_Players_Online"},
      {Timed(R"({"MessageToSend": "x", "Min_Players_Online": 20, "Max_Players_Online": 10})"), "player-count",
       "/TimedMessages/Messages/0/Min_Players_Online", "never sent", Severity::Warning},
      {R"({"TimedMessages": {"Order": "sequential"}})", "order", "/TimedMessages/Order", "Sequential",
       Severity::Warning},
      {R"({"TimedMessages": {"Order": 1}})", "type", "/TimedMessages/Order"},
      {R"({"TimedMessages": {"Skip_Unreceivable": "yes"}})", "type", "/TimedMessages/Skip_Unreceivable"},
      {R"({"ScheduledMessages": []})", "type", "/ScheduledMessages"},
      {R"({"ScheduledMessages": {"Enabled": true}})", "no-messages", "/ScheduledMessages"},
      {R"({"ScheduledMessages": {"Messages": [{"MessageToSend": "x", "At": ["25:61"]}]}})", "schedule-time",
       "/ScheduledMessages/Messages/0/At/0", "\"25:61\" is no time of day", Severity::Error},
      {R"({"ScheduledMessages": {"Messages": [{"MessageToSend": "x", "At": ["05:50"], "Days": ["Mon "]}]}})",
       "schedule-day", "/ScheduledMessages/Messages/0/Days/0", "did you mean \"Mon\"?", Severity::Error},
      {R"({"ScheduledMessages": {"Messages": [{"MessageToSend": "x", "At": "05:50"}]}})", "type",
       "/ScheduledMessages/Messages/0/At"},
      {R"({"ScheduledMessages": {"Messages": [{"MessageToSend": "x"}]}})", "no-time", "/ScheduledMessages/Messages/0"},
      {R"({"ScheduledMessages": {"Messages": [{"MessageToSend": "x", "At": ["05:50"], "Interval": 5}]}})",
       "unknown-key", "/ScheduledMessages/Messages/0/Interval"},
      // Unknown keys near a known one, or known in another place, say which.
      {Command(R"("MessageColour": [1, 2, 3])"), "unknown-key", "/CustomCommands/~1help/MessageColour",
       "did you mean \"MessageColor\"?"},
      {Timed(R"({"MessageToSend": "x", "MessageColor": {"R": 1}})"), "unknown-key",
       "/TimedMessages/Messages/0/MessageColor", "did you mean \"MessageColour\"?"},
      {Command(R"("type": "Server")"), "unknown-key", "/CustomCommands/~1help/type", "\"Type\""},
      {R"({"Heraldix": {"EnableWelcomeMessage": true}})", "unknown-key", "/Heraldix/EnableWelcomeMessage",
       "belongs in \"Heraldix\" > \"WelcomeMessage\""},
      // Names players cannot type: the message says what the game takes as the command, at the name.
      {R"({"CustomCommands": {"/server info": {"Message": "x", "MessageColor": [1, 2, 3]}}})", "unreachable-command",
       "/CustomCommands/~1server info", "\"/server\"", Severity::Warning, 1, 21},
      {"{\"CustomCommands\": {\"/r\xC3\xA8gle\": {\"Message\": \"x\", \"MessageColor\": [1, 2, 3]}}}",
       "unreachable-command", "/CustomCommands/~1r\xC3\xA8gle", "\"/r??gle\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.config);
    const Problem problem = One(CheckConfigText(row.config), row.code, row.pointer);
    EXPECT_NE(problem.message.find(row.says), std::string::npos) << problem.message;
    if (row.severity) {
      EXPECT_EQ(problem.severity, *row.severity);
    }
    if (row.line != 0) {
      EXPECT_EQ(problem.line, row.line);
      EXPECT_EQ(problem.column, row.column);
    }
  }
}

TEST(Check, WhatThePluginReadsAsMeantIsClean) {
  const std::string clean[] = {
      "{}",
      "\xEF\xBB\xBF{\"NoPermission\": \"No.\"}",
      "{}  \r\n\t",
      R"({"$schema": "./config.schema.json"})",  // for editors; the plug-in never reads it
      Command(R"("Type": "Notification", "DisplayTime": 5.5, "DisplayScale": 2)"),
      R"({"CustomCommands": null})",
      R"({"CustomCommands": []})",
      R"({"CustomCommands": {}})",
      Command(R"("Type": "Chat")"),
      Command(R"("Type": "Client")"),
      Command(R"("Type": "Server")"),
      Timed(R"({"MessageToSend": "Hi", "MessageType": "Client"})"),
      Welcome(R"("WelcomeMessageType": "Notification")"),
      Command(R"("DisplayTime": 0)"),  // chat replies take no display numbers
      R"({"NoPermission": "100%"})",
      R"({"NoPermission": "{{ok}}"})",
      R"({"NoPermission": "a }} b {{"})",
      Welcome(R"("Message": "Welcome {0}")"),
      Welcome(R"("Message": "Welcome {}")"),
      Welcome(R"("Message": "Hi {0}, {0}!")"),
      Welcome(R"("Message": "Welcome {0:>12}")"),
      Welcome(R"("Message": "Braces {{{{x}}}}")"),
      Welcome(R"("Message": "No name")"),
      R"({"Heraldix": {"ClientChatColour": {"R": 0, "G": 0, "B": 0}, "ServerMessageColor": {"G": 9}, "NotificationColor": {"G": 9}}})",
      R"({"Heraldix": {"ClientChatColour": {"R": 1, "G": 2}, "ServerMessageColor": {"G": 9}, "NotificationColor": {"G": 9}}})",
      R"({"TimedMessages": {"Enabled": false}})",
      Timed(R"({"MessageToSend": "x"})"),
      R"({"TimedMessages": {"Enabled": false, "Messages": []}})",
      Timed(R"({"MessageToSend": "Hi", "Only_Send_To_Permission_Groups": [], "Exclude_Permissions_Groups": ["B"]})"),
      Timed(R"({"MessageToSend": "Hi", "Min_Players_Online": 2, "Max_Players_Online": 2})"),
      R"({"TimedMessages": {"Order": "Sequential", "Skip_Unreceivable": true}})",
      WithPlaceholders(R"("NoPermission": "{Player}: {PlayersOnline} online at {Time} on {Date}, {{Player}}",
          "CustomCommands": {"/me": {"Message": "You are {Player}", "MessageColor": [0, 255, 0]}})"),
      Welcome(R"("Message": "Welcome {Player}, {0}! {PlayersOnline} online, {{{{Player}}}}")", true),
      R"({"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "Restart", "MessageColour": {"R": 9},
          "At": ["05:50", "23:59", "00:00"], "Days": ["Mon", "Sun"], "Min_Players_Online": 1}]}})",
  };
  for (const std::string& config : clean) {
    const Report report = CheckConfigText(config);
    EXPECT_EQ(report.ExitStatus(), 0) << config << "\n" << heraldix::check::FormatReport(report, "config.json");
  }
}

TEST(Check, CountsOfMistakesInOneFile) {
  EXPECT_EQ(WithCode(CheckConfigText(Command(R"("Type": "Notification")")), "display").size(), 2U);
  const Report wraps = CheckConfigText(R"({"Heraldix": {"ServerMessageColor": {"R": 300, "G": -1, "B": 255}}})");
  EXPECT_EQ(WithCode(wraps, "colour-range").size(), 2U);
  const Report cut =
      CheckConfigText(R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [255.9, 256, 0]}}})");
  EXPECT_EQ(WithCode(cut, "colour-range").size(), 1U);
  // Two channels of 1 and a missing one: short, but not a colour of zeroes and ones.
  EXPECT_TRUE(WithCode(CheckConfigText(R"({"CustomCommands": {"/x": {"Message": "x", "MessageColor": [1, 1]}}})"),
                       "colour-tiny")
                  .empty());
}

// ---------------------------------------------------------------------------------------------------
// Custom commands that are skipped or never found

TEST(Check, CommandsWithoutMessageAreSkipped) {
  const Report report =
      CheckConfigText(R"({"CustomCommands": {"/a": {"Command_To_Execute": "/b"}, "/c": {"Message": ""}}})");
  EXPECT_EQ(report.ExitStatus(), 1);
  EXPECT_NE(One(report, "skipped-command", "/CustomCommands/~1a").message.find("Command_To_Execute"),
            std::string::npos);
  One(report, "skipped-command", "/CustomCommands/~1c");
  // A skipped command gets no advice about its colour or type.
  EXPECT_TRUE(WithCode(report, "colour-missing").empty());
}

TEST(Check, AnUnreachableCommandThatIsSkippedIsOnlySkipped) {
  EXPECT_EQ(CheckConfigText(R"({"CustomCommands": {"/x y": {"Message": ""}}})").problems.size(), 1u);
}

TEST(Check, CaseTwinsTheLaterRecordWinsUnderTheFirstName) {
  const Report report = CheckConfigText(R"({"CustomCommands": {
    "/rules": {"Message": "a", "MessageColor": [1, 2, 3]},
    "/RULES": {"Message": "b", "MessageColor": [1, 2, 3]},
    "/Rules": {"Message": "c", "MessageColor": [1, 2, 3]}}})");
  // Byte order: /RULES, /Rules, /rules. The table keeps the name /RULES with the record of /rules.
  const auto twins = WithCode(report, "case-twin");
  ASSERT_EQ(twins.size(), 2u);
  EXPECT_EQ(twins[0].pointer, "/CustomCommands/~1RULES");
  EXPECT_EQ(twins[1].pointer, "/CustomCommands/~1Rules");
  EXPECT_NE(twins[0].message.find("under the name \"/RULES\""), std::string::npos);
  EXPECT_NE(twins[0].message.find("reply of \"/rules\""), std::string::npos);

  // A skipped member never enters the table, so it is nobody's twin.
  EXPECT_TRUE(WithCode(CheckConfigText(R"({"CustomCommands": {"/a": {"Message": "x", "MessageColor": [1, 2, 3]},
                                                             "/A": {"Message": ""}}})"),
                       "case-twin")
                  .empty());
  // Non-ASCII letters fold to the same "?" bytes.
  EXPECT_EQ(
      WithCode(CheckConfigText("{\"CustomCommands\": {\"/\xC3\xA9\": {\"Message\": \"x\", \"MessageColor\": [1,2,3]},"
                               " \"/\xC3\xA8\": {\"Message\": \"y\", \"MessageColor\": [1,2,3]}}}"),
               "case-twin")
          .size(),
      1u);
}

TEST(Check, ByteWiseTextsWarnAboutNonAscii) {
  const Report report = CheckConfigText(
      "{\"Heraldix\": {\"ClientChatSenderName\": \"H\xC3\xA9rault\"}, \"CustomCommands\": {\"/x\": {\"Message\": "
      "\"\xC3\xA9t\xC3\xA9\", \"MessageColor\": [1, 2, 3], \"RequiredPermissionGroups\": [\"\xC3\x89lite\"]}}}");
  EXPECT_NE(One(report, "non-ascii", "/Heraldix/ClientChatSenderName").message.find("\"H??rault\""), std::string::npos);
  One(report, "non-ascii", "/CustomCommands/~1x/RequiredPermissionGroups/0");
  // Message texts are UTF-8 and arrive intact.
  EXPECT_EQ(WithCode(report, "non-ascii").size(), 2u);
}

// ---------------------------------------------------------------------------------------------------
// Keys

TEST(Check, UnknownKeysFarFromAnyKnownOneAreWarnedWithoutASuggestion) {
  const Problem far = One(CheckConfigText(R"({"Motd": "x"})"), "unknown-key", "/Motd");
  EXPECT_EQ(far.message.find("did you mean"), std::string::npos);
  EXPECT_EQ(far.severity, Severity::Warning);
}

TEST(Check, RepeatedKeysTheLastOneCounts) {
  const Report report = CheckConfigText("{\"Heraldix\": {\"WelcomeMessage\": 5},\n \"Heraldix\": {}}");
  const Problem repeated = One(report, "duplicate-key", "/Heraldix");
  EXPECT_EQ(repeated.line, 2u);
  // The first value is gone from the document, and so are its problems.
  EXPECT_TRUE(WithCode(report, "type").empty());
}

// ---------------------------------------------------------------------------------------------------
// Places

TEST(Check, PositionIndexMapsPointersToLinesAndColumns) {
  const std::string text = "{\r\n  \"a/b\": {\"~x\": [10, {\"\\u00e9\": \"\xC3\xA9\", \"k\": 1}]},\n  \"n\": null\n}";
  const PositionIndex index(text);
  auto at = [&](std::string_view pointer) { return index.Locate(index.ValueOffset(pointer)); };
  EXPECT_EQ(at("").line, 1u);
  EXPECT_EQ(at("/a~1b").line, 2u);
  EXPECT_EQ(at("/a~1b").column, 10u);
  EXPECT_EQ(at("/a~1b/~0x/0").column, 18u);
  EXPECT_EQ(index.Locate(index.KeyOffset("/a~1b/~0x/1/\xC3\xA9")).column, 23u);
  // Columns count characters: the two-byte letter before "k" is one column.
  EXPECT_EQ(index.Locate(index.KeyOffset("/a~1b/~0x/1/k")).column, 38u);
  EXPECT_EQ(at("/n").line, 3u);
  // An unknown pointer falls back to its nearest known ancestor.
  EXPECT_EQ(index.ValueOffset("/a~1b/~0x/7"), index.ValueOffset("/a~1b/~0x"));
  EXPECT_FALSE(index.HasTrailingText());
  EXPECT_EQ(heraldix::config::PointerToken("a/b~c"), "a~1b~0c");
}

TEST(Check, PositionIndexSurvivesTextThatIsNotJson) {
  for (const std::string& text : {std::string("{\"a\": [1, 2"), std::string("{\"a\" 1}"), std::string("\"\\u12"),
                                  std::string(100000, '['), std::string("{\"\\ud800\": 1}"), std::string()}) {
    const PositionIndex index(text);
    EXPECT_LE(index.ValueOffset("/a/0"), text.size());
    EXPECT_EQ(index.Locate(text.size() + 10).line, index.Locate(text.size()).line);
  }
}

// ---------------------------------------------------------------------------------------------------
// Bad input

TEST(Check, NeverThrowsOnBrokenOrHostileText) {
  const std::string valid = Command(R"("Type": "Notification", "DisplayTime": 5, "DisplayScale": 1)");
  for (std::size_t cut = 0; cut <= valid.size(); ++cut) {
    EXPECT_NO_THROW((void)CheckConfigText(valid.substr(0, cut))) << cut;
  }
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
  EXPECT_EQ(CheckConfigText(noise).ExitStatus(), 2);
  EXPECT_EQ(CheckConfigText(std::string(200000, '[') + std::string(200000, ']')).ExitStatus(), 2);
  const std::string deep =
      "{\"TimedMessages\": {\"Messages\": [" + std::string(50000, '[') + std::string(50000, ']') + "]}}";
  One(CheckConfigText(deep), "type", "/TimedMessages/Messages/0");
}

// ---------------------------------------------------------------------------------------------------
// Reports

TEST(Check, ExitStatusTellsErrorsFromWarnings) {
  EXPECT_EQ(CheckConfigText("{}").ExitStatus(), 0);
  EXPECT_EQ(CheckConfigText(R"({"Unknown": 1})").ExitStatus(), 1);
  EXPECT_EQ(CheckConfigText(R"({"Unknown": 1, "NoPermission": 1})").ExitStatus(), 2);
}

TEST(Check, TextAndJsonReports) {
  const Report report = CheckConfigText("{\n  \"NoPermission\": 1,\n  \"Motd\": \"x\"\n}");
  const std::string text = heraldix::check::FormatReport(report, "config.json");
  EXPECT_NE(text.find("config.json:2:19: error: \"NoPermission\": must be a string, but is a number"),
            std::string::npos);
  EXPECT_NE(text.find("config.json:3:3: warning: \"Motd\": unknown key"), std::string::npos);
  EXPECT_NE(text.find("config.json: 1 error, 1 warning"), std::string::npos);
  EXPECT_NE(heraldix::check::FormatReport(CheckConfigText("{}"), "c.json").find("no problems found"),
            std::string::npos);

  // A \u0000 in a name is written escaped, so the findings after it are not lost.
  const std::string zero = heraldix::check::FormatReport(
      CheckConfigText(
          R"({"CustomCommands": {"/a\u0000b": {"Message": "x", "MessageColor": "red"}, "/z": {"Message": 5}}})"),
      "config.json");
  EXPECT_EQ(zero.find('\0'), std::string::npos);
  EXPECT_NE(zero.find(R"("CustomCommands" > "/a\u0000b" > "MessageColor": must be)"), std::string::npos) << zero;
  EXPECT_NE(zero.find(R"("CustomCommands" > "/z" > "Message": must be)"), std::string::npos) << zero;
  EXPECT_NE(zero.find("config.json: 2 errors, 1 warning"), std::string::npos) << zero;

  const auto json = nlohmann::json::parse(heraldix::check::FormatReportJson(report, "config.json"));
  EXPECT_EQ(json["file"], "config.json");
  EXPECT_EQ(json["errors"], 1);
  EXPECT_EQ(json["warnings"], 1);
  ASSERT_EQ(json["problems"].size(), 2u);
  EXPECT_EQ(json["problems"][0]["severity"], "error");
  EXPECT_EQ(json["problems"][0]["code"], "type");
  EXPECT_EQ(json["problems"][0]["pointer"], "/NoPermission");
  EXPECT_EQ(json["problems"][0]["line"], 2);
  EXPECT_EQ(json["problems"][0]["column"], 19);
}

// ---------------------------------------------------------------------------------------------------
// The corpus: one broken configuration per problem

struct CorpusCase {
  const char* file;
  int exitStatus;
  const char* code;  // the problem the file is about; null for a clean file
  const char* pointer;
  std::size_t line;
  std::size_t column;
};

constexpr CorpusCase Corpus[] = {
    {"boolean-number.json", 1, "boolean-number", "/Heraldix/WelcomeMessage/NotificationDisplayTime", 3, 51},
    {"brace-command-message.json", 2, "brace", "/CustomCommands/~1me/Message", 3, 24},
    {"brace-no-permission.json", 2, "brace", "/NoPermission", 2, 19},
    {"brace-timed-message.json", 2, "brace", "/TimedMessages/Messages/0/MessageToSend", 5, 36},
    {"case-twin.json", 1, "case-twin", "/CustomCommands/~1Rules", 4, 5},
    {"clean-byte-order-mark.json", 0, nullptr, nullptr, 0, 0},
    {"clean-custom-commands-empty-array.json", 0, nullptr, nullptr, 0, 0},
    {"clean-custom-commands-null.json", 0, nullptr, nullptr, 0, 0},
    {"clean-placeholders.json", 0, nullptr, nullptr, 0, 0},
    {"colour-missing.json", 1, "colour-missing", "/CustomCommands/~1help", 3, 14},
    {"colour-range.json", 1, "colour-range", "/Heraldix/ClientChatColour/R", 3, 31},
    {"colour-short.json", 1, "colour-short", "/CustomCommands/~1help/MessageColor", 3, 48},
    {"display-zero.json", 1, "display", "/CustomCommands/~1info/DisplayTime", 3, 123},
    {"document-array.json", 2, "document", "", 1, 1},
    {"duplicate-key.json", 1, "duplicate-key", "/NoPermission", 3, 3},
    {"exclusion-ignored.json", 1, "exclusion-ignored", "/TimedMessages/Messages/0/Exclude_Permissions_Groups", 5, 115},
    {"fallback-type.json", 1, "fallback-type", "/Heraldix/WelcomeMessage/WelcomeMessageType", 3, 76},
    {"integer-fraction.json", 1, "integer", "/TimedMessages/Interval", 4, 17},
    {"interval-zero.json", 1, "interval", "/TimedMessages/Interval", 4, 17},
    {"no-messages.json", 1, "no-messages", "/TimedMessages/Messages", 5, 17},
    {"no-reply-type.json", 1, "no-reply-type", "/CustomCommands/~1help/Type", 3, 69},
    {"no-send-type.json", 1, "no-send-type", "/TimedMessages/Messages/0/MessageType", 5, 60},
    {"non-ascii-sender.json", 1, "non-ascii", "/Heraldix/ClientChatSenderName", 3, 29},
    {"parse-comment.json", 2, "parse", "", 2, 3},
    {"parse-empty.json", 2, "parse", "", 1, 1},
    {"parse-single-quotes.json", 2, "parse", "", 2, 3},
    {"parse-trailing-comma.json", 2, "parse", "", 2, 24},
    {"placeholder-near-miss.json", 2, "brace", "/TimedMessages/Messages/0/MessageToSend", 6, 36},
    {"placeholder-off.json", 2, "brace", "/NoPermission", 2, 19},
    {"skipped-command.json", 1, "skipped-command", "/CustomCommands/~1vote", 3, 5},
    {"trailing-text.json", 1, "trailing-text", "", 4, 1},
    {"type-colour-member.json", 2, "type", "/Heraldix/ServerMessageColor/R", 3, 33},
    {"type-command-not-object.json", 2, "type", "/CustomCommands/~1help", 3, 14},
    {"type-custom-commands-array.json", 2, "type", "/CustomCommands", 2, 21},
    {"type-enable-welcome.json", 2, "type", "/Heraldix/WelcomeMessage/EnableWelcomeMessage", 4, 31},
    {"type-group-element.json", 2, "type", "/CustomCommands/~1vip/RequiredPermissionGroups/1", 3, 96},
    {"type-heraldix-null.json", 2, "type", "/Heraldix", 2, 15},
    {"type-interval-string.json", 2, "type", "/TimedMessages/Interval", 4, 17},
    {"type-message-color-element.json", 2, "type", "/CustomCommands/~1help/MessageColor/1", 3, 52},
    {"type-messages-object.json", 2, "type", "/TimedMessages/Messages", 5, 17},
    {"type-timed-display-time.json", 2, "type", "/TimedMessages/Messages/0/DisplayTime", 6, 80},
    {"unknown-key-misplaced.json", 1, "unknown-key", "/Heraldix/EnableWelcomeMessage", 3, 5},
    {"unknown-key.json", 1, "unknown-key", "/CustomCommands/~1help/MessageColour", 3, 32},
    {"unreachable-non-ascii.json", 1, "unreachable-command", "/CustomCommands/~1r\xC3\xA8gles", 3, 5},
    {"unreachable-space.json", 1, "unreachable-command", "/CustomCommands/~1server info", 3, 5},
    {"welcome-double-brace.json", 2, "brace", "/Heraldix/WelcomeMessage/Message", 3, 65},
    {"welcome-template.json", 2, "welcome-template", "/Heraldix/WelcomeMessage/Message", 3, 65},
};

TEST(Check, CorpusEachFileShowsItsProblem) {
  const std::filesystem::path corpus = HERALDIX_CHECK_CORPUS_DIR;
  for (const CorpusCase& entry : Corpus) {
    SCOPED_TRACE(entry.file);
    const Report report = CheckConfigFile(corpus / entry.file);
    EXPECT_EQ(report.ExitStatus(), entry.exitStatus) << heraldix::check::FormatReport(report, entry.file);
    if (entry.code == nullptr) continue;
    const auto found = std::find_if(report.problems.begin(), report.problems.end(), [&](const Problem& problem) {
      return problem.code == entry.code && problem.pointer == entry.pointer;
    });
    ASSERT_NE(found, report.problems.end()) << heraldix::check::FormatReport(report, entry.file);
    EXPECT_EQ(found->line, entry.line);
    EXPECT_EQ(found->column, entry.column);
  }
}

TEST(Check, CorpusHasNoFileWithoutAnExpectation) {
  std::set<std::string> listed;
  for (const CorpusCase& entry : Corpus) listed.insert(entry.file);
  for (const auto& file : std::filesystem::directory_iterator(HERALDIX_CHECK_CORPUS_DIR)) {
    if (file.path().extension() != ".json") continue;
    EXPECT_TRUE(listed.contains(file.path().filename().string())) << file.path();
  }
}

// ---------------------------------------------------------------------------------------------------
// The command line

using heraldix::test::RunSim;
using heraldix::test::ServerDir;

std::string InCorpus(const char* file) { return (std::filesystem::path(HERALDIX_CHECK_CORPUS_DIR) / file).string(); }

TEST(Check, CommandLineExitStatusTellsCleanWarningsAndErrors) {
  EXPECT_EQ(RunSim({"check", InCorpus("clean-byte-order-mark.json")}).status, 0);
  const auto warned = RunSim({"check", InCorpus("case-twin.json")});
  EXPECT_EQ(warned.status, 1);
  EXPECT_NE(warned.out.find("case-twin.json:4:5: warning: \"CustomCommands\" > \"/Rules\":"), std::string::npos);
  EXPECT_EQ(RunSim({"check", InCorpus("type-enable-welcome.json")}).status, 2);
  EXPECT_EQ(RunSim({"check", "/nonexistent/config.json"}).status, 2);

  const auto json = RunSim({"check", "--json", InCorpus("type-enable-welcome.json")});
  EXPECT_EQ(json.status, 2);
  const auto report = nlohmann::json::parse(json.out, nullptr, false);
  ASSERT_TRUE(report.is_object()) << json.out;
  EXPECT_EQ(report["errors"], 1);
  EXPECT_EQ(report["problems"][1]["pointer"], "/Heraldix/WelcomeMessage/EnableWelcomeMessage");
  EXPECT_EQ(report["problems"][1]["line"], 4);
}

TEST(Check, CommandLineChecksTheServerDirectorysConfigByDefault) {
  const ServerDir dir(R"({"TimedMessages": {"Interval": 0}})");
  const auto ran = RunSim({"check", "--server-dir", dir.Path().string()});
  EXPECT_EQ(ran.status, 1);
  EXPECT_NE(ran.out.find("config.json:1:32: warning: \"TimedMessages\" > \"Interval\":"), std::string::npos) << ran.out;
}

TEST(Check, ExampleConfigurationIsClean) {
  const std::filesystem::path config =
      std::filesystem::path(HERALDIX_EXAMPLE_SERVER_DIR) / "TarrowApi/Plugins/Heraldix/config.json";
  const Report report = CheckConfigFile(config);
  EXPECT_EQ(report.ExitStatus(), 0) << heraldix::check::FormatReport(report, "config.json");
}

TEST(Check, PreviewCommandWritesThePage) {
  const ServerDir dir(
      R"({"Heraldix": {"Placeholders": true}, "CustomCommands": {"/rules": {"Message": "Be nice, {Player}: )"
      R"({PlayersOnline} online at {Time} on {Date}", "MessageColor": [255, 0, 0], "Sender": "Rules"}}})");
  const auto write = [&](const char* name, const char* text) {
    std::ofstream(dir.Path() / name) << text;
    return (dir.Path() / name).string();
  };
  const std::string page = (dir.Path() / "out.html").string();
  const auto preview = [&](const std::string& scenario) {
    return RunSim({"preview", "--tz", "UTC", "--server-dir", dir.Path().string(), "--out", page, scenario}).status;
  };
  EXPECT_EQ(preview(write("demo.scenario", "join 1 Alice\nchat 1 /rules\nwait 1\n")), 0);
  std::ifstream in(page);
  const std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(html.find("data-name=\"Alice\""), std::string::npos);
  EXPECT_NE(html.find("<span class=\"sender\">Rules</span><span class=\"text\"><span class=\"rich\" style=\"color: "
                      "rgb(255, 0, 0)\">Be nice, Alice: 1 online at 00:00 on 2026-01-01</span>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("<p class=\"scenarios\">demo.scenario</p>"), std::string::npos);
  EXPECT_EQ(preview(write("bad.scenario", "join 1 Alice\nfly 1\n")), 2);
}

}  // namespace
