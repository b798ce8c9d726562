// `check [CONFIG]`: the configuration checker on the command line.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "sim/check/Checker.h"
#include "sim/cli/Subcommands.h"
#include "sim/runner/Session.h"

namespace sim::cli {

Subcommand AddCheck(CLI::App& app) {
  struct Options {
    std::string serverDir;
    std::string config;
    bool json = false;
  };
  auto options = std::make_shared<Options>();
  options->serverDir = DefaultServerDir();
  auto* check = app.add_subcommand(
      "check", "Report what the plug-in would meet in a config.json: exit 0 clean, 1 warnings only, 2 errors");
  check->add_option("CONFIG", options->config,
                    "The file to check (default: the server directory's TarrowApi/Plugins/Heraldix/config.json)");
  check->add_option("--server-dir", options->serverDir, "Server directory whose config.json is checked")
      ->capture_default_str();
  check->add_flag("--json", options->json, "One JSON report for machines");
  return {check, [options]() -> int {
            const std::filesystem::path path =
                options->config.empty() ? ConfigPathIn(options->serverDir) : std::filesystem::path(options->config);
            const sim::check::Report report = sim::check::CheckConfigFile(path);
            const std::string out = options->json ? sim::check::FormatReportJson(report, path.string())
                                                  : sim::check::FormatReport(report, path.string());
            std::fputs(out.c_str(), stdout);
            return report.ExitStatus();
          }};
}

}  // namespace sim::cli
