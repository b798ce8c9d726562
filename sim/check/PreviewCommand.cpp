// `preview [--out FILE.html] SCENARIO...`: runs scenarios on the simulated server and writes the page.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>

#include "grammar/Keys.h"
#include "sim/check/Preview.h"
#include "sim/cli/Subcommands.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"
#include "sim/runner/Runner.h"
#include "sim/runner/Scenario.h"

namespace sim::cli {
namespace {

// Names from the join lines, so each screen is headed by the character's name.
void CollectPlayers(const ScenarioSource& source, std::vector<sim::preview::Player>& players) {
  std::istringstream in(source.text);
  std::string text;
  while (std::getline(in, text)) {
    std::optional<ScenarioLine> line;
    try {
      line = ParseScenarioLine(text);
    } catch (const ScenarioError&) {
      continue;  // the run itself reports the line
    }
    if (!line || line->command != "join" || line->args.size() < 2) continue;
    const std::string& id = line->args[0];
    auto known = std::find_if(players.begin(), players.end(), [&](const auto& player) { return player.id == id; });
    if (known == players.end()) {
      players.push_back({id, line->args[1]});
    } else {
      known->name = line->args[1];
    }
  }
}

// The language each player picked, from the players' database as the run left it; none when the configuration
// the run ended with keeps no players' choices. The file is read as an admin reads it: the table the README shows.
std::map<std::string, std::string> KeptLanguages(const std::filesystem::path& config) {
  std::map<std::string, std::string> languages;
  nlohmann::json document;
  try {
    std::ifstream in(config, std::ios::binary);
    in >> document;
  } catch (const nlohmann::json::exception&) {
    return languages;
  }
  const auto players = document.is_object() ? document.find(grammar::Top::Players.name) : document.end();
  if (players == document.end() || !players->is_object() ||
      players->value(grammar::Players::Enabled.name, nlohmann::json()) != true) {
    return languages;
  }
  const nlohmann::json name =
      players->value(grammar::Players::Database.name, nlohmann::json(grammar::Players::Database.text));
  if (!name.is_string()) return languages;
  std::filesystem::path file(name.get<std::string>());
  if (file.is_relative()) file = config.parent_path() / file;
  sqlite3* database = nullptr;
  if (sqlite3_open_v2(file.c_str(), &database, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare_v2(database, "SELECT id, language FROM players WHERE language <> ''", -1, &rows, nullptr) ==
        SQLITE_OK) {
      while (sqlite3_step(rows) == SQLITE_ROW) {
        const auto* id = reinterpret_cast<const char*>(sqlite3_column_text(rows, 0));
        const auto* language = reinterpret_cast<const char*>(sqlite3_column_text(rows, 1));
        if (id != nullptr && language != nullptr) languages[id] = language;
      }
    }
    sqlite3_finalize(rows);
  }
  sqlite3_close(database);
  return languages;
}

}  // namespace

Subcommand AddPreview(CLI::App& app) {
  struct Options {
    std::string serverDir;
    std::string pluginPath;
    std::string out = "heraldix-preview.html";
    std::string timeZone;
    std::vector<std::string> files;
  };
  auto options = std::make_shared<Options>();
  options->serverDir = DefaultServerDir();
  options->pluginPath = DefaultPluginPath();
  auto* preview = app.add_subcommand(
      "preview", "Run scenarios and write one HTML page showing what each player saw, in colour, over time");
  preview
      ->add_option("--server-dir", options->serverDir,
                   "Server directory holding TarrowApi/Plugins/Heraldix/config.json")
      ->capture_default_str();
  preview->add_option("--plugin", options->pluginPath, "Plug-in library to load")->capture_default_str();
  preview->add_option("--out", options->out, "The page to write")->capture_default_str();
  AddTimeZoneOption(*preview, options->timeZone);
  preview->add_option("SCENARIO", options->files, "Scenario files, run one after another")->required();
  return {preview, [options]() -> int {
            std::vector<nlohmann::json> events;
            try {
              std::error_code error;
              if (!std::filesystem::is_directory(options->serverDir, error)) {
                throw ScenarioError("no server directory " + options->serverDir);
              }
              sim::preview::PreviewInput input;
              std::vector<ScenarioSource> sources;
              for (const std::string& file : options->files) {
                sources.push_back(ReadScenarioFile(file));
                input.scenarios.push_back(std::filesystem::path(file).filename().string());
                CollectPlayers(sources.back(), input.players);
              }
              const std::string zone = ServerTimeZone(options->timeZone);
              // The scenarios may rewrite config.json: they work on a copy so the admin's server directory stays as it
              // is.
              ScratchServerDir scratch(options->serverDir, "heraldix-preview-");
              // Each line is shown with the server's clock as it read when the line arrived.
              SetEventListener([&events](const nlohmann::json& event) {
                events.push_back(event);
                events.back()["clock"] = LocalTimeOfDay();
              });
              input.exitStatus = RunScenarios({scratch.Path(), options->pluginPath, false, zone, {}}, sources);
              SetEventListener({});
              input.events = std::move(events);
              input.languages = KeptLanguages(ConfigPathIn(scratch.Path()));

              std::ofstream page(options->out, std::ios::binary | std::ios::trunc);
              page << sim::preview::RenderPreviewHtml(input);
              page.close();
              if (!page) throw ScenarioError("cannot write " + options->out);
              std::fprintf(stderr, "wrote %s\n", options->out.c_str());
              return input.exitStatus;
            } catch (const std::exception& error) {
              SetEventListener({});
              std::fprintf(stderr, "%s\n", error.what());
              return 2;
            }
          }};
}

}  // namespace sim::cli
