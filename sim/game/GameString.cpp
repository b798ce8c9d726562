// The game's own copy of the wide string's members, on its allocator directly. Hidden in the host
// library: the plug-in and unit tests carry their own definitions, as a real plug-in and game each do.
#include <algorithm>
#include <utility>

#include "host/FString.h"
#include "sim/game/Allocator.h"

namespace {

void Assign(FString& target, std::u16string_view text) {
  if (text.empty()) return;
  const auto count = static_cast<std::int32_t>(text.size() + 1);
  auto* data =
      static_cast<char16_t*>(sim::Allocate(static_cast<std::size_t>(count) * sizeof(char16_t), 0, sim::Owner::Game));
  if (data == nullptr) return;
  std::copy(text.begin(), text.end(), data);
  data[text.size()] = u'\0';
  target.Data = data;
  target.ArrayNum = count;
  target.ArrayMax = count;
}

void Clear(FString& target) {
  if (target.Data != nullptr) sim::Release(target.Data, sim::Owner::Game, "the game's string");
  target.Data = nullptr;
  target.ArrayNum = 0;
  target.ArrayMax = 0;
}

}  // namespace

FString::FString(std::u16string_view text) { Assign(*this, text); }

FString::FString(const FString& other) { Assign(*this, other.View()); }

FString::FString(FString&& other) noexcept
    : Data(std::exchange(other.Data, nullptr)),
      ArrayNum(std::exchange(other.ArrayNum, 0)),
      ArrayMax(std::exchange(other.ArrayMax, 0)) {}

FString& FString::operator=(const FString& other) {
  if (this != &other) {
    FString copy(other);
    *this = std::move(copy);
  }
  return *this;
}

FString& FString::operator=(FString&& other) noexcept {
  if (this != &other) {
    Clear(*this);
    Data = std::exchange(other.Data, nullptr);
    ArrayNum = std::exchange(other.ArrayNum, 0);
    ArrayMax = std::exchange(other.ArrayMax, 0);
  }
  return *this;
}

FString::~FString() { Clear(*this); }
