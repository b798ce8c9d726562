// Owns the game allocator: every block with its size and owner, and what the plug-in took and gave back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/host/SimExport.h"

namespace sim {

struct MemoryUse {
  std::int64_t blocks = 0;
  std::int64_t bytes = 0;
};

// Live blocks the plug-in (or the code under test) took since the current session began.
HERALDIX_SIM_API MemoryUse PluginMemory();
// Every live block of the allocator, whoever holds it.
HERALDIX_SIM_API MemoryUse AllMemory();
// Starts a new session: blocks taken before it no longer count as this session's.
HERALDIX_SIM_API void BeginMemorySession();
// After an unload: the session's blocks still held are one fault, then belong to the game.
HERALDIX_SIM_API void CheckMemoryAfterUnload();
// Frees the game's own blocks. Blocks the code under test still holds stay live, so a string kept in a
// static survives into the next session; they simply stop counting.
HERALDIX_SIM_API void ResetMemory();

// Inside the game library only.
enum class Owner { Game, Plugin };
void* Allocate(std::size_t size, std::uint32_t alignment, Owner owner);
// Frees a block of the game's; false (and a fault naming what) for anything else.
bool Release(void* block, Owner by, const char* what);
void* Resize(void* block, std::size_t size, Owner by);
// True when block starts a live block of at least this many bytes.
bool IsLiveBlock(const void* block, std::size_t bytes);
// The block now belongs to the plug-in, as when the game returns a string by value.
void HandOver(void* block);

}  // namespace sim
