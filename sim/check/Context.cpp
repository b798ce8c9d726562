#include "sim/check/Context.h"

#include <algorithm>
#include <utility>

namespace sim::check {

void Context::Add(Severity severity, std::string_view code, const std::string& pointer, std::string message,
                  bool atKey) {
  if (severity == Severity::Error && !unread_.empty()) {
    severity = Severity::Warning;
    message = unread_ + ": " + message;
  }
  const std::size_t offset = atKey ? index_.KeyOffset(pointer) : index_.ValueOffset(pointer);
  const LineColumn where = index_.Locate(offset);
  problems_.push_back(Problem{severity, std::string(code), pointer, where.line, where.column, std::move(message)});
}

std::vector<Problem> Context::TakeProblems() {
  std::stable_sort(problems_.begin(), problems_.end(), [](const Problem& a, const Problem& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return std::exchange(problems_, {});
}

Place Place::Member(std::string_view name) const { return Place{config::MemberPointer(pointer, name), consequence}; }

Place Place::Element(std::size_t index) const { return Place{pointer + "/" + std::to_string(index), consequence}; }

const json* FindMember(const json& object, std::string_view name) {
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

}  // namespace sim::check
