#include "tests/support/Stories.h"

#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/Expect.h"

namespace heraldix::test {
namespace {

struct Story {
  std::string title;
  int line = 0;  // of the title, for messages
  std::optional<std::string> config;
  std::optional<std::string> zone;
  std::string scenario;
  std::optional<std::vector<std::string>> seen;
};

// Backslashes and control characters as C writes them, so that each seen line stays one line of the file.
std::string Escaped(std::string_view text) {
  static const std::map<char, std::string_view> Named = {{'\\', "\\\\"}, {'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}};
  constexpr std::string_view Hex = "0123456789abcdef";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (const auto named = Named.find(c); named != Named.end()) {
      out += named->second;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0xF]};
    } else {
      out += c;
    }
  }
  return out;
}

void DropTrailingBlankLines(std::string& text) {
  while (text.ends_with("\n\n")) text.pop_back();
}

// The stories of one file; a line out of place fails the test at its line and is skipped.
std::vector<Story> ReadStories(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  std::vector<Story> stories;
  enum class Part { None, Config, Scenario, Seen } part = Part::None;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.starts_with("== ")) {
      stories.push_back({line.substr(3), number});
      part = Part::None;
      continue;
    }
    if (stories.empty()) {
      if (!line.empty() && !line.starts_with('#')) ADD_FAILURE() << path << ":" << number << ": text before a story";
      continue;
    }
    Story& story = stories.back();
    if (line.starts_with("-- zone ")) {
      story.zone = line.substr(8);
      part = Part::None;
    } else if (line == "-- config.json") {
      story.config.emplace();
      part = Part::Config;
    } else if (line == "-- scenario") {
      part = Part::Scenario;
    } else if (line == "-- seen") {
      story.seen.emplace();
      part = Part::Seen;
    } else if (part == Part::Config) {
      *story.config += line + "\n";
    } else if (part == Part::Scenario) {
      story.scenario += line + "\n";
    } else if (part == Part::Seen) {
      if (!line.empty()) story.seen->push_back(line);
    } else if (!line.empty()) {
      ADD_FAILURE() << path << ":" << number << ": a line outside the sections of a story";
    }
  }
  for (Story& story : stories) {
    if (story.config) DropTrailingBlankLines(*story.config);
    DropTrailingBlankLines(story.scenario);
  }
  return stories;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// One event as a seen line, without its second; nothing for an event nobody reads:
//   ID: server [r g b a] (bold) TEXT           a server message, an administrator's answer among them
//   ID: chat SENDER: TEXT                      a chat line, markup included
//   ID: notification [r g b a] scale S time T (icon PATH) TEXT
//   rcon id N type T: TEXT                     an RCON response
//   say from ID mode M: TEXT                   a line a player was made to say
//   ask ID in GROUP: yes|no                    a question to the permission service
//   log LEVEL: TEXT                            one of Heraldix's own log records
//   load PATH / +NAME / -NAME / delay S        a texture asked for, a chat command registered or unregistered,
//                                              a call put off by S seconds
std::optional<std::string> SeenItem(const nlohmann::json& event) {
  const std::string kind = event.at("event");
  const auto text = [&event] { return event.at("text").get<std::string>(); };
  const auto number = [&event](const char* member) {
    std::ostringstream out;
    out << event.at(member).get<double>();
    return out.str();
  };
  if (kind == "server" || kind == "chat" || kind == "notification") {
    std::string line = event.at("to").get<std::string>() + ": " + kind + " ";
    if (kind == "chat") line += event.at("sender").get<std::string>() + ": ";
    if (kind == "server") line += Colour(event.at("color")) + (event.at("bold").get<bool>() ? " bold " : " ");
    if (kind == "notification") {
      line += Colour(event.at("color")) + " scale " + number("scale") + " time " + number("time") + " ";
      if (!event.at("icon").is_null()) line += "icon " + event.at("icon").get<std::string>() + " ";
    }
    return line + text();
  }
  if (kind == "rcon") return "rcon id " + event.at("id").dump() + " type " + event.at("type").dump() + ": " + text();
  if (kind == "say") {
    return "say from " + event.at("from").get<std::string>() + " mode " + event.at("mode").dump() + ": " + text();
  }
  if (kind == "log" && event.at("logger") == "Heraldix") {
    return "log " + event.at("level").get<std::string>() + ": " + text();
  }
  if (event.value("call", "") == "IsPlayerInGroup") {
    const nlohmann::json& args = event.at("args");
    return "ask " + args.at(0).get<std::string>() + " in " + args.at(1).get<std::string>() + ": " +
           (event.at("result").get<bool>() ? "yes" : "no");
  }
  static const std::map<std::string, std::string, std::less<>> Calls = {{"StaticLoadObject", "load "},
                                                                        {"RegisterChatCommand", "+"},
                                                                        {"UnregisterChatCommand", "-"},
                                                                        {"DelayExecute", "delay "}};
  const auto call = Calls.find(event.value("call", ""));
  if (call == Calls.end()) return std::nullopt;
  const nlohmann::json& argument = event.at("args").at(0);
  return call->second + (argument.is_string() ? argument.get<std::string>() : argument.dump());
}

}  // namespace

std::vector<std::string> SeenLines(const Run& run, const std::string& serverDir) {
  std::vector<std::string> lines;
  for (const nlohmann::json& event : run.events) {
    std::optional<std::string> item = SeenItem(event);
    if (!item) continue;
    for (std::size_t at; !serverDir.empty() && (at = item->find(serverDir)) != std::string::npos;) {
      item->replace(at, serverDir.size(), "<server-dir>");
    }
    lines.push_back(std::to_string(event.at("t").get<std::int64_t>()) + " " + Escaped(*item));
  }
  return lines;
}

void TellStories(std::string_view name) {
  const std::string path = std::string(HERALDIX_STORIES_DIR) + "/" + std::string(name) + ".story";
  const std::vector<Story> stories = ReadStories(path);
  EXPECT_FALSE(stories.empty()) << path << " tells no story";
  for (const Story& story : stories) {
    SCOPED_TRACE(path + ":" + std::to_string(story.line) + ": " + story.title);
    if (!story.seen) ADD_FAILURE() << "the story has no \"-- seen\" section";
    const ServerDir dir;
    if (story.config) dir.WriteConfig(*story.config);
    const Run run = RunScenario(story.scenario, dir, PluginPath(), story.zone.value_or("UTC"));
    ExpectNoFaults(run);
    EXPECT_EQ(Joined(SeenLines(run, dir.Path().string())), Joined(story.seen.value_or(std::vector<std::string>{})));
  }
}

}  // namespace heraldix::test
