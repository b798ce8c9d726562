#include "sim/runner/Runner.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace sim {
namespace {

struct Numbered {
  const ScenarioSource* source;
  int number;
  ScenarioLine line;
};

std::vector<Numbered> ParseAll(const std::vector<ScenarioSource>& sources) {
  std::vector<Numbered> lines;
  for (const ScenarioSource& source : sources) {
    std::istringstream in(source.text);
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
      ++number;
      try {
        if (auto line = ParseScenarioLine(text)) lines.push_back({&source, number, std::move(*line)});
      } catch (const ScenarioError& error) {
        throw LocatedScenarioError(source.name, number, error.what());
      }
    }
  }
  return lines;
}

}  // namespace

ScratchServerDir::ScratchServerDir(const std::filesystem::path& original, const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw ScenarioError("cannot create a temporary server directory");
  path_ = pattern;
  std::filesystem::create_directories(ConfigPathIn(path_).parent_path());
  std::error_code error;
  if (std::filesystem::exists(ConfigPathIn(original), error)) {
    std::filesystem::copy_file(ConfigPathIn(original), ConfigPathIn(path_));
  }
}

ScratchServerDir::~ScratchServerDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

ScenarioSource ReadScenarioFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError("cannot read scenario " + path.string());
  ScenarioSource source;
  source.name = path.string();
  source.dir = path.parent_path();
  source.text.assign(std::istreambuf_iterator<char>(in), {});
  return source;
}

void RunSources(Session& session, const std::vector<ScenarioSource>& sources) {
  for (const Numbered& numbered : ParseAll(sources)) {
    try {
      session.Execute(numbered.line, numbered.source->dir);
    } catch (const LocatedScenarioError&) {
      throw;
    } catch (const ScenarioError& error) {
      throw LocatedScenarioError(numbered.source->name, numbered.number, error.what());
    }
  }
}

int RunScenarios(const SessionOptions& options, const std::vector<ScenarioSource>& sources) {
  ParseAll(sources);  // a bad line stops the run before the plug-in is even loaded
  Session session(options);
  session.Load();
  RunSources(session, sources);
  if (session.Loaded()) session.Unload();
  return Session::ExitStatus();
}

}  // namespace sim
