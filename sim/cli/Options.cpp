#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "sim/host/Clock.h"

#include "sim/cli/Subcommands.h"

namespace sim::cli {

namespace {

// The directory of the running program. The defaults are found from it, never from a path fixed at build
// time, so the same program works in a build tree and wherever a package put it.
std::filesystem::path ProgramDir() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path(error) : self.parent_path();
}

std::string Normal(const std::filesystem::path& path) {
  std::error_code error;
  const auto normal = std::filesystem::weakly_canonical(path, error);
  return (error ? path.lexically_normal() : normal).string();
}

}  // namespace

// Installed, and in a build tree (where the build links the same names to the built plug-in and the
// example server directory): bin/heraldix-sim, lib/heraldix/libheraldix.so, share/heraldix/server.
std::string DefaultServerDir() { return Normal(ProgramDir() / ".." / "share" / "heraldix" / "server"); }

std::string DefaultPluginPath() {
  const auto dir = ProgramDir();
  const auto installed = dir / ".." / "lib" / "heraldix" / "libheraldix.so";
  std::error_code error;
  if (std::filesystem::exists(installed, error)) return Normal(installed);
  // A plug-in copied next to the program.
  const auto beside = dir / "libheraldix.so";
  if (std::filesystem::exists(beside, error)) return Normal(beside);
  return Normal(installed);
}

bool ColourWanted() { return ::isatty(STDOUT_FILENO) == 1 && std::getenv("NO_COLOR") == nullptr; }

void AddCommonOptions(CLI::App& subcommand, CommonOptions& options) {
  options.serverDir = DefaultServerDir();
  options.pluginPath = DefaultPluginPath();
  subcommand
      .add_option("--server-dir", options.serverDir, "Server directory holding TarrowApi/Plugins/Heraldix/config.json")
      ->capture_default_str();
  subcommand.add_option("--plugin", options.pluginPath, "Plug-in library to load")->capture_default_str();
  subcommand.add_flag("--json", options.json, "One JSON object per event and line");
  subcommand.add_flag("--trace", options.trace, "Also show host calls that deliver nothing");
  AddTimeZoneOption(subcommand, options.timeZone);
}

void AddTimeZoneOption(CLI::App& subcommand, std::string& zone) {
  subcommand.add_option("--tz", zone,
                        "The server's local time zone (Europe/Berlin, CET-1CEST,M3.5.0,M10.5.0/3, UTC); default: TZ, "
                        "else the system's");
}

std::string ServerTimeZone(const std::string& option) {
  std::string zone = option.empty() ? EnvironmentTimeZone() : option;
  const std::string problem = TimeZoneProblem(zone);
  if (!problem.empty()) throw std::runtime_error(problem);
  return zone;
}

}  // namespace sim::cli
