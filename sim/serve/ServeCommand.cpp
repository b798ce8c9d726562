// `serve`: its options on the command line, handed to the live server.
#include <cstdio>
#include <exception>
#include <memory>

#include "sim/cli/Subcommands.h"
#include "sim/serve/Serve.h"

namespace sim::cli {

Subcommand AddServe(CLI::App& app) {
  auto* serve =
      app.add_subcommand("serve", "Run the server in real time: scenario lines from standard input, RCON on 127.0.0.1");
  auto common = std::make_shared<CommonOptions>();
  auto port = std::make_shared<int>(0);
  auto password = std::make_shared<std::string>();
  auto script = std::make_shared<std::string>();
  AddCommonOptions(*serve, *common);
  CLI::Option* portOption =
      serve->add_option("--rcon-port", *port, "Serve RCON on 127.0.0.1 at this port (0: the system picks one)")
          ->check(CLI::Range(0, 65535));
  serve->add_option("--rcon-password", *password, "Password RCON clients must give (required with --rcon-port)");
  serve->add_option("--script", *script, "Scenario lines played before standard input");
  auto noConsole = std::make_shared<bool>(false);
  serve->add_flag("--no-console", *noConsole,
                  "Read no standard input; run until SIGTERM or SIGINT, as a service (needs --rcon-port)");
  return {serve, [=]() -> int {
            ServeOptions options;
            options.session = {common->serverDir, common->pluginPath, common->trace, {}, {}};
            try {
              options.session.timeZone = ServerTimeZone(common->timeZone);
            } catch (const std::exception& error) {
              std::fprintf(stderr, "%s\n", error.what());
              return 2;
            }
            options.json = common->json;
            options.colour = !common->json && ColourWanted();
            if (portOption->count() > 0) options.rconPort = *port;
            options.rconPassword = *password;
            options.script = *script;
            options.console = !*noConsole;
            return Serve(options);
          }};
}

}  // namespace sim::cli
