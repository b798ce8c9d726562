#include "sim/game/Allocator.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/GameFunctions.h"
#include "sim/game/BlockTable.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"

namespace sim {
namespace {

struct Block {
  std::size_t size = 0;
  Owner owner = Owner::Game;
  std::uint64_t session = 0;
};

struct Heap {
  BlockTable<Block> blocks;
  std::uint64_t session = 1;
};

// Never destroyed: code under test may free strings from its own static destructors, after this
// file's statics would be gone. Blocks still held at exit stay reachable through it, so a leak checker
// reports only blocks nobody can reach.
Heap& TheHeap() {
  static auto* heap = new Heap();
  return *heap;
}

std::string Describe(const void* block) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", block);
  return text;
}

void* FMemoryMalloc(std::size_t size, std::uint32_t alignment) { return Allocate(size, alignment, Owner::Plugin); }
void* FMemoryRealloc(void* block, std::size_t size) { return Resize(block, size, Owner::Plugin); }
void FMemoryFree(void* block) {
  if (block != nullptr) Release(block, Owner::Plugin, "FMemory.Free");
}

[[maybe_unused]] const bool Registered = [] {
  RegisterGameFunction(std::string(Game::FMemory_Malloc::Key()),
                       reinterpret_cast<void*>(static_cast<Game::FMemory_Malloc::Pointer>(&FMemoryMalloc)));
  RegisterGameFunction(std::string(Game::FMemory_Realloc::Key()),
                       reinterpret_cast<void*>(static_cast<Game::FMemory_Realloc::Pointer>(&FMemoryRealloc)));
  RegisterGameFunction(std::string(Game::FMemory_Free::Key()),
                       reinterpret_cast<void*>(static_cast<Game::FMemory_Free::Pointer>(&FMemoryFree)));
  return true;
}();

}  // namespace

void* Allocate(std::size_t size, std::uint32_t alignment, Owner owner) {
  std::size_t align = alignment < 16 ? 16 : alignment;
  if ((align & (align - 1)) != 0) {
    Fault("FMemory.Malloc: alignment " + std::to_string(alignment) + " is not a power of two");
    return nullptr;
  }
  // Every block is distinct, even of size 0, and aligned_alloc wants a multiple of the alignment. malloc
  // already aligns to 16 and skips aligned_alloc's slow path through a fragmented heap.
  const std::size_t rounded = (size == 0 ? 1 : size + align - 1) / align * align;
  static_assert(alignof(std::max_align_t) >= 16, "malloc's blocks are 16-byte aligned");
  void* block = align == 16 ? std::malloc(rounded) : std::aligned_alloc(align, rounded == 0 ? align : rounded);
  if (block == nullptr) return nullptr;
  TheHeap().blocks.Insert(block, Block{size, owner, TheHeap().session});
  return block;
}

bool Release(void* block, Owner by, const char* what) {
  Heap& heap = TheHeap();
  const Block* found = heap.blocks.Find(block);
  if (found == nullptr) {
    Fault(std::string("bad free: ") + what + " of " + Describe(block) + ", not a live block of the game allocator");
    return false;
  }
  if (by == Owner::Plugin && found->owner == Owner::Game) {
    Fault(std::string("bad free: ") + what + " of " + Describe(block) + ", a block the game still owns");
    return false;
  }
  heap.blocks.Erase(block);
  std::free(block);
  return true;
}

void* Resize(void* block, std::size_t size, Owner by) {
  if (block == nullptr) return Allocate(size, 0, by);
  const Block* found = TheHeap().blocks.Find(block);
  if (found == nullptr) {
    Fault("bad realloc: FMemory.Realloc of " + Describe(block) + ", not a live block of the game allocator");
    return nullptr;
  }
  if (by == Owner::Plugin && found->owner == Owner::Game) {
    Fault("bad realloc: FMemory.Realloc of " + Describe(block) + ", a block the game still owns");
    return nullptr;
  }
  if (size == 0) {
    Release(block, by, "FMemory.Realloc");
    return nullptr;
  }
  const std::size_t oldSize = found->size;
  void* grown = Allocate(size, 0, by);
  if (grown == nullptr) return nullptr;
  std::memcpy(grown, block, oldSize < size ? oldSize : size);
  Release(block, by, "FMemory.Realloc");
  return grown;
}

bool IsLiveBlock(const void* block, std::size_t bytes) {
  const Block* found = TheHeap().blocks.Find(block);
  return found != nullptr && found->size >= bytes;
}

void HandOver(void* block) {
  Block* found = TheHeap().blocks.Find(block);
  if (found == nullptr) return;
  found->owner = Owner::Plugin;
  found->session = TheHeap().session;
}

MemoryUse PluginMemory() {
  MemoryUse use;
  const std::uint64_t session = TheHeap().session;
  TheHeap().blocks.ForEach([&](const void*, const Block& block) {
    if (block.owner != Owner::Plugin || block.session != session) return;
    ++use.blocks;
    use.bytes += static_cast<std::int64_t>(block.size);
  });
  return use;
}

MemoryUse AllMemory() {
  MemoryUse use;
  TheHeap().blocks.ForEach([&](const void*, const Block& block) {
    ++use.blocks;
    use.bytes += static_cast<std::int64_t>(block.size);
  });
  return use;
}

void BeginMemorySession() { ++TheHeap().session; }

void CheckMemoryAfterUnload() {
  const MemoryUse left = PluginMemory();
  if (left.blocks == 0) return;
  Fault("leak: the plug-in left " + std::to_string(left.blocks) + " block(s), " + std::to_string(left.bytes) +
        " bytes, of game memory after unload");
  const std::uint64_t session = TheHeap().session;
  TheHeap().blocks.ForEach([&](const void*, Block& block) {
    if (block.owner == Owner::Plugin && block.session == session) block.owner = Owner::Game;
  });
}

void ResetMemory() {
  Heap& heap = TheHeap();
  std::vector<const void*> games;
  heap.blocks.ForEach([&](const void* address, const Block& block) {
    if (block.owner == Owner::Game) games.push_back(address);
  });
  for (const void* address : games) {
    heap.blocks.Erase(address);
    std::free(const_cast<void*>(address));
  }
  ++heap.session;
}

}  // namespace sim
