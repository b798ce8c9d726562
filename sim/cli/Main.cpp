// heraldix-sim: the simulated dedicated server's command line.
#include <cstdio>
#include <exception>
#include <vector>

#include "sim/cli/Subcommands.h"

namespace {

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"heraldix-sim: a simulated dedicated server that loads the Heraldix plug-in"};
  app.set_version_flag("--version", "heraldix-sim " HERALDIX_VERSION);
  app.require_subcommand(1);
  std::vector<sim::cli::Subcommand> subcommands;
  subcommands.push_back(sim::cli::AddRun(app));
#ifdef HERALDIX_SIM_HAS_SERVE
  subcommands.push_back(sim::cli::AddServe(app));
#endif
#ifdef HERALDIX_SIM_HAS_CHECK
  subcommands.push_back(sim::cli::AddCheck(app));
  subcommands.push_back(sim::cli::AddPreview(app));
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    // Bad usage is exit status 2, as for a bad scenario line; --help is not bad usage.
    return status == 0 ? 0 : 2;
  }
  for (const auto& subcommand : subcommands) {
    if (subcommand.app->parsed()) return subcommand.run();
  }
  return 2;
}

}  // namespace

// Each subcommand reports its own failures; what is left (the command line cannot be set up) is still a
// message and an exit status, never an abort.
int main(int argc, char** argv) {
  try {
    return RunCommandLine(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "heraldix-sim: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "heraldix-sim: unexpected error\n");
  }
  return 2;
}
