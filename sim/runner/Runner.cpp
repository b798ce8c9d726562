#include "sim/runner/Runner.h"

#include <algorithm>
#include <fstream>
#include <iterator>
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

// Whether two regular files hold the same bytes; false when either cannot be read.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(a, error) || !std::filesystem::is_regular_file(b, error) ||
      std::filesystem::file_size(a, error) != std::filesystem::file_size(b, error) || error) {
    return false;
  }
  std::ifstream left(a, std::ios::binary);
  std::ifstream right(b, std::ios::binary);
  return left && right &&
         std::equal(std::istreambuf_iterator<char>(left), {}, std::istreambuf_iterator<char>(right), {});
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
    // What the run left as it was is not written again: a server directory that cannot be written (an installed
    // example) then fails only for what the plug-in changed.
    if (entry.path().filename() == config || SameFile(entry.path(), to / entry.path().filename())) continue;
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
