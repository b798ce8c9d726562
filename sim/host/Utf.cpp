#include "sim/host/Utf.h"

#include <cstdint>

#include "grammar/Utf8.h"
#include "host/Tools.h"

namespace sim {
namespace {

constexpr char32_t Replacement = 0xFFFD;

void Append(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out.push_back(static_cast<char16_t>(code));
  } else {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  }
}

void Append(std::string& out, char32_t code) { grammar::AppendUtf8(out, code); }

}  // namespace

std::u16string DecodeUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    // Well-formed sequences by lead byte: length, code of the lead, and the allowed range of the second
    // byte (the first continuation is narrowed to exclude overlongs, surrogates and values past U+10FFFF).
    std::size_t length = 0;
    char32_t code = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out.push_back(static_cast<char16_t>(Replacement));
      ++i;
      continue;
    }
    std::size_t used = 1;
    bool complete = true;
    for (; used < length; ++used) {
      if (i + used >= text.size()) {
        complete = false;
        break;
      }
      const auto next = static_cast<std::uint8_t>(text[i + used]);
      const std::uint8_t min = used == 1 ? low : 0x80;
      const std::uint8_t max = used == 1 ? high : 0xBF;
      if (next < min || next > max) {
        complete = false;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    Append(out, complete ? code : Replacement);
    i += used;
  }
  return out;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      Append(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      Append(out, Replacement);
    } else {
      Append(out, unit);
    }
  }
  return out;
}

}  // namespace sim

std::u16string TarrowApi::Tools::Utf8Decode(const std::string& text) { return sim::DecodeUtf8(text); }
