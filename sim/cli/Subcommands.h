// Owns the heraldix-sim command line: options every mode shares, and the subcommands that plug into it.
#pragma once

#include <functional>
#include <string>

#include <CLI/CLI.hpp>

namespace sim::cli {

struct CommonOptions {
  std::string serverDir;
  std::string pluginPath;
  bool json = false;
  bool trace = false;
  std::string timeZone;  // --tz; empty: the TZ variable, else the system's zone
};

// --server-dir, --plugin (defaults: the example server directory and the plug-in that belong to this
// program, found relative to it), --json, --trace, --tz.
void AddCommonOptions(CLI::App& subcommand, CommonOptions& options);
std::string DefaultServerDir();
std::string DefaultPluginPath();
void AddTimeZoneOption(CLI::App& subcommand, std::string& zone);
// The zone the server keeps local time in: the --tz value, else TZ, else the system's; raises
// std::runtime_error for a zone that names nothing.
std::string ServerTimeZone(const std::string& option);
// Coloured output when standard output is a terminal and NO_COLOR is unset.
bool ColourWanted();

// A subcommand adds itself to the app and hands back what runs it when chosen: the exit status.
using Action = std::function<int()>;
struct Subcommand {
  CLI::App* app = nullptr;
  Action run;
};

Subcommand AddRun(CLI::App& app);
// Each built only when its folder is present (see CMakeLists.txt).
Subcommand AddServe(CLI::App& app);
Subcommand AddCheck(CLI::App& app);
Subcommand AddPreview(CLI::App& app);

}  // namespace sim::cli
