// The plug-in's FString: every buffer comes from, and goes back to, the game allocator.
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "host/FString.h"
#include "text/FStringArray.h"

namespace {

// Copies units plus a terminating zero into a block of exactly that many units, reusing block when given.
char16_t* CopyExact(char16_t* block, std::u16string_view units) {
  const std::size_t count = units.size() + 1;
  auto* data = static_cast<char16_t*>(text::Resize(block, count * sizeof(char16_t)));
  if (!units.empty()) std::memcpy(data, units.data(), units.size() * sizeof(char16_t));
  data[units.size()] = u'\0';
  return data;
}

// Counts are int32 in the game's layout; a longer text cannot be represented.
std::int32_t CountOf(std::u16string_view units) {
  if (units.size() >= static_cast<std::size_t>(INT32_MAX)) throw std::length_error("FString: text too long");
  return static_cast<std::int32_t>(units.size() + 1);
}

}  // namespace

FString::FString(std::u16string_view text) {
  if (text.empty()) return;
  const std::int32_t count = CountOf(text);
  Data = CopyExact(nullptr, text);
  ArrayNum = count;
  ArrayMax = count;
}

FString::FString(const FString& other) : FString(other.View()) {}

FString::FString(FString&& other) noexcept : Data(other.Data), ArrayNum(other.ArrayNum), ArrayMax(other.ArrayMax) {
  other.Data = nullptr;
  other.ArrayNum = 0;
  other.ArrayMax = 0;
}

FString& FString::operator=(const FString& other) {
  if (this == &other) return *this;
  if (other.IsEmpty()) {
    text::Free(Data);
    Data = nullptr;
    ArrayNum = 0;
    ArrayMax = 0;
    return *this;
  }
  // The existing block is resized to exactly the new count, as a copy always has capacity == count.
  const std::int32_t count = CountOf(other.View());
  Data = CopyExact(Data, other.View());
  ArrayNum = count;
  ArrayMax = count;
  return *this;
}

FString& FString::operator=(FString&& other) noexcept {
  if (this == &other) return *this;
  text::Free(Data);
  Data = other.Data;
  ArrayNum = other.ArrayNum;
  ArrayMax = other.ArrayMax;
  other.Data = nullptr;
  other.ArrayNum = 0;
  other.ArrayMax = 0;
  return *this;
}

FString::~FString() { text::Free(Data); }
