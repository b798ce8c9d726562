#include "tests/support/Stories.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>

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
  std::vector<std::string> seen;
  bool hasSeen = false;
};

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
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
      story.hasSeen = true;
      part = Part::Seen;
    } else if (part == Part::Config) {
      *story.config += line + "\n";
    } else if (part == Part::Scenario) {
      story.scenario += line + "\n";
    } else if (part == Part::Seen) {
      if (!line.empty()) story.seen.push_back(line);
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

}  // namespace

std::vector<std::string> SeenLines(const Run& run, const std::string& serverDir) {
  std::vector<std::string> lines;
  for (const nlohmann::json& event : run.events) {
    std::optional<std::string> item = SeenItem(event, {.chatCommands = true, .delays = true, .answersAsSent = true});
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
    if (!story.hasSeen) ADD_FAILURE() << "the story has no \"-- seen\" section";
    const ServerDir dir;
    if (story.config) dir.WriteConfig(*story.config);
    const Run run = story.zone ? RunScenarioInZone(story.scenario, dir, *story.zone) : RunScenario(story.scenario, dir);
    ExpectNoFaults(run);
    const std::vector<std::string> seen = SeenLines(run, dir.Path().string());
    EXPECT_EQ(Joined(seen), Joined(story.seen));
  }
}

}  // namespace heraldix::test
