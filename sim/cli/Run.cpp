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
namespace {

// The scenario's config lines write config.json, so the run works on a copy of it and never changes the
// server directory it was pointed at.
class ScratchServerDir {
 public:
  explicit ScratchServerDir(const std::filesystem::path& original) {
    std::string pattern = (std::filesystem::temp_directory_path() / "heraldix-sim-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw ScenarioError("cannot create a temporary server directory");
    path_ = pattern;
    const auto relative = std::filesystem::path("TarrowApi") / "Plugins" / "Heraldix";
    std::filesystem::create_directories(path_ / relative);
    std::error_code error;
    if (std::filesystem::exists(original / relative / "config.json", error)) {
      std::filesystem::copy_file(original / relative / "config.json", path_ / relative / "config.json");
    }
  }
  ScratchServerDir(const ScratchServerDir&) = delete;
  ScratchServerDir& operator=(const ScratchServerDir&) = delete;
  ~ScratchServerDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

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
              ScratchServerDir scratch(options->serverDir);
              session.serverDir = scratch.Path();
              WriteEventsTo(stdout, options->json, !options->json && ColourWanted());
              // Readable output says what time it is on the server, at the start and after each jump.
              if (!options->json) session.clockShown = [] { std::printf("%s\n", ReadableClockLine().c_str()); };
              const int status = RunScenarios(session, sources);
              SetEventListener({});
              return status;
            } catch (const std::exception& error) {
              SetEventListener({});
              std::fprintf(stderr, "%s\n", error.what());
              return 2;
            }
          }};
}

}  // namespace sim::cli
