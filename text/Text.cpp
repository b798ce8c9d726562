// Conversions between narrow, UTF-16 and FString text; formatting, the numeric test and splitting.
#include "text/Text.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>

#include <fmt/format.h>
#include <fmt/xchar.h>

#include "grammar/Utf8.h"
#include "host/Tools.h"

namespace {

// A string of the game's with room for exactly `units` code units and the terminating zero; the caller
// writes the units.
FString BlankGameString(std::size_t units) {
  if (units >= static_cast<std::size_t>(INT32_MAX)) throw std::length_error("FString: text too long");
  FString text;
  text.Data = static_cast<char16_t*>(text::Resize(nullptr, (units + 1) * sizeof(char16_t)));
  text.Data[units] = u'\0';
  text.ArrayNum = static_cast<std::int32_t>(units + 1);
  text.ArrayMax = text.ArrayNum;
  return text;
}

}  // namespace

// Configuration is read into thousands of these at a reload, so the units go straight into the game's
// block without a UTF-16 copy on the way.
FString WidenAscii(std::string_view text) {
  if (text.empty()) return FString();
  FString wide = BlankGameString(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    wide.Data[i] = byte > 127 ? u'?' : static_cast<char16_t>(byte);
  }
  return wide;
}

FString FromUtf8(const std::string& text) {
  // A zero unit ends the text, as it would for any C string the game reads. Plain ASCII decodes unit for
  // unit, so only other text needs the host's decoder.
  const std::string_view bytes(text);
  const std::string_view beforeZero = bytes.substr(0, bytes.find('\0'));
  if (std::all_of(beforeZero.begin(), beforeZero.end(),
                  [](char byte) { return static_cast<unsigned char>(byte) < 0x80; })) {
    return WidenAscii(beforeZero);
  }
  const std::u16string wide = TarrowApi::Tools::Utf8Decode(text);
  const std::u16string_view view(wide);
  return FString(view.substr(0, view.find(u'\0')));
}

std::string ToUtf8(const FString& text) { return ToUtf8(text.View()); }

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;  // a surrogate without its partner names no character
    }
    grammar::AppendUtf8(out, code);
  }
  return out;
}

FString FormatText(std::u16string_view text) {
  // No arguments: the formatter only undoubles braces and rejects everything else with its own errors.
  using Context = fmt::buffer_context<char16_t>;
  fmt::basic_memory_buffer<char16_t> formatted;
  fmt::vformat_to(std::back_inserter(formatted), fmt::basic_string_view<char16_t>(text.data(), text.size()),
                  fmt::basic_format_args<Context>());
  return FString(std::u16string_view(formatted.data(), formatted.size()));
}

bool IsNumeric(const FString& text) {
  if (text.ArrayNum < 2) return false;
  std::u16string_view units = text.View();
  if (units.empty()) return false;
  if (units.front() == u'+' || units.front() == u'-') units.remove_prefix(1);
  bool seenPoint = false;
  for (const char16_t unit : units) {
    if (unit == u'.') {
      if (seenPoint) return false;
      seenPoint = true;
    } else if (unit < u'0' || unit > u'9') {
      return false;
    }
  }
  return true;
}

std::int32_t SplitIntoArray(const FString& source, std::u16string_view delimiter, FStringArray& out) {
  // The source may be one of out's own elements, which emptying out would free.
  const std::less<const FString*> before;
  const bool sourceInOut = !before(&source, out.begin()) && before(&source, out.end());
  const std::u16string kept = sourceInOut ? std::u16string(source.View()) : std::u16string();
  const std::u16string_view text = sourceInOut ? std::u16string_view(kept) : source.View();
  out.Empty();
  if (text.empty() || delimiter.empty()) return 0;
  std::size_t start = 0;
  for (std::size_t found = text.find(delimiter); found != std::u16string_view::npos;
       found = text.find(delimiter, start)) {
    if (found > start) out.Add(FString(text.substr(start, found - start)));
    start = found + delimiter.size();
  }
  if (start < text.size()) out.Add(FString(text.substr(start)));
  return out.Num();
}
