// Tests of the configuration checker: its reading, its rules, the places it gives, and its corpus.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/PositionIndex.h"
#include "sim/check/Checker.h"
#include "tests/support/SimProcess.h"
#include "tests/support/Support.h"

namespace {

using config::PositionIndex;
using sim::check::CheckConfigFile;
using sim::check::CheckConfigText;
using sim::check::Report;

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
  EXPECT_EQ(config::PointerToken("a/b~c"), "a~1b~0c");
}

TEST(Check, NeverThrowsOnBrokenOrHostileText) {
  const std::string valid = R"({"CustomCommands": {"/help": {"Message": "Hi", "MessageColor": [0, 255, 0], )"
                            R"("Type": "Notification", "DisplayTime": 5, "DisplayScale": 1}}})";
  for (std::size_t cut = 0; cut <= valid.size(); ++cut) {
    EXPECT_NO_THROW((void)CheckConfigText(valid.substr(0, cut))) << cut;
  }
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
  EXPECT_EQ(CheckConfigText(noise).ExitStatus(), 2);
  EXPECT_EQ(CheckConfigText(std::string(200000, '[') + std::string(200000, ']')).ExitStatus(), 2);
  const std::string deep =
      "{\"TimedMessages\": {\"Messages\": [" + std::string(50000, '[') + std::string(50000, ']') + "]}}";
  const Report report = CheckConfigText(deep);
  ASSERT_EQ(report.problems.size(), 1u) << sim::check::FormatReport(report, "config.json");
  EXPECT_EQ(report.problems[0].code + " at " + report.problems[0].pointer, "type at /TimedMessages/Messages/0");
}

// The text report is the corpus's business; the JSON one gives the same problems with their places.
TEST(Check, JsonReportGivesEachProblemWithItsPlaceAndTheCounts) {
  const Report report = CheckConfigText("{\n  \"NoPermission\": 1,\n  \"Motd\": \"x\"\n}");
  EXPECT_EQ(nlohmann::json::parse(sim::check::FormatReportJson(report, "config.json")), nlohmann::json::parse(R"(
    {"file": "config.json", "errors": 1, "warnings": 1, "problems": [
      {"severity": "error", "code": "type", "pointer": "/NoPermission", "line": 2, "column": 19,
       "message": "must be a string or an object of language codes to strings, but is a number: the refusal text cannot be read"},
      {"severity": "warning", "code": "unknown-key", "pointer": "/Motd", "line": 3, "column": 3,
       "message": "unknown key \"Motd\", never read"}]})"));
}

// The corpus: configurations that each show one rule's findings (or a clean file), each beside its report.
TEST(Check, CorpusEachFileGetsTheReportBesideIt) {
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HERALDIX_CHECK_CORPUS_DIR)) {
    if (entry.path().extension() != ".json") continue;
    const std::string name = entry.path().filename().string();
    std::ifstream expected(std::filesystem::path(entry.path()).replace_extension(".expected"));
    EXPECT_TRUE(expected) << name << " has no report beside it";
    const std::string report{std::istreambuf_iterator<char>(expected), std::istreambuf_iterator<char>()};
    EXPECT_EQ(sim::check::FormatReport(CheckConfigFile(entry.path()), name), report) << name;
    ++files;
  }
  EXPECT_GE(files, 50u);
}

using heraldix::test::RunSim;
using heraldix::test::ServerDir;

std::string InCorpus(const char* file) { return (std::filesystem::path(HERALDIX_CHECK_CORPUS_DIR) / file).string(); }

TEST(Check, CommandLineExitStatusTellsCleanWarningsAndErrors) {
  const std::pair<std::string, int> rows[] = {{InCorpus("clean-byte-order-mark.json"), 0},
                                              {InCorpus("case-twin.json"), 1},
                                              {InCorpus("type-heraldix.json"), 2},
                                              {"/nonexistent/config.json", 2},
                                              {std::filesystem::temp_directory_path().string(), 2}};
  // What each prints is the report the corpus pins; the --json one the schema test reads.
  for (const auto& [file, status] : rows) {
    EXPECT_EQ(RunSim({"check", file}).status, status) << file;
    EXPECT_EQ(RunSim({"check", "--json", file}).status, status) << file;
  }
}

TEST(Check, CommandLineChecksTheServerDirectorysConfigByDefault) {
  const ServerDir dir(R"({"TimedMessages": {"Interval": 0}})");
  const auto ran = RunSim({"check", "--server-dir", dir.Path().string()});
  EXPECT_EQ(ran.status, 1);
  EXPECT_NE(ran.out.find("config.json:1:32: warning: \"TimedMessages\" > \"Interval\":"), std::string::npos) << ran.out;
}

TEST(Check, PreviewCommandWritesThePage) {
  // What the page shows of each line is the preview test's business, and what the plug-in sends the stories'.
  const ServerDir dir(R"({"Players": {"Enabled": true, "Languages": ["en", "de"]}})");
  std::ofstream(dir.Path() / "demo.scenario") << "join 1 Alice\njoin 2 Bob\nchat 1 /language de\nwait 1\n";
  std::ofstream(dir.Path() / "bad.scenario") << "join 1 Alice\nfly 1\n";
  const std::string page = (dir.Path() / "out.html").string();
  const auto preview = [&](const char* scenario) {
    return RunSim({"preview", "--server-dir", dir.Path().string(), "--out", page, (dir.Path() / scenario).string()})
        .status;
  };
  EXPECT_EQ(preview("demo.scenario"), 0);
  std::ifstream in(page);
  const std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(html.find("data-name=\"Alice\""), std::string::npos);
  EXPECT_NE(html.find("<p class=\"scenarios\">demo.scenario</p>"), std::string::npos);
  // The language Alice picked, as the players' database kept it; Bob picked none.
  EXPECT_NE(html.find("<span class=\"id\">1</span> <span class=\"language\" title=\"language\">de</span>"),
            std::string::npos);
  EXPECT_EQ(html.find("<span class=\"id\">2</span> <span class=\"language\""), std::string::npos);
  EXPECT_EQ(preview("bad.scenario"), 2);
}

}  // namespace
