#include "sim/runner/Scenario.h"

#include <charconv>
#include <map>
#include <set>

namespace sim {
namespace {

struct Shape {
  std::size_t minArgs;
  std::size_t maxArgs;  // SIZE_MAX: any number
  bool takesRest;       // the arguments are followed by verbatim text
};

constexpr std::size_t Any = static_cast<std::size_t>(-1);

const std::map<std::string, Shape, std::less<>>& Shapes() {
  static const std::map<std::string, Shape, std::less<>> shapes = {
      {"join", {2, Any, false}},     {"leave", {1, 1, false}},        {"die", {1, 1, false}},
      {"respawn", {1, 1, false}},    {"possess-dead", {1, 1, false}}, {"stale", {1, 1, false}},
      {"groups", {1, Any, false}},   {"chat", {1, 1, true}},          {"console", {1, 1, true}},
      {"rcon", {0, 0, true}},        {"wait", {1, 1, false}},         {"tick", {0, 0, false}},
      {"clock", {1, 1, false}},      {"texture", {1, 1, false}},      {"config", {1, 1, false}},
      {"config-text", {0, 0, true}}, {"config-rm", {0, 0, false}},    {"load", {0, 0, false}},
      {"unload", {0, 0, false}},
  };
  return shapes;
}

// How each line is written, for a wrong line and for the console's help.
const std::map<std::string, std::string, std::less<>>& Usages() {
  static const std::map<std::string, std::string, std::less<>> usage = {
      {"join", "join ID NAME [GROUP...]"},
      {"leave", "leave ID"},
      {"die", "die ID"},
      {"respawn", "respawn ID"},
      {"possess-dead", "possess-dead ID"},
      {"stale", "stale ID"},
      {"groups", "groups ID [GROUP...]"},
      {"chat", "chat ID TEXT..."},
      {"console", "console ID|none LINE..."},
      {"rcon", "rcon LINE..."},
      {"wait", "wait SECONDS"},
      {"tick", "tick"},
      {"clock", "clock [+-]SECONDS"},
      {"texture", "texture PATH"},
      {"config", "config FILE"},
      {"config-text", "config-text JSON"},
      {"config-rm", "config-rm"},
      {"load", "load"},
      {"unload", "unload"},
  };
  return usage;
}

// Reads one argument starting at pos (which is not a space); quotes group and are dropped.
std::string NextArgument(std::string_view text, std::size_t& pos) {
  std::string argument;
  bool quoted = false;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      break;
    } else {
      argument.push_back(c);
    }
    ++pos;
  }
  if (quoted) throw ScenarioError("unterminated double quote");
  return argument;
}

void SkipSpaces(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
}

}  // namespace

std::optional<ScenarioLine> ParseScenarioLine(std::string_view text) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  std::size_t pos = 0;
  SkipSpaces(text, pos);
  if (pos == text.size() || text[pos] == '#') return std::nullopt;
  ScenarioLine line;
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != ' ') ++pos;
  line.command = std::string(text.substr(start, pos - start));
  auto shape = Shapes().find(line.command);
  if (shape == Shapes().end()) throw ScenarioError("unknown command \"" + line.command + "\"");
  const Shape& expected = shape->second;

  const std::size_t fixed = expected.takesRest ? expected.maxArgs : Any;
  while (line.args.size() < fixed) {
    SkipSpaces(text, pos);
    if (pos == text.size()) break;
    line.args.push_back(NextArgument(text, pos));
  }
  if (expected.takesRest) {
    // Exactly one space separates the arguments from the text, so the text may itself start with spaces.
    if (pos < text.size() && text[pos] == ' ') ++pos;
    line.rest = std::string(text.substr(std::min(pos, text.size())));
  }
  if (line.args.size() < expected.minArgs || (expected.maxArgs != Any && line.args.size() > expected.maxArgs)) {
    throw ScenarioError("usage: " + Usages().at(line.command));
  }
  // Numbers are checked here too, so a bad one stops a run before anything happens.
  static const std::set<std::string, std::less<>> withPlayer = {"join",         "leave", "die",    "respawn",
                                                                "possess-dead", "stale", "groups", "chat"};
  if (withPlayer.count(line.command) != 0 || (line.command == "console" && line.args[0] != "none")) {
    ParsePlayerId(line.args[0]);
  }
  if (line.command == "wait") ParseSeconds(line.args[0], false);
  if (line.command == "clock") ParseSeconds(line.args[0], true);
  return line;
}

std::vector<std::string> ScenarioLineUsages() {
  std::vector<std::string> lines;
  for (const auto& [command, usage] : Usages()) lines.push_back(usage);
  return lines;
}

std::uint64_t ParsePlayerId(const std::string& text) {
  std::uint64_t id = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, id);
  if (text.empty() || error != std::errc() || stop != end || text[0] == '-' || text[0] == '+') {
    throw ScenarioError("bad player id \"" + text + "\" (an unsigned 64-bit decimal number)");
  }
  return id;
}

std::int64_t ParseSeconds(const std::string& text, bool signedAllowed) {
  std::string_view digits = text;
  bool negative = false;
  if (signedAllowed && !digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  std::int64_t value = 0;
  auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || digits[0] == '-' || digits[0] == '+' || error != std::errc() ||
      stop != digits.data() + digits.size()) {
    throw ScenarioError("bad number of seconds \"" + text + "\"");
  }
  return negative ? -value : value;
}

}  // namespace sim
