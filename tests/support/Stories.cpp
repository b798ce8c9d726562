#include "tests/support/Stories.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/Expect.h"

namespace heraldix::test {
namespace {

namespace fs = std::filesystem;

struct Story {
  std::string title;
  int line = 0;  // of the title, for messages
  std::optional<std::set<std::string, std::less<>>> shows;
  std::optional<std::string> config;
  std::optional<std::string> zone;
  std::string scenario;
  std::optional<std::vector<std::string>> seen;
};

const std::set<std::string, std::less<>> Kinds = {"server",  "chat", "notification", "rcon", "answer",   "say",  "echo",
                                                  "refused", "ask",  "log",          "load", "register", "delay"};

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

std::optional<std::set<std::string, std::less<>>> ShownKinds(const std::string& list, const std::string& where) {
  std::set<std::string, std::less<>> kinds;
  std::istringstream words(list);
  for (std::string kind; words >> kind;) {
    if (Kinds.count(kind) == 0) ADD_FAILURE() << where << ": no kind of line is called \"" << kind << "\"";
    kinds.insert(kind);
  }
  return kinds;
}

// The file's own settings as a story without a title (stories[0]), then its stories; a line out of place
// fails the test at its line and is skipped.
std::vector<Story> ReadStories(const fs::path& path) {
  std::ifstream in(path);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  std::vector<Story> stories(1);
  enum class Part { None, Config, Scenario, Seen } part = Part::None;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string where = path.string() + ":" + std::to_string(number);
    Story& story = stories.back();
    if (line.starts_with("== ")) {
      stories.push_back({line.substr(3), number});
      part = Part::None;
    } else if (line.starts_with("-- shows ")) {
      story.shows = ShownKinds(line.substr(9), where);
      part = Part::None;
    } else if (line.starts_with("-- zone ")) {
      story.zone = line.substr(8);
      part = Part::None;
    } else if (line == "-- config.json") {
      story.config.emplace();
      part = Part::Config;
    } else if (line == "-- scenario") {
      part = Part::Scenario;
    } else if (line == "-- seen" && stories.size() > 1) {
      story.seen.emplace();
      part = Part::Seen;
    } else if (part == Part::Config) {
      *story.config += line + "\n";
    } else if (part == Part::Scenario) {
      story.scenario += line + "\n";
    } else if (part == Part::Seen) {
      if (!line.empty()) story.seen->push_back(line);
    } else if (!line.empty() && !(stories.size() == 1 && line.starts_with('#'))) {
      ADD_FAILURE() << where << ": a line outside the sections of a story";
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

// The sRGB decoding of a byte as the game's colour takes it, written out here rather than borrowed from the
// plug-in, so that a plug-in that converts wrongly shows channels no byte turns into.
float Decoded(int byte) {
  const double c = byte / 255.0;
  return static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}

std::string Byte(const nlohmann::json& channel, bool alpha) {
  const auto received = static_cast<float>(channel.get<double>());
  for (int byte = 0; byte < 256; ++byte) {
    if ((alpha ? static_cast<float>(byte) * 0.003921569F : Decoded(byte)) == received) return std::to_string(byte);
  }
  std::ostringstream out;
  out << std::setprecision(9) << "linear=" << received;
  return out.str();
}

// A colour received as the bytes that make it: "[44 255 12]", alpha only when it is not 255.
std::string Bytes(const nlohmann::json& colour) {
  std::string out = "[" + Byte(colour.at(0), false) + " " + Byte(colour.at(1), false) + " " + Byte(colour.at(2), false);
  const std::string alpha = Byte(colour.at(3), true);
  return out + (alpha == "255" ? "" : " " + alpha) + "]";
}

std::string Number(const nlohmann::json& value) {
  std::ostringstream out;
  out << value.get<double>();
  return out.str();
}

// One event as a seen line without its second, with its kind; nothing for an event no story reads.
std::optional<std::pair<std::string, std::string>> SeenItem(const nlohmann::json& event) {
  const std::string kind = event.at("event");
  const auto text = [&event] { return event.at("text").get<std::string>(); };
  if (kind == "chat" && event.value("echo", false)) {
    return std::pair{"echo", "echo " + event.at("sender").get<std::string>() + ": " + text()};
  }
  if (kind == "server" || kind == "chat" || kind == "notification") {
    std::string line = event.at("to").get<std::string>() + ": " + kind + " ";
    if (kind == "chat") line += event.at("sender").get<std::string>() + ": ";
    if (kind == "server") line += Bytes(event.at("color")) + (event.at("bold").get<bool>() ? " bold " : " ");
    if (kind == "notification") {
      line +=
          Bytes(event.at("color")) + " scale " + Number(event.at("scale")) + " time " + Number(event.at("time")) + " ";
      if (!event.at("icon").is_null()) line += "icon " + event.at("icon").get<std::string>() + " ";
    }
    return std::pair{kind, line + text()};
  }
  if (kind == "rcon") {
    return std::pair{kind, "rcon id " + event.at("id").dump() + " type " + event.at("type").dump() + ": " + text()};
  }
  if (kind == "say") {
    return std::pair{
        kind, "say from " + event.at("from").get<std::string>() + " mode " + event.at("mode").dump() + ": " + text()};
  }
  if (kind == "refused") {
    return std::pair{kind, "refused from " + event.at("from").get<std::string>() + " " + Number(event.at("since")) +
                               "s after the last: " + text()};
  }
  if (kind == "log" && event.at("logger") == "Heraldix") {
    return std::pair{kind, "log " + event.at("level").get<std::string>() + ": " + text()};
  }
  const std::string call = event.value("call", "");
  if (call == "IsPlayerInGroup") {
    const nlohmann::json& args = event.at("args");
    return std::pair{"ask", "ask " + args.at(0).get<std::string>() + " in " + args.at(1).get<std::string>() + ": " +
                                (event.at("result").get<bool>() ? "yes" : "no")};
  }
  static const std::map<std::string, std::pair<std::string, std::string>, std::less<>> Calls = {
      {"StaticLoadObject", {"load", "load "}},
      {"RegisterChatCommand", {"register", "+"}},
      {"UnregisterChatCommand", {"register", "-"}},
      {"DelayExecute", {"delay", "delay "}}};
  const auto found = Calls.find(call);
  if (found == Calls.end()) return std::nullopt;
  const nlohmann::json& argument = event.at("args").at(0);
  return std::pair{found->second.first,
                   found->second.second + (argument.is_string() ? argument.get<std::string>() : argument.dump())};
}

enum class Channel { Console, Rcon };

// An administrator's answer on the channel the story's "admin" lines went through.
bool IsAnswer(std::string_view kind, std::string_view line, Channel channel) {
  if (channel == Channel::Rcon) return kind == "rcon";
  return kind == "server" && (line.starts_with("1: server [0 255 0] ") || line.starts_with("1: server [255 0 0] "));
}

std::vector<std::string> SeenLines(const Run& run, const std::set<std::string, std::less<>>& shows,
                                   std::optional<Channel> channel, const std::string& serverDir) {
  std::vector<std::string> lines;
  std::string lastEcho;
  for (const nlohmann::json& event : run.events) {
    std::optional<std::pair<std::string, std::string>> item = SeenItem(event);
    if (!item) continue;
    auto& [kind, line] = *item;
    if (channel && IsAnswer(kind, line, *channel)) {
      kind = "answer";
      line = "answer: " + event.at("text").get<std::string>();
    }
    for (std::size_t at; !serverDir.empty() && (at = line.find(serverDir)) != std::string::npos;) {
      line.replace(at, serverDir.size(), "<server-dir>");
    }
    const std::string seen = std::to_string(event.at("t").get<std::int64_t>()) + " " + Escaped(line);
    // The game passes a said line on to every player: one echo line tells that it went on.
    if (kind == "echo" && seen == lastEcho) continue;
    lastEcho = kind == "echo" ? seen : "";
    if (shows.count(kind) != 0) lines.push_back(seen);
  }
  return lines;
}

// The scenario with its "admin" lines typed on the console by player 1, or sent over RCON.
std::string OnChannel(const std::string& scenario, Channel channel) {
  std::istringstream in(scenario);
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("admin ")) line = (channel == Channel::Console ? "console 1 " : "rcon ") + line.substr(6);
    out += line + "\n";
  }
  return out;
}

void Tell(const Story& story, const Story& file) {
  const std::set<std::string, std::less<>> shows = story.shows.value_or(file.shows.value_or(decltype(shows){}));
  if (!story.shows && !file.shows) ADD_FAILURE() << "neither the story nor its file says what it shows (-- shows)";
  if (!story.seen) ADD_FAILURE() << "the story has no \"-- seen\" section";
  if (story.seen && story.seen->empty()) {
    ADD_FAILURE() << "the story expects nothing: play beside it the case that sends, so a missing feature fails";
  }
  const std::string scenario = file.scenario + story.scenario;
  std::vector<std::optional<Channel>> channels = {std::nullopt};
  if (scenario.starts_with("admin ") || scenario.find("\nadmin ") != std::string::npos) {
    channels = {Channel::Console, Channel::Rcon};
  }
  for (const std::optional<Channel> channel : channels) {
    SCOPED_TRACE(!channel ? "" : *channel == Channel::Console ? "admin lines on the console" : "admin lines over RCON");
    const ServerDir dir;
    if (const auto& config = story.config ? story.config : file.config) dir.WriteConfig(*config);
    const Run run = RunScenario(channel ? OnChannel(scenario, *channel) : scenario, dir, PluginPath(),
                                story.zone.value_or(file.zone.value_or("UTC")));
    ExpectNoFaults(run);
    EXPECT_EQ(Joined(SeenLines(run, shows, channel, dir.Path().string())),
              Joined(story.seen.value_or(std::vector<std::string>{})));
  }
}

}  // namespace

std::vector<std::string> StoryFiles() {
  std::vector<std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(HERALDIX_STORIES_DIR)) {
    if (entry.is_regular_file() && entry.path().extension() == ".story") {
      files.push_back(fs::relative(entry.path(), HERALDIX_STORIES_DIR).generic_string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

void TellStories(const fs::path& file) {
  const fs::path path = fs::path(HERALDIX_STORIES_DIR) / file;
  const std::vector<Story> stories = ReadStories(path);
  EXPECT_GT(stories.size(), 1U) << path << " tells no story";
  for (std::size_t i = 1; i < stories.size(); ++i) {
    SCOPED_TRACE(path.string() + ":" + std::to_string(stories[i].line) + ": " + stories[i].title);
    Tell(stories[i], stories[0]);
  }
}

}  // namespace heraldix::test
