#include "sim/runner/Runner.h"

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
    ForEachLine(source, [&](const std::string& text, int number) {
      if (auto line = ParseScenarioLine(text)) lines.push_back({&source, number, std::move(*line)});
    });
  }
  return lines;
}

}  // namespace

ScratchServerDir::ScratchServerDir(const std::filesystem::path& original, const std::string& prefix)
    : original_(original) {
  try {
    path_ = MakeTemporaryDirectory(prefix);
  } catch (const std::runtime_error&) {
    throw ScenarioError("cannot create a temporary server directory");
  }
  const std::filesystem::path folder = ConfigPathIn(path_).parent_path();
  std::filesystem::create_directories(folder);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(ConfigPathIn(original).parent_path(), error)) {
    const std::filesystem::path name = entry.path().filename();
    std::filesystem::copy(entry.path(), folder / name, std::filesystem::copy_options::recursive);
    if (name != ConfigPathIn(path_).filename()) copiedIn_.push_back(name);
  }
}

void ScratchServerDir::KeepState() const {
  const std::filesystem::path from = ConfigPathIn(path_).parent_path();
  const std::filesystem::path to = ConfigPathIn(original_).parent_path();
  const std::filesystem::path config = ConfigPathIn(path_).filename();
  for (const std::filesystem::path& name : copiedIn_) {
    if (!std::filesystem::exists(from / name)) std::filesystem::remove_all(to / name);
  }
  for (const auto& entry : std::filesystem::directory_iterator(from)) {
    if (entry.path().filename() == config) continue;
    std::filesystem::create_directories(to);
    std::filesystem::copy(entry.path(), to / entry.path().filename(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
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
