#include "config/PositionIndex.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "grammar/Utf8.h"

namespace config {
namespace {

constexpr std::size_t MaxDepth = 512;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A small cursor over the text; every read is bounds-checked so hostile text only ends the scan.
class Cursor {
 public:
  Cursor(std::string_view text, std::size_t pos) : text_(text), pos_(pos) {}
  std::size_t Pos() const { return pos_; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Skip() { ++pos_; }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
  }

  bool ReadHex4(std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexValue(Peek());
      if (digit < 0) return false;
      value = value * 16 + static_cast<std::uint32_t>(digit);
      Skip();
    }
    return true;
  }

  // A string starting at the opening quote, decoded to UTF-8 the way the library stores member names.
  bool ReadString(std::string& out) {
    out.clear();
    if (Peek() != '"') return false;
    Skip();
    while (!AtEnd()) {
      const char c = Peek();
      Skip();
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      const char escape = Peek();
      Skip();
      switch (escape) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t code = 0;
          if (!ReadHex4(code)) return false;
          if (code >= 0xD800 && code <= 0xDBFF) {
            if (Peek() != '\\') return false;
            Skip();
            if (Peek() != 'u') return false;
            Skip();
            std::uint32_t low = 0;
            if (!ReadHex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return false;
          }
          grammar::AppendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  // Numbers and the three literals: their exact grammar is the library's business.
  bool ReadScalar() {
    const std::size_t begin = pos_;
    while (!AtEnd()) {
      const char c = Peek();
      const bool part =
          (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '+' || c == '.' || c == 'E';
      if (!part) break;
      Skip();
    }
    return pos_ > begin;
  }

 private:
  std::string_view text_;
  std::size_t pos_;
};

}  // namespace

std::string PointerToken(std::string_view name) {
  std::string token;
  token.reserve(name.size());
  for (const char c : name) {
    if (c == '~') {
      token += "~0";
    } else if (c == '/') {
      token += "~1";
    } else {
      token += c;
    }
  }
  return token;
}

std::string MemberPointer(std::string_view parent, std::string_view name) {
  std::string pointer(parent);
  pointer += '/';
  pointer += PointerToken(name);
  return pointer;
}

std::string KeyPath(std::string_view pointer) {
  // Names as the admin typed them, in double quotes (control characters escaped, so a \u0000 in a name
  // cannot end a line of output); array elements by their index in brackets.
  std::string path;
  std::size_t at = pointer.starts_with('/') ? 1 : 0;
  while (at <= pointer.size() && !pointer.empty()) {
    const std::size_t end = std::min(pointer.find('/', at), pointer.size());
    std::string token;
    for (std::size_t i = at; i < end; ++i) {
      if (pointer[i] == '~' && i + 1 < end && (pointer[i + 1] == '0' || pointer[i + 1] == '1')) {
        token += pointer[i + 1] == '0' ? '~' : '/';
        ++i;
      } else {
        token += pointer[i];
      }
    }
    const bool index = !token.empty() && token.find_first_not_of("0123456789") == std::string::npos;
    if (index) {
      path += "[" + token + "]";
    } else {
      if (!path.empty()) path += " > ";
      path += nlohmann::json(token).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    at = end + 1;
  }
  return path;
}

PositionIndex::PositionIndex(std::string_view text) : text_(text) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") start_ = 3;
  end_ = start_;
  Scan();
}

void PositionIndex::Record(const std::string& pointer, std::size_t key, std::size_t value) {
  Place& place = places_[pointer];
  if (place.count > 0) {
    // A repeated member replaces the earlier one, children and all.
    const std::string prefix = pointer + "/";
    for (auto it = places_.lower_bound(prefix); it != places_.end() && it->first.starts_with(prefix);) {
      it = places_.erase(it);
    }
  }
  place.key = key;
  place.value = value;
  ++place.count;
}

void PositionIndex::Scan() {
  struct Frame {
    bool object = false;
    std::string pointer;
    std::size_t index = 0;
  };
  std::vector<Frame> stack;
  Cursor cursor(text_, start_);

  // Each turn of the loop reads one value at (pointer, keyOffset) and then the punctuation after it.
  std::string pointer;
  std::size_t keyOffset = start_;
  std::string name;
  for (;;) {
    cursor.SkipSpace();
    if (cursor.AtEnd()) return;
    const std::size_t valueOffset = cursor.Pos();
    Record(pointer, stack.empty() ? valueOffset : keyOffset, valueOffset);

    bool opened = false;
    const char c = cursor.Peek();
    if (c == '{' || c == '[') {
      if (stack.size() >= MaxDepth) return;
      cursor.Skip();
      cursor.SkipSpace();
      const bool object = c == '{';
      if (cursor.Peek() != (object ? '}' : ']')) {
        stack.push_back(Frame{object, pointer, 0});
        opened = true;
      } else {
        cursor.Skip();
      }
    } else if (c == '"') {
      if (!cursor.ReadString(name)) return;
    } else if (!cursor.ReadScalar()) {
      return;
    }

    // Find the next value to read: the first element of what just opened, or the next sibling after
    // closing every container that ends here.
    bool next = opened;
    while (!next) {
      if (stack.empty()) {
        end_ = cursor.Pos();
        cursor.SkipSpace();
        trailing_ = !cursor.AtEnd();
        trailingOffset_ = cursor.Pos();
        return;
      }
      cursor.SkipSpace();
      const char punct = cursor.Peek();
      Frame& frame = stack.back();
      if (punct == ',') {
        cursor.Skip();
        ++frame.index;
        next = true;
      } else if (punct == (frame.object ? '}' : ']')) {
        cursor.Skip();
        stack.pop_back();
      } else {
        return;
      }
    }

    Frame& frame = stack.back();
    if (frame.object) {
      cursor.SkipSpace();
      keyOffset = cursor.Pos();
      if (!cursor.ReadString(name)) return;
      cursor.SkipSpace();
      if (cursor.Peek() != ':') return;
      cursor.Skip();
      pointer = MemberPointer(frame.pointer, name);
    } else {
      pointer = frame.pointer + "/" + std::to_string(frame.index);
      keyOffset = cursor.Pos();
    }
  }
}

const PositionIndex::Place* PositionIndex::Find(std::string_view pointer) const {
  for (;;) {
    const auto found = places_.find(pointer);
    if (found != places_.end()) return &found->second;
    if (pointer.empty()) return nullptr;
    pointer = pointer.substr(0, pointer.rfind('/'));
  }
}

std::size_t PositionIndex::ValueOffset(std::string_view pointer) const {
  const Place* place = Find(pointer);
  return place != nullptr ? place->value : start_;
}

std::size_t PositionIndex::KeyOffset(std::string_view pointer) const {
  const Place* place = Find(pointer);
  return place != nullptr ? place->key : start_;
}

std::size_t PositionIndex::Occurrences(std::string_view pointer) const {
  const auto found = places_.find(pointer);
  return found != places_.end() ? found->second.count : 0;
}

LineColumn PositionIndex::Locate(std::size_t offset) const {
  if (offset > text_.size()) offset = text_.size();
  LineColumn where;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text_[i] == '\n') {
      ++where.line;
      lineStart = i + 1;
    }
  }
  // The byte-order mark is no character an editor shows.
  if (where.line == 1 && start_ > 0 && offset >= start_) lineStart = start_;
  for (std::size_t i = lineStart; i < offset; ++i) {
    const auto byte = static_cast<unsigned char>(text_[i]);
    if ((byte & 0xC0) != 0x80) ++where.column;
  }
  return where;
}

}  // namespace config
