// `run`: scenario files in simulated time, then exit 0 (no fault), 1 (a fault) or 2 (bad usage or line).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "sim/cli/Subcommands.h"
#include "sim/host/Events.h"
#include "sim/runner/EventWriter.h"
#include "sim/runner/Runner.h"

namespace sim::cli {
Subcommand AddRun(CLI::App& app) {
  auto* run = app.add_subcommand("run", "Run scenario files in simulated time and exit");
  auto options = std::make_shared<CommonOptions>();
  auto files = std::make_shared<std::vector<std::string>>();
  AddCommonOptions(*run, *options);
  run->add_option("SCENARIO", *files, "Scenario files, run one after another")->required();
  return {run, [options, files]() -> int {
            try {
              std::error_code error;
              if (!std::filesystem::is_directory(options->serverDir, error)) {
                throw ScenarioError("no server directory " + options->serverDir);
              }
              std::vector<ScenarioSource> sources;
              for (const std::string& file : *files) sources.push_back(ReadScenarioFile(file));
              SessionOptions session{{}, options->pluginPath, options->trace, ServerTimeZone(options->timeZone), {}};
              ScratchServerDir scratch(options->serverDir, "heraldix-sim-");
              session.serverDir = scratch.Path();
              WriteEventsTo(stdout, options->json, !options->json && ColourWanted());
              // Readable output says what time it is on the server, at the start and after each jump.
              if (!options->json) session.clockShown = [] { std::printf("%s\n", ReadableClockLine().c_str()); };
              const int status = RunScenarios(session, sources);
              SetEventListener({});
              // What the plug-in keeps beside config.json outlives the run, as on a real server.
              try {
                scratch.KeepState();
              } catch (const std::exception& failure) {
                std::fprintf(stderr, "the plug-in's files were not kept in %s: %s\n", options->serverDir.c_str(),
                             failure.what());
              }
              return status;
            } catch (const std::exception& error) {
              SetEventListener({});
              std::fprintf(stderr, "%s\n", error.what());
              return 2;
            }
          }};
}

}  // namespace sim::cli
