#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "sim/cli/Subcommands.h"

namespace sim::cli {

std::string DefaultServerDir() { return HERALDIX_SIM_DEFAULT_SERVER_DIR; }

std::string DefaultPluginPath() {
  const std::string built = HERALDIX_SIM_DEFAULT_PLUGIN;
  if (!built.empty()) return built;
  // No plug-in target in this build: look beside the executable.
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("libheraldix.so") : (self.parent_path() / "libheraldix.so").string();
}

bool ColourWanted() { return ::isatty(STDOUT_FILENO) == 1 && std::getenv("NO_COLOR") == nullptr; }

void AddCommonOptions(CLI::App& subcommand, CommonOptions& options) {
  options.serverDir = DefaultServerDir();
  options.pluginPath = DefaultPluginPath();
  subcommand.add_option("--server-dir", options.serverDir, "Server directory holding TarrowApi/Plugins/Heraldix/config.json")
      ->capture_default_str();
  subcommand.add_option("--plugin", options.pluginPath, "Plug-in library to load")->capture_default_str();
  subcommand.add_flag("--json", options.json, "One JSON object per event and line");
  subcommand.add_flag("--trace", options.trace, "Also show host calls that deliver nothing");
}

}  // namespace sim::cli
