// Owns the scenario language: each line, how it is written and what it does; one command a line, parsed and
// checked before anything runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Session;

// A line that makes no sense, or cannot be carried out; `run` exits 2 with "FILE:LINE: message".
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ScenarioLine {
  std::string command;
  std::vector<std::string> args;  // space-separated, double quotes group and are removed
  std::string rest;               // chat, console, rcon, config-text: the text after the arguments, verbatim
};

// Nothing for a blank line or a comment. Raises ScenarioError for an unknown command or wrong arguments.
std::optional<ScenarioLine> ParseScenarioLine(std::string_view text);

// Runs the line's handler in the session: what Session::Execute does.
void CarryOut(Session& session, const ScenarioLine& line, const std::filesystem::path& scenarioDir);

// How every scenario line is written ("join ID NAME [GROUP...]", ...), in name order.
std::vector<std::string> ScenarioLineUsages();

// Unsigned 64-bit decimal, digits only; raises ScenarioError otherwise.
std::uint64_t ParsePlayerId(const std::string& text);

// Whole seconds in decimal, with a leading + or - only when signedAllowed; raises ScenarioError otherwise.
std::int64_t ParseSeconds(const std::string& text, bool signedAllowed);

// A `wait`'s seconds: unsigned, at most a week; raises ScenarioError otherwise.
std::int64_t ParseWaitSeconds(const std::string& text);

}  // namespace sim
