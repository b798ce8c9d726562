// Runs every benchmark, then prints each figure of the plug-in beside its baseline from the same run,
// with the ratio and the target it is held to.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/Benchmarks.h"

namespace {

struct Result {
  double nanoseconds = 0;  // CPU time per iteration: steadier than wall time on a busy machine
  std::map<std::string, double> counters;
};

// Shows runs as the console reporter does, and keeps them for the comparison at the end. With
// --benchmark_repetitions, the fastest repetition is kept: on a shared machine time stolen by neighbours
// only ever adds to a figure, so the minimum is the one both sides of a ratio can be held to.
class KeepingReporter final : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, Result> results;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      const bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == heraldix::bench::FastestStatistic;
      if (run.run_type == Run::RT_Iteration && run.repetitions > 1) continue;
      if (run.run_type == Run::RT_Aggregate && !fastest) continue;
      Result& result = results[run.run_name.str()];
      result.nanoseconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
      for (const auto& [name, counter] : run.counters) result.counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

enum class Target { Difference, Ratio, Below, None };

struct Figure {
  const char* title;
  const char* plugin;
  const char* baseline;
  Target target;
  double limit;  // nanoseconds for Difference and Below, a factor for Ratio
};

const Figure Figures[] = {
    {"idle game-timer call", "IdleTimerCall/plugin", "IdleTimerCall/game", Target::Difference, 2000},
    {"idle call, a dozen scheduled", "IdleTimerCall/plugin-scheduled", "IdleTimerCall/plugin", Target::Ratio, 2.0},
    {"idle call, all of it configured", "IdleTimerCall/plugin-everything", "IdleTimerCall/plugin", Target::Ratio, 1.2},
    {"chat broadcast, 100 players", "ChatBroadcast/plugin/100", "ChatBroadcast/bare/100", Target::Ratio, 1.5},
    {"chat broadcast, 1,000 players", "ChatBroadcast/plugin/1000", "ChatBroadcast/bare/1000", Target::Ratio, 1.5},
    {"custom command lookup, 10,000", "CommandLookup/plugin", "CommandLookup/std::map", Target::Below, 1000},
    {"typed line to its entry, 10,000", "CommandLookup/plugin-line", "CommandLookup/std::map", Target::Below, 1000},
    {"reload, 10,000 cmds + 1,000 msgs", "Reload/plugin", "Reload/json-parse", Target::Ratio, 2.0},
    {"a player's choice, kept", "PlayerChoice/plugin/iterations:20000", "PlayerChoice/map/iterations:20000",
     Target::Below, 2000},
    {"timed broadcast, 2 languages, 1,000", "TimedBroadcast/languages/1000", "TimedBroadcast/plain/1000", Target::Ratio,
     1.1},
};

std::string Time(double nanoseconds) {
  char text[32];
  if (nanoseconds >= 1e6) {
    std::snprintf(text, sizeof text, "%.2f ms", nanoseconds / 1e6);
  } else if (nanoseconds >= 1e3) {
    std::snprintf(text, sizeof text, "%.2f us", nanoseconds / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.0f ns", nanoseconds);
  }
  return text;
}

std::string Verdict(const Figure& figure, double plugin, double baseline) {
  char text[96];
  switch (figure.target) {
    case Target::Difference:
      std::snprintf(text, sizeof text, "within %s of baseline: %s", Time(figure.limit).c_str(),
                    plugin - baseline <= figure.limit ? "met" : "MISSED");
      break;
    case Target::Ratio:
      std::snprintf(text, sizeof text, "ratio at most %.1f: %s", figure.limit,
                    plugin <= figure.limit * baseline ? "met" : "MISSED");
      break;
    case Target::Below:
      std::snprintf(text, sizeof text, "under %s: %s", Time(figure.limit).c_str(),
                    plugin < figure.limit ? "met" : "MISSED");
      break;
    case Target::None:
      std::snprintf(text, sizeof text, "(no target)");
      break;
  }
  return text;
}

void PrintComparison(const std::map<std::string, Result>& results) {
  std::printf("\n%-34s %12s %12s %8s  %s\n", "figure", "plug-in", "baseline", "ratio", "target");
  for (const Figure& figure : Figures) {
    const auto plugin = results.find(figure.plugin);
    const auto baseline = results.find(figure.baseline);
    if (plugin == results.end() || baseline == results.end()) {
      std::printf("%-34s %12s %12s %8s  %s\n", figure.title, "-", "-", "-", "not run");
      continue;
    }
    const double mine = plugin->second.nanoseconds;
    const double base = baseline->second.nanoseconds;
    std::printf("%-34s %12s %12s %8.2f  %s\n", figure.title, Time(mine).c_str(), Time(base).c_str(), mine / base,
                Verdict(figure, mine, base).c_str());
  }
  std::printf("\n");
  for (const auto& [name, title] : {std::pair{"IdleTimerCall/plugin-scheduled", "heap allocations, idle scheduled"},
                                    std::pair{"IdleTimerCall/plugin-everything", "heap allocations, idle all of it"}}) {
    const auto idle = results.find(name);
    if (idle == results.end()) continue;
    const double allocations = idle->second.counters.at("allocations_per_call");
    std::printf("%-34s %12.2f  %s\n", title, allocations, allocations == 0 ? "none: met" : "MISSED");
  }
  std::printf("\n%-34s %12s %12s\n", "game-allocator blocks", "plug-in", "bare loop");
  for (const char* players : {"100", "1000"}) {
    const auto plugin = results.find(std::string("ChatBroadcast/plugin/") + players);
    const auto bare = results.find(std::string("ChatBroadcast/bare/") + players);
    if (plugin == results.end() || bare == results.end()) continue;
    const std::string title = std::string("per broadcast, per player (") + players + ")";
    std::printf("%-34s %12.2f %12.2f\n", title.c_str(), plugin->second.counters.at("blocks_per_player"),
                bare->second.counters.at("blocks_per_player"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  heraldix::bench::RegisterBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  KeepingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintComparison(reporter.results);
  return 0;
}
