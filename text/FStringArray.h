// Owns the plug-in's array of FString in the game's array layout, and the game allocator's growth rule.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/FString.h"
#include "host/GameTypes.h"

namespace text {

// Grows or shrinks a block through the game allocator: "FMemory.Malloc" (size, 0) when there is no block
// yet, "FMemory.Realloc" (block, size) otherwise. Raises std::bad_alloc when the allocator gives nothing;
// the block given is then still the caller's. Every growth path of the plug-in goes through here.
void* Resize(void* block, std::size_t bytes);
// "FMemory.Free"; a null block is not passed on.
void Free(void* block) noexcept;

// Capacity after appending up to newCount elements: 4 when the capacity is 0 and newCount at most 4,
// otherwise newCount + 3 * newCount / 8 + 16, limited to 2^31 - 1.
std::int32_t GrowCapacity(std::int32_t capacity, std::int32_t newCount);

}  // namespace text

// An owning TArray<FString>: elements and block are freed through the game allocator.
class FStringArray {
 public:
  FStringArray() noexcept = default;
  FStringArray(const FStringArray&) = delete;
  FStringArray& operator=(const FStringArray&) = delete;
  ~FStringArray();

  void Add(FString element);
  void Empty() noexcept;  // frees every element and the block
  [[nodiscard]] std::int32_t Num() const noexcept { return array_.ArrayNum; }
  [[nodiscard]] const FString& operator[](std::int32_t index) const { return array_.Data[index]; }
  [[nodiscard]] const FString* begin() const noexcept { return array_.Data; }
  [[nodiscard]] const FString* end() const noexcept { return array_.Data + array_.ArrayNum; }
  [[nodiscard]] const TArray<FString>& Raw() const noexcept { return array_; }

 private:
  TArray<FString> array_;
};
