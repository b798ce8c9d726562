// Owns the game allocator's record of live blocks: an open-addressed table keyed by block address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// Every string the plug-in builds or frees is looked up here, so one lookup must cost about what a real
// allocator's free list does: one probe run in one array, no node of its own per block, and no buried
// tombstones after a burst of frees (a freed slot is closed up by shifting its run back).
template <typename Value>
class BlockTable {
 public:
  BlockTable() : slots_(InitialSlots), shift_(64 - InitialBits) {}

  [[nodiscard]] std::size_t Size() const noexcept { return used_; }

  // The block's record, or nullptr when the address starts no live block.
  Value* Find(const void* key) noexcept {
    if (key == nullptr) return nullptr;
    for (std::size_t i = Home(key);; i = Next(i)) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (slots_[i].key == nullptr) return nullptr;
    }
  }

  // The address must not be in the table: the allocator never hands out a live block twice.
  void Insert(const void* key, const Value& value) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    Place(key, value);
    ++used_;
  }

  bool Erase(const void* key) noexcept {
    if (key == nullptr) return false;
    std::size_t hole = Home(key);
    for (;; hole = Next(hole)) {
      if (slots_[hole].key == key) break;
      if (slots_[hole].key == nullptr) return false;
    }
    // Later members of the run whose home is not between the hole and themselves move back into it, so
    // every key stays reachable from its home without a gap.
    for (std::size_t at = Next(hole); slots_[at].key != nullptr; at = Next(at)) {
      const std::size_t home = Home(slots_[at].key);
      const bool reachable = hole <= at ? (hole < home && home <= at) : (hole < home || home <= at);
      if (reachable) continue;
      slots_[hole] = slots_[at];
      hole = at;
    }
    slots_[hole] = Slot{};
    --used_;
    return true;
  }

  template <typename Visit>
  void ForEach(Visit visit) {
    for (Slot& slot : slots_) {
      if (slot.key != nullptr) visit(slot.key, slot.value);
    }
  }

 private:
  static constexpr unsigned InitialBits = 10;
  static constexpr unsigned PageBits = 12;
  static constexpr unsigned GranuleBits = 4;  // the system allocator's alignment
  static constexpr std::uint64_t WindowSlots = std::uint64_t{1} << (PageBits - GranuleBits);
  static constexpr std::size_t InitialSlots = std::size_t{1} << InitialBits;

  struct Slot {
    const void* key = nullptr;
    Value value{};
  };

  [[nodiscard]] std::size_t Home(const void* key) const noexcept {
    // Blocks of one page of memory go to one window of neighbouring slots, in address order, so strings
    // made or freed one after another touch a few cache lines instead of one page of the table each;
    // Fibonacci hashing of the page number scatters the windows, so far-apart pages rarely share one.
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
    const std::uint64_t window = ((address >> PageBits) * 0x9E3779B97F4A7C15ULL) >> shift_;
    const std::uint64_t offset = (address >> GranuleBits) & (WindowSlots - 1);
    return static_cast<std::size_t>((window + offset) & (slots_.size() - 1));
  }
  [[nodiscard]] std::size_t Next(std::size_t i) const noexcept { return (i + 1) & (slots_.size() - 1); }

  void Place(const void* key, const Value& value) noexcept {
    std::size_t i = Home(key);
    while (slots_[i].key != nullptr) i = Next(i);
    slots_[i] = Slot{key, value};
  }

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    --shift_;
    for (const Slot& slot : old) {
      if (slot.key != nullptr) Place(slot.key, slot.value);
    }
  }

  std::vector<Slot> slots_;  // a power of two of them
  unsigned shift_;           // 64 less the power
  std::size_t used_ = 0;
};

}  // namespace sim
