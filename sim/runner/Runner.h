// Owns carrying out whole scenario texts in a session, with each bad line located by file and line.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "sim/runner/Scenario.h"
#include "sim/runner/Session.h"

namespace sim {

struct ScenarioSource {
  std::string name;           // as shown in "NAME:LINE: message"
  std::filesystem::path dir;  // resolves `config FILE`
  std::string text;
};

// A bad line with where it is; what() is "NAME:LINE: message".
class LocatedScenarioError : public ScenarioError {
 public:
  LocatedScenarioError(const std::string& name, int line, const std::string& message)
      : ScenarioError(name + ":" + std::to_string(line) + ": " + message) {}
};

// Calls visit(text, number) for each line of source, numbered from 1; a ScenarioError that visit raises
// comes out as a LocatedScenarioError naming the source and the line.
template <class Visit>
void ForEachLine(const ScenarioSource& source, Visit&& visit) {
  std::istringstream in(source.text);
  std::string text;
  int number = 0;
  while (std::getline(in, text)) {
    ++number;
    try {
      visit(text, number);
    } catch (const ScenarioError& error) {
      throw LocatedScenarioError(source.name, number, error.what());
    }
  }
}

// A temporary server directory holding a copy of another's plug-in folder, removed with everything in it at
// the end: scenarios' config lines then never change the server directory they were pointed at. What the
// plug-in keeps beside config.json (its players' database) can be written back, so a later run sees it.
class ScratchServerDir {
 public:
  // The directory is made under the system's temporary folder, its name starting with prefix.
  ScratchServerDir(const std::filesystem::path& original, const std::string& prefix);
  ScratchServerDir(const ScratchServerDir&) = delete;
  ScratchServerDir& operator=(const ScratchServerDir&) = delete;
  ~ScratchServerDir();
  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  // Mirrors every entry of the plug-in folder but config.json back into the original server directory:
  // copies what the run left (a file as it was there already stays untouched), removes what it removed. Call with the
  // plug-in unloaded. Raises std::filesystem::filesystem_error when the original cannot be written.
  void KeepState() const;

 private:
  std::filesystem::path original_;
  std::filesystem::path path_;
  std::vector<std::filesystem::path> copiedIn_;  // entry names of the plug-in folder besides config.json
};

// Reads a scenario file; raises ScenarioError when it cannot be read.
ScenarioSource ReadScenarioFile(const std::filesystem::path& path);

// Checks every line of every source first, then carries them out in order. Raises LocatedScenarioError
// for a line that does not parse (before anything runs) or cannot be carried out (when reached).
void RunSources(Session& session, const std::vector<ScenarioSource>& sources);

// What `run` does: load, every line, unload unless already unloaded. Answers the exit status, 0 or 1;
// raises LocatedScenarioError or ScenarioError for exit status 2.
int RunScenarios(const SessionOptions& options, const std::vector<ScenarioSource>& sources);

}  // namespace sim
