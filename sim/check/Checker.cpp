#include "sim/check/Checker.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "config/ConfigReport.h"
#include "config/PositionIndex.h"
#include "sim/check/Context.h"
#include "sim/check/Rules.h"

namespace sim::check {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The start of the token that ends at offset: a string literal back to its opening quote, a number or a
// word back to its first character.
std::size_t TokenStart(std::string_view text, std::size_t offset) {
  if (offset >= text.size()) return offset;
  std::size_t at = offset;
  if (text[at] == '"') {
    while (at > 0 && !(text[at - 1] == '"' && (at < 2 || text[at - 2] != '\\'))) --at;
    return at > 0 ? at - 1 : 0;
  }
  while (at > 0 && !IsBlank(text[at - 1]) && std::string_view(",:[]{}").find(text[at - 1]) == std::string_view::npos) {
    --at;
  }
  return at;
}

bool TypographicQuoteAt(std::string_view text, std::size_t offset) {
  // “ ” ‘ ’ in UTF-8: E2 80 9C, E2 80 9D, E2 80 98, E2 80 99; the parser stops on one of their bytes.
  const std::size_t from = offset >= 2 ? offset - 2 : 0;
  for (std::size_t at = from; at <= offset && at + 2 < text.size(); ++at) {
    if (text[at] == '\xE2' && text[at + 1] == '\x80' &&
        std::string_view("\x98\x99\x9C\x9D").find(text[at + 2]) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

std::string Found(std::string_view text, std::size_t offset) {
  if (offset >= text.size()) return "the end of the file";
  return "'" + std::string(1, text[offset]) + "'";
}

// What the parser wanted, in words.
std::string Wanted(std::string_view library) {
  const std::size_t at = library.find("; expected ");
  if (at == std::string_view::npos) return {};
  const std::string_view expected = library.substr(at + 11);
  if (expected.starts_with("'[', '{', or a literal"))
    return "a value (text in double quotes, a number, true, false, null, { or [)";
  if (expected.starts_with("string literal")) return "a key in double quotes";
  if (expected.starts_with("':'")) return "a colon (:) after the key";
  if (expected.starts_with("'}'")) return "a comma or the closing }";
  if (expected.starts_with("']'")) return "a comma or the closing ]";
  if (expected.starts_with("end of input")) return "the end of the file";
  return std::string(expected);
}

struct ParseProblem {
  std::size_t offset;
  std::string message;
};

// The parser's finding in an admin's words, at the place to mend: the library's own text names its
// internal states and echoes raw bytes.
ParseProblem DescribeParseError(std::string_view text, std::size_t offset, std::string_view library) {
  const char at = offset < text.size() ? text[offset] : '\0';
  if (TypographicQuoteAt(text, offset)) {
    return {offset,
            "typographic quotes (\u201C \u201D \u2018 \u2019) are not JSON quotes: write straight double quotes (\")"};
  }
  if (library.find("unexpected end of input") != std::string_view::npos) {
    return {offset, "the file ends before the JSON is complete: a closing } or ] or a quote is missing"};
  }
  if (at == '/' || at == '#') return {offset, "comments are not allowed in config.json"};
  if (at == '\'') return {offset, "JSON texts take double quotes (\"), not single ones"};
  if (const std::size_t control = library.find("invalid string: "); control != std::string_view::npos) {
    std::string_view what = library.substr(control + 16);
    what = what.substr(0, what.find("; last read"));
    std::string said(what);
    if (const std::size_t must = said.find(" must be escaped to "); must != std::string::npos) {
      said = said.substr(0, must) + ", which is written " + said.substr(must + 20);
    }
    return {offset, "a text holds " + said};
  }
  const bool afterValue = library.find("; expected '}'") != std::string_view::npos ||
                          library.find("; expected ']'") != std::string_view::npos;
  if (afterValue && library.find("unexpected") != std::string_view::npos) {
    // A value right after another: the comma between them is missing at the end of the first one.
    std::size_t before = TokenStart(text, offset);
    while (before > 0 && IsBlank(text[before - 1])) --before;
    return {before, "a comma is missing here, after the value and before the next one"};
  }
  if (at == '}' || at == ']') {
    std::size_t before = offset;
    while (before > 0 && IsBlank(text[before - 1])) --before;
    if (before > 0 && text[before - 1] == ',') {
      return {before - 1, "remove this comma: a comma comes only between two values, not before the closing bracket"};
    }
  }
  const std::string wanted = Wanted(library);
  if (library.find("invalid literal") != std::string_view::npos) {
    std::size_t start = offset;
    while (start > 0 && std::isalnum(static_cast<unsigned char>(text[start - 1])) != 0) --start;
    std::size_t end = start;
    while (end < text.size() && end - start < 20 && std::isalnum(static_cast<unsigned char>(text[end])) != 0) ++end;
    return {start, "this is not JSON: found '" + std::string(text.substr(start, end - start)) +
                       "'; texts go in double quotes, and true, false and null are written in lower case"};
  }
  return {offset,
          "this is not JSON: found " + Found(text, offset) + (wanted.empty() ? "" : " where " + wanted + " belongs")};
}

Problem At(const PositionIndex& index, Severity severity, std::string code, std::size_t offset, std::string message) {
  const LineColumn where = index.Locate(offset);
  return Problem{severity, std::move(code), "", where.line, where.column, std::move(message)};
}

}  // namespace

std::size_t Report::Errors() const {
  return static_cast<std::size_t>(
      std::count_if(problems.begin(), problems.end(), [](const Problem& p) { return p.severity == Severity::Error; }));
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
    const ParseProblem problem =
        DescribeParseError(text, ParseErrorOffset(error, text.size()), ParseErrorText(error.what()));
    report.problems.push_back(
        At(index, Severity::Error, "parse", problem.offset,
           problem.message + ": the plug-in does not load (at a reload the previous configuration stays)"));
    return report;
  } catch (const nlohmann::json::exception& error) {
    report.problems.push_back(
        At(index, Severity::Error, "parse", 0, ParseErrorText(error.what()) + ": the plug-in does not load"));
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
  std::string reason = "it is a directory";
  if (!std::filesystem::is_directory(path, error)) {
    errno = 0;
    file.open(path, std::ios::binary);
    reason = errno != 0 ? std::strerror(errno) : "it cannot be opened";
  }
  if (!file.is_open()) {
    Report report;
    report.problems.push_back(Problem{Severity::Error, "open", "", 1, 1,
                                      "cannot read " + path.string() + ": " + reason +
                                          ": the plug-in does not load (at a reload the previous configuration "
                                          "stays)"});
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

}  // namespace sim::check
