#include "config/ConfigReport.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "config/Config.h"
#include "config/ConfigValues.h"
#include "config/PositionIndex.h"

namespace {

using json = nlohmann::json;
using config::PositionIndex;

// The document keeps no parent links (keeping them would cost every load), so the noted value's path is
// found by walking the document from the top. A stack instead of recursion: the nesting is the file's.
std::optional<std::string> PointerOf(const json& root, const json* target) {
  struct Frame {
    const json* value;
    std::string pointer;
  };
  std::vector<Frame> stack{{&root, ""}};
  while (!stack.empty()) {
    Frame frame = std::move(stack.back());
    stack.pop_back();
    if (frame.value == target) return std::move(frame.pointer);
    if (frame.value->is_object()) {
      for (auto member = frame.value->begin(); member != frame.value->end(); ++member) {
        stack.push_back({&member.value(), config::MemberPointer(frame.pointer, member.key())});
      }
    } else if (frame.value->is_array()) {
      for (std::size_t i = 0; i < frame.value->size(); ++i) {
        stack.push_back({&(*frame.value)[i], frame.pointer + "/" + std::to_string(i)});
      }
    }
  }
  return std::nullopt;
}

// The file as it is now, to find places in. It was read a moment ago; if it has changed since, the place
// is where the text now stands.
std::string ConfigText() {
  std::ifstream file(ConfigPath(), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Place(const PositionIndex& index, std::size_t offset) {
  const auto where = index.Locate(offset);
  return "config.json line " + std::to_string(where.line) + ", column " + std::to_string(where.column);
}

std::string WrongTypeReason(const json& document, const json::exception& error) {
  const config::WrongType noted = config::NotedWrongType();
  const auto pointer = noted.value != nullptr ? PointerOf(document, noted.value) : std::nullopt;
  if (!pointer) return ParseErrorText(error.what());
  const std::string text = ConfigText();
  const PositionIndex index(text);
  const std::string path = pointer->empty() ? "the top level" : config::KeyPath(*pointer);
  return Place(index, index.ValueOffset(*pointer)) + ": " + path + ": type must be " + noted.expected + ", but is " +
         noted.value->type_name();
}

std::string CurrentReason(const json* document) {
  try {
    throw;
  } catch (const ConfigOpenError& error) {
    return std::string(error.what()) + ": " + error.Path() + ": " + error.Reason();
  } catch (const json::parse_error& error) {
    const std::string text = ConfigText();
    const PositionIndex index(text);
    return Place(index, ParseErrorOffset(error, text.size())) + ": " + ParseErrorText(error.what());
  } catch (const json::exception& error) {
    return document != nullptr ? WrongTypeReason(*document, error) : ParseErrorText(error.what());
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace

std::shared_ptr<spdlog::logger>& Log() {
  static std::shared_ptr<spdlog::logger> logger;
  return logger;
}

std::string ParseErrorText(std::string_view what) {
  if (const std::size_t tag = what.find("] "); what.starts_with("[json.exception") && tag != std::string_view::npos) {
    what.remove_prefix(tag + 2);
  }
  if (what.starts_with("parse error at ")) {
    if (const std::size_t colon = what.find(": "); colon != std::string_view::npos) what.remove_prefix(colon + 2);
  }
  return std::string(what);
}

std::size_t ParseErrorOffset(const json::parse_error& error, std::size_t textSize) {
  // The library counts the byte it stopped at from 1.
  return std::min(error.byte > 0 ? error.byte - 1 : 0, textSize);
}

std::string ConfigFailureReason(const json* document) noexcept {
  try {
    return CurrentReason(document);
  } catch (...) {
    return "the reason could not be written out";
  }
}

void LogConfigFailure(std::string_view what, const json* document) noexcept {
  try {
    if (Log()) Log()->error("{}: {}", what, ConfigFailureReason(document));
  } catch (...) {
    // Nothing is left to report with when the logger itself fails.
  }
}

void LogReloaded(std::size_t customCommands, const json& document) noexcept {
  try {
    // Looking a key up may allocate, so the count stays inside the guard too.
    std::size_t timedMessages = 0;
    if (document.is_object()) {
      const auto section = document.find(grammar::Top::TimedMessages.name);
      if (section != document.end() && section->is_object()) {
        const auto messages = section->find(grammar::Timed::Messages.name);
        if (messages != section->end() && messages->is_array()) timedMessages = messages->size();
      }
    }
    if (Log()) Log()->info("Reloaded config: {} custom commands, {} timed messages", customCommands, timedMessages);
  } catch (...) {
  }
}
