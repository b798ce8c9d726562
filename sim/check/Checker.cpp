#include "sim/check/Checker.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "config/ConfigReport.h"
#include "config/PositionIndex.h"
#include "sim/check/Context.h"
#include "sim/check/Rules.h"

namespace heraldix::check {
namespace {

std::string ParseHint(std::string_view text, std::size_t offset) {
  if (offset >= text.size()) return {};
  const char at = text[offset];
  if (at == '/' || at == '#') return " (comments are not allowed in config.json)";
  if (at == '}' || at == ']') {
    std::size_t before = offset;
    while (before > 0 && std::string_view(" \t\r\n").find(text[before - 1]) != std::string_view::npos) --before;
    if (before > 0 && text[before - 1] == ',') return " (remove the comma before the closing bracket)";
  }
  if (at == '\'') return " (JSON strings take double quotes)";
  return {};
}

Problem At(const PositionIndex& index, Severity severity, std::string code, std::size_t offset, std::string message) {
  const LineColumn where = index.Locate(offset);
  return Problem{severity, std::move(code), "", where.line, where.column, std::move(message)};
}

}  // namespace

std::size_t Report::Errors() const {
  return static_cast<std::size_t>(std::count_if(problems.begin(), problems.end(),
                                                [](const Problem& p) { return p.severity == Severity::Error; }));
}

std::size_t Report::Warnings() const { return problems.size() - Errors(); }

int Report::ExitStatus() const {
  if (Errors() > 0) return 2;
  return problems.empty() ? 0 : 1;
}

Report CheckConfigText(std::string_view text) {
  const PositionIndex index(text);
  Report report;

  // The same reading as the plug-in's: stream extraction of one value, byte-order mark skipped, no
  // comments, whatever follows the value left unread.
  nlohmann::json document;
  try {
    std::istringstream stream{std::string(text)};
    stream >> document;
  } catch (const nlohmann::json::parse_error& error) {
    const std::size_t offset = ParseErrorOffset(error, text.size());
    report.problems.push_back(At(index, Severity::Error, "parse", offset,
                                 ParseErrorText(error.what()) + ParseHint(text, offset) +
                                     ": the plug-in does not load (at a reload the previous configuration stays)"));
    return report;
  } catch (const nlohmann::json::exception& error) {
    report.problems.push_back(At(index, Severity::Error, "parse", 0,
                                 ParseErrorText(error.what()) + ": the plug-in does not load"));
    return report;
  }

  Context context(index);
  CheckDocument(document, context);
  report.problems = context.TakeProblems();
  if (index.HasTrailingText()) {
    report.problems.push_back(At(index, Severity::Warning, "trailing-text", index.TrailingOffset(),
                                 "text after the first JSON value is ignored"));
  }
  return report;
}

Report CheckConfigFile(const std::filesystem::path& path) {
  std::error_code error;
  std::ifstream file;
  if (!std::filesystem::is_directory(path, error)) file.open(path, std::ios::binary);
  if (!file.is_open()) {
    Report report;
    report.problems.push_back(Problem{Severity::Error, "open", "", 1, 1,
                                      "Can't open config.json: the plug-in does not load"});
    return report;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return CheckConfigText(text);
}

std::string FormatReport(const Report& report, std::string_view fileName) {
  std::ostringstream out;
  for (const Problem& problem : report.problems) {
    out << fileName << ':' << problem.line << ':' << problem.column << ": "
        << (problem.severity == Severity::Error ? "error" : "warning") << ": ";
    if (!problem.pointer.empty()) out << config::KeyPath(problem.pointer) << ": ";
    out << problem.message << " [" << problem.code << "]\n";
  }
  const std::size_t errors = report.Errors();
  const std::size_t warnings = report.Warnings();
  if (report.problems.empty()) {
    out << fileName << ": no problems found\n";
  } else {
    out << fileName << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning\n" : " warnings\n");
  }
  return out.str();
}

std::string FormatReportJson(const Report& report, std::string_view fileName) {
  nlohmann::json problems = nlohmann::json::array();
  for (const Problem& problem : report.problems) {
    problems.push_back({{"severity", problem.severity == Severity::Error ? "error" : "warning"},
                        {"code", problem.code},
                        {"pointer", problem.pointer},
                        {"line", problem.line},
                        {"column", problem.column},
                        {"message", problem.message}});
  }
  const nlohmann::json out{{"file", std::string(fileName)},
                           {"errors", report.Errors()},
                           {"warnings", report.Warnings()},
                           {"problems", std::move(problems)}};
  return out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace heraldix::check
