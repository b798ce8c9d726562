// The simulator's command line: `heraldix-sim run` with its exit statuses, output forms and time zones.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/host/Clock.h"
#include "tests/support/SimProcess.h"
#include "tests/support/Support.h"

using heraldix::test::ServerDir;

namespace {

const std::string RoguePlugin = HERALDIX_ROGUE_PLUGIN;

std::string WriteScenario(const ServerDir& dir, const std::string& name, const std::string& text) {
  const auto path = dir.Path() / name;
  std::ofstream(path) << text;
  return path.string();
}

// `heraldix-sim run` on the rogue plug-in in this server directory, with more arguments.
std::vector<std::string> RogueRun(const ServerDir& dir, std::vector<std::string> more) {
  std::vector<std::string> args{"run", "--server-dir", dir.Path().string(), "--plugin", RoguePlugin};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

}  // namespace

// The server keeps local time in the zone of --tz, else of the TZ variable (here JST-9).
TEST(Cli, RunExitsExitsByFaultsAndBadUsageAndLinesWithTheirPlaceInItsTimeZone) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> outHas;  // an empty list: nothing written at all
    std::string err;                  // all of standard error, when given
    const char* errHas = "";
  };
  ServerDir dir(R"({"kept": true})");
  const std::string bad = WriteScenario(dir, "bad.scenario", "# fine\njoin 1 Alice\nfly 1\n");
  const std::string unknown = WriteScenario(dir, "unknown.scenario", "join 1 Alice\ndie 2\n");
  const std::string clean = WriteScenario(dir, "clean.scenario", "join 1 Alice\nconsole 1 rogue.tell hello\n");
  const std::string faulty = WriteScenario(dir, "faulty.scenario", "console none rogue.badfree\n");
  const std::string rewrite = WriteScenario(dir, "rewrite.scenario", "config-text {\"changed\": true}\nconfig-rm\n");
  const std::string clock = WriteScenario(dir, "clock.scenario", "wait 60\nclock +86400\n");
  ::setenv("TZ", "JST-9", 1);
  const Row rows[] = {
      // Nothing runs before every line is checked; a line that cannot run stops the run.
      {"an unknown line", RogueRun(dir, {bad}), 2, {}, bad + ":3: unknown command \"fly\"\n"},
      {"a player not online",
       RogueRun(dir, {unknown}),
       2,
       {"[0s] server clock Thu 2026-01-01 09:00:00 JST (UTC+09:00, zone JST-9)"},
       unknown + ":2: player 2 is not online\n"},
      {"no scenario", {"run"}, 2, {}},
      {"the version", {"--version"}, 0, {"heraldix-sim " HERALDIX_VERSION "\n"}},
      {"a missing scenario file", {"run", "--plugin", RoguePlugin, "/none.scenario"}, 2, {}, "", "/none.scenario"},
      {"no plug-in", {"run", "--plugin", "/none.so", clean}, 2, {"[0s] server clock"}, "", "cannot load the plug-in"},
      {"a zone given by option, over the variable",
       RogueRun(dir, {"--tz", "EST5EDT,M3.2.0,M11.1.0", clock}),
       0,
       {"[0s] server clock Wed 2025-12-31 19:00:00 EST (UTC-05:00", "[60s] server clock Thu 2026-01-01 19:01:00 EST"}},
      {"an unknown zone", RogueRun(dir, {"--tz", "Mars/Olympus", clock}), 2, {}, "", "unknown time zone"},
      {"JSON events, without traces",
       RogueRun(dir, {"--json", clean}),
       0,
       {R"({"event":"server","t":0,"bold":false,"color":[0.0,1.0,0.0,1.0],"text":"hello","to":"1"})"}},
      {"a fault, with traces",
       RogueRun(dir, {"--trace", faulty}),
       1,
       {"FAULT: bad free", "trace RegisterConsoleCommand(\"rogue.badfree\")"}},
      // The shipped demo with the default server directory and plug-in.
      {"the demo", {"run", "--json", HERALDIX_DEMO_SCENARIO}, 0, {R"("event":"chat")", R"("event":"rcon")"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto process = heraldix::test::RunSim(row.args);
    EXPECT_EQ(process.status, row.status) << process.out << process.err;
    if (row.outHas.empty()) {
      EXPECT_EQ(process.out, "");
    }
    for (const std::string& part : row.outHas) EXPECT_NE(process.out.find(part), std::string::npos) << process.out;
    if (!row.err.empty()) {
      EXPECT_EQ(process.err, row.err);
    }
    EXPECT_NE(process.err.find(row.errHas), std::string::npos) << process.err;
    EXPECT_EQ(process.out.find("\"trace\""), std::string::npos) << "traces are off unless asked for";
    if (std::count(row.args.begin(), row.args.end(), "--json") != 0) {
      EXPECT_EQ(process.out.find("server clock"), std::string::npos) << "JSON output carries events only";
    }
  }
  ::unsetenv("TZ");
  // A run never changes the server directory, whatever its lines do to the files.
  EXPECT_EQ(heraldix::test::RunSim(RogueRun(dir, {rewrite})).status, 0);
  std::ifstream config(dir.ConfigPath());
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(config), {}), R"({"kept": true})");
}

TEST(Cli, TimeZonesAreRulesOrZonesOfTheSystemDatabase) {
  for (const char* zone : {"JST-9", "<+0530>-5:30", "CET-1CEST,M3.5.0,M10.5.0/3", ":/etc/localtime"}) {
    EXPECT_EQ(sim::TimeZoneProblem(zone), "") << zone;
  }
  for (const char* zone : {"", "Europe/Nowhere", "EST5EDT,M3.2.0", "CET-1CEST,M3.5.0,M10.5.0/3,", "../../etc/passwd"}) {
    EXPECT_NE(sim::TimeZoneProblem(zone), "") << zone;
  }
}
