#include "sim/runner/Scenario.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <system_error>

#include "sim/game/Game.h"
#include "sim/host/Clock.h"
#include "sim/permissions/SimPermissions.h"
#include "sim/runner/Session.h"

namespace sim {
namespace {

constexpr std::size_t Any = static_cast<std::size_t>(-1);

// What the first argument must be; checked when the line is parsed, so a bad one stops a run before
// anything happens.
enum class Lead { Word, Player, PlayerOrNone, Seconds, SignedSeconds };

struct Shape {
  std::size_t minArgs;
  std::size_t maxArgs;  // Any: any number
  bool takesRest;       // the arguments are followed by verbatim text
  Lead lead;
};

constexpr Shape None{0, 0, false, Lead::Word};
constexpr Shape OneWord{1, 1, false, Lead::Word};
constexpr Shape OnePlayer{1, 1, false, Lead::Player};
constexpr Shape OnlyText{0, 0, true, Lead::Word};

// What a line's handler works on.
struct Step {
  Session& session;
  const ScenarioLine& line;
  const std::filesystem::path& scenarioDir;

  [[nodiscard]] std::uint64_t Player() const { return ParsePlayerId(line.args[0]); }
};

void Check(const std::string& problem) {
  if (!problem.empty()) throw ScenarioError(problem);
}

// The server directory may be one the user cannot change (the example installed under /usr/share): say
// so and why, and let the server go on.
[[noreturn]] void CannotChange(const std::string& what, const std::filesystem::path& path, const std::string& reason) {
  throw ScenarioError("cannot " + what + " " + path.string() + ": " + reason +
                      " (give --server-dir a server directory you may write to)");
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) CannotChange("write", path, errno != 0 ? std::strerror(errno) : "cannot open it");
  out << text;
  out.flush();
  if (!out) CannotChange("write", path, errno != 0 ? std::strerror(errno) : "write failed");
}

void RemoveFile(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  if (error) CannotChange("remove", path, error.message());
}

// One row per scenario line: its usage (whose first word is its name, and which a wrong line and the
// console's help show), the arguments it takes, and what it does. A new line is one more row.
struct Kind {
  std::string_view usage;
  Shape shape;
  void (*run)(const Step&);

  [[nodiscard]] std::string_view Name() const { return usage.substr(0, usage.find(' ')); }
};

const Kind Kinds[] = {
    {"join ID NAME [GROUP...]",
     {2, Any, false, Lead::Player},
     [](const Step& step) {
       const std::uint64_t id = step.Player();
       // Groups first: the plug-in may ask about them while the character is possessed.
       const std::vector<std::string> previous = PlayerGroups(id);
       SetPlayerGroups(id, {step.line.args.begin() + 2, step.line.args.end()});
       const std::string problem = Join(id, step.line.args[1]);
       if (!problem.empty()) SetPlayerGroups(id, previous);
       Check(problem);
     }},
    {"leave ID", OnePlayer, [](const Step& step) { Check(Leave(step.Player())); }},
    {"die ID", OnePlayer, [](const Step& step) { Check(Die(step.Player())); }},
    {"respawn ID", OnePlayer, [](const Step& step) { Check(Respawn(step.Player())); }},
    {"possess-dead ID", OnePlayer, [](const Step& step) { Check(PossessDead(step.Player())); }},
    {"possess-unowned ID", OnePlayer, [](const Step& step) { Check(PossessUnowned(step.Player())); }},
    {"stale ID", OnePlayer, [](const Step& step) { Check(Stale(step.Player())); }},
    {"groups ID [GROUP...]",
     {1, Any, false, Lead::Player},
     [](const Step& step) {
       SetPlayerGroups(step.Player(), {step.line.args.begin() + 1, step.line.args.end()});
     }},
    {"chat ID TEXT...",
     {1, 1, true, Lead::Player},
     [](const Step& step) { Check(TypeChat(step.Player(), step.line.rest)); }},
    {"console ID|none LINE...",
     {1, 1, true, Lead::PlayerOrNone},
     [](const Step& step) {
       std::optional<std::uint64_t> id;
       if (step.line.args[0] != "none") id = step.Player();
       Check(TypeConsole(id, step.line.rest));
     }},
    {"rcon LINE...", OnlyText, [](const Step& step) { ScenarioRcon(step.line.rest); }},
    {"wait SECONDS", {1, 1, false, Lead::Seconds}, [](const Step& step) { Wait(ParseWaitSeconds(step.line.args[0])); }},
    {"tick", None, [](const Step&) { GameTimerTick(); }},
    {"clock [+-]SECONDS",
     {1, 1, false, Lead::SignedSeconds},
     [](const Step& step) {
       MoveSystemClock(ParseSeconds(step.line.args[0], true));
       step.session.ShowClock();
     }},
    {"texture PATH", OneWord, [](const Step& step) { AddTexture(step.line.args[0]); }},
    {"config FILE", OneWord,
     [](const Step& step) {
       const std::filesystem::path source = step.scenarioDir / step.line.args[0];
       std::ifstream in(source, std::ios::binary);
       if (!in) throw ScenarioError("cannot read " + source.string());
       WriteFile(step.session.ConfigPath(), std::string(std::istreambuf_iterator<char>(in), {}));
     }},
    {"config-text JSON", OnlyText, [](const Step& step) { WriteFile(step.session.ConfigPath(), step.line.rest); }},
    {"config-rm", None, [](const Step& step) { RemoveFile(step.session.ConfigPath()); }},
    {"load", None, [](const Step& step) { step.session.Load(); }},
    {"unload", None, [](const Step& step) { step.session.Unload(); }},
};

const Kind& KindOf(const std::string& command) {
  const auto* kind =
      std::find_if(std::begin(Kinds), std::end(Kinds), [&](const Kind& k) { return k.Name() == command; });
  if (kind == std::end(Kinds)) throw ScenarioError("unknown command \"" + command + "\"");
  return *kind;
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

void CheckLead(Lead lead, const std::string& first) {
  if (lead == Lead::Player || (lead == Lead::PlayerOrNone && first != "none")) ParsePlayerId(first);
  if (lead == Lead::Seconds) ParseWaitSeconds(first);
  if (lead == Lead::SignedSeconds) ParseSeconds(first, true);
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
  const Kind& kind = KindOf(line.command);
  const Shape& expected = kind.shape;

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
    throw ScenarioError("usage: " + std::string(kind.usage));
  }
  if (!line.args.empty()) CheckLead(expected.lead, line.args[0]);
  return line;
}

void CarryOut(Session& session, const ScenarioLine& line, const std::filesystem::path& scenarioDir) {
  KindOf(line.command).run({session, line, scenarioDir});
}

std::vector<std::string> ScenarioLineUsages() {
  std::vector<std::string> lines;
  for (const Kind& kind : Kinds) lines.emplace_back(kind.usage);
  std::sort(lines.begin(), lines.end());
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

std::int64_t ParseWaitSeconds(const std::string& text) {
  // A week of game-timer calls; a longer wait is almost certainly a typo.
  constexpr std::int64_t MaxWaitSeconds = std::int64_t{7} * 24 * 3600;
  const std::int64_t seconds = ParseSeconds(text, false);
  if (seconds > MaxWaitSeconds) throw ScenarioError("wait at most " + std::to_string(MaxWaitSeconds) + " seconds");
  return seconds;
}

}  // namespace sim
