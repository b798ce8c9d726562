// Owns the layout of the game's wide string and the operations each module that handles one provides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// UTF-16 text: pointer to the code units, count including the terminating zero (0 for the empty string,
// which has no buffer), capacity in code units. Buffers come only from the game allocator.
//
// The layout is the game's. The special members are declared here and defined by each module that owns
// strings: the plug-in builds them on the game allocator reached by key, the simulated game on its own
// allocator, exactly as a real plug-in and a real game each carry their own compiled copy.
struct FString {
  char16_t* Data = nullptr;
  std::int32_t ArrayNum = 0;
  std::int32_t ArrayMax = 0;

  FString() noexcept = default;
  explicit FString(std::u16string_view text);
  FString(const FString& other);
  FString(FString&& other) noexcept;
  FString& operator=(const FString& other);
  FString& operator=(FString&& other) noexcept;
  ~FString();

  // Number of code units before the terminating zero.
  [[nodiscard]] std::int32_t Len() const noexcept { return ArrayNum > 0 ? ArrayNum - 1 : 0; }
  [[nodiscard]] bool IsEmpty() const noexcept { return Len() == 0; }
  [[nodiscard]] std::u16string_view View() const noexcept {
    return Data != nullptr ? std::u16string_view(Data, static_cast<std::size_t>(Len())) : std::u16string_view();
  }
};

static_assert(sizeof(FString) == 16, "FString is pointer, int32 count, int32 capacity");
static_assert(offsetof(FString, Data) == 0);
static_assert(offsetof(FString, ArrayNum) == 8);
static_assert(offsetof(FString, ArrayMax) == 12);
