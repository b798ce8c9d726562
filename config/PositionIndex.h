// Owns where keys are in the raw text of a configuration file, and how a key's path is written.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace config {

struct LineColumn {
  std::size_t line = 1;
  std::size_t column = 1;  // counted in Unicode characters, as editors count them
};

// The JSON library keeps no positions, so this scans the same text a second time. It reads the first
// value only (after an optional byte-order mark), as the plug-in's reader does, and stops quietly at the
// first thing that is not JSON: the library's own parse error speaks for that.
class PositionIndex {
 public:
  explicit PositionIndex(std::string_view text);

  // Offset of the value that pointer names; of the nearest enclosing value the scan reached when the
  // pointer is unknown (so a problem always gets a place).
  std::size_t ValueOffset(std::string_view pointer) const;
  // Offset of the member name for a pointer that names an object member; otherwise as ValueOffset.
  std::size_t KeyOffset(std::string_view pointer) const;
  // How often the member a pointer names appears in its object; the library keeps only the last one.
  std::size_t Occurrences(std::string_view pointer) const;

  // Where the first value ends, and whether anything but white space follows it.
  std::size_t EndOfFirstValue() const { return end_; }
  bool HasTrailingText() const { return trailing_; }
  std::size_t TrailingOffset() const { return trailingOffset_; }

  LineColumn Locate(std::size_t offset) const;

 private:
  struct Place {
    std::size_t key = 0;
    std::size_t value = 0;
    std::size_t count = 0;
  };
  void Scan();
  void Record(const std::string& pointer, std::size_t key, std::size_t value);
  const Place* Find(std::string_view pointer) const;

  std::string_view text_;
  std::size_t start_ = 0;  // after the byte-order mark
  std::size_t end_ = 0;
  bool trailing_ = false;
  std::size_t trailingOffset_ = 0;
  std::map<std::string, Place, std::less<>> places_;
};

// One reference token, escaped as JSON pointers require ("~" as "~0", "/" as "~1").
std::string PointerToken(std::string_view name);
// The pointer of member name inside the value that parent points at.
std::string MemberPointer(std::string_view parent, std::string_view name);

// A key's path as people read it, in the checker's report and in the server log alike. The whole
// document has the empty path; callers say "the top level" or leave it out.
std::string KeyPath(std::string_view pointer);

}  // namespace config
