// Owns the configuration checker: what the plug-in would meet in a config.json, found before it runs.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sim::check {

// An error is something the plug-in fails at (a section it cannot read, a text it cannot send); a
// warning is something it does that the admin most likely did not mean.
enum class Severity { Warning, Error };

struct Problem {
  Severity severity = Severity::Warning;
  std::string code;     // a short stable name of the rule, e.g. "type", "unknown-key"
  std::string pointer;  // JSON pointer of the value (or member) concerned; "" is the whole document
  std::size_t line = 1;
  std::size_t column = 1;
  std::string message;
};

struct Report {
  std::vector<Problem> problems;  // in the order of their place in the file

  std::size_t Errors() const;
  std::size_t Warnings() const;
  // 0 clean, 1 warnings only, 2 errors.
  int ExitStatus() const;
};

// Checks configuration text read exactly as the plug-in reads config.json.
Report CheckConfigText(std::string_view text);
// Checks a file; a file that cannot be read is one error, as it stops the plug-in's load.
Report CheckConfigFile(const std::filesystem::path& path);

// "FILE:LINE:COLUMN: error: POINTER: MESSAGE" lines and a closing count.
std::string FormatReport(const Report& report, std::string_view fileName);
// One JSON document: {"file", "errors", "warnings", "problems": [{severity, code, pointer, line, column,
// message}]}.
std::string FormatReportJson(const Report& report, std::string_view fileName);

}  // namespace sim::check
