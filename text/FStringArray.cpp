// The game allocator as the plug-in reaches it, and the owning array of FString on top of it.
#include "text/FStringArray.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "host/GameFunctions.h"

namespace text {

void* Resize(void* block, std::size_t bytes) {
  void* resized = block == nullptr ? Game::Call<Game::FMemory_Malloc>(bytes, std::uint32_t{0})
                                   : Game::Call<Game::FMemory_Realloc>(block, bytes);
  // A failed reallocation leaves the block as it was, and its owner keeps it: nothing is assigned before
  // this throws.
  if (resized == nullptr) throw std::bad_alloc();
  return resized;
}

void Free(void* block) noexcept {
  if (block == nullptr) return;
  try {
    Game::Call<Game::FMemory_Free>(block);
  } catch (...) {
    // A game without "FMemory.Free" cannot take the block back; leaking it beats ending the server.
  }
}

std::int32_t GrowCapacity(std::int32_t capacity, std::int32_t newCount) {
  if (newCount <= capacity) return capacity;
  if (capacity == 0 && newCount <= 4) return 4;
  const std::int64_t count = newCount;
  const std::int64_t grown = count + 3 * count / 8 + 16;
  constexpr std::int64_t Limit = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(grown < Limit ? grown : Limit);
}

}  // namespace text

FStringArray::~FStringArray() { Empty(); }

void FStringArray::Add(FString element) {
  if (array_.ArrayNum == std::numeric_limits<std::int32_t>::max()) throw std::length_error("FStringArray: full");
  const std::int32_t newCount = array_.ArrayNum + 1;
  if (newCount > array_.ArrayMax) {
    const std::int32_t capacity = text::GrowCapacity(array_.ArrayMax, newCount);
    // FString holds no pointer into itself, so the allocator may move the elements bytewise.
    array_.Data =
        static_cast<FString*>(text::Resize(array_.Data, static_cast<std::size_t>(capacity) * sizeof(FString)));
    array_.ArrayMax = capacity;
  }
  new (&array_.Data[array_.ArrayNum]) FString(std::move(element));
  array_.ArrayNum = newCount;
}

void FStringArray::Empty() noexcept {
  for (std::int32_t i = 0; i < array_.ArrayNum; ++i) array_.Data[i].~FString();
  text::Free(array_.Data);
  array_ = TArray<FString>{};
}
