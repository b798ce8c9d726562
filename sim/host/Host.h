// Owns the simulated host framework's control side: dispatching lines, the timer, hooks as the game sees
// them, the plug-in's session checks and the game-entry registry behind GetAddress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/GameTypes.h"
#include "sim/host/SimExport.h"

// Every registry and table of the host library is made on first use and never destroyed: code under
// test may still call in from its own static destructors at exit, and what the tables hold stays
// reachable, so a leak checker reports only what nobody can reach.
namespace sim {

// --- Commands: a line goes to the command registered under its first space-separated word ---------
// Each returns false when no command took the line. The callback gets a game-owned copy of the line.
HERALDIX_SIM_API bool DispatchConsole(APlayerController* issuer, std::u16string_view line);
HERALDIX_SIM_API bool DispatchRcon(RCONClientConnection* connection, std::int32_t requestId, std::u16string_view line,
                                   UWorld* world);
HERALDIX_SIM_API bool DispatchChat(AShooterPlayerController* player, std::u16string_view line,
                                   EChatSendMode::Type mode);
HERALDIX_SIM_API std::size_t RegisteredCommandCount();

// --- Hooks ---------------------------------------------------------------------------------------
// A game function the plug-in may replace; the game calls HookedEntry(key) instead of its own entry.
HERALDIX_SIM_API void RegisterHookable(const std::string& key, void* gameEntry);
HERALDIX_SIM_API void* HookedEntry(const std::string& key);
HERALDIX_SIM_API std::size_t InstalledHookCount();

// --- Contacts ------------------------------------------------------------------------------------
// Counts every time a plug-in reaches the game or the host (a GetAddress lookup, a host service call), so
// the game can tell what a hook body did before and after it called on to the game's own function.
HERALDIX_SIM_API std::uint64_t Contacts();
HERALDIX_SIM_API void CountContact();

// --- Timer ---------------------------------------------------------------------------------------
// Runs every delayed call due at Elapsed() or earlier, by due time then by order of scheduling.
HERALDIX_SIM_API void RunDueTimerCalls();
HERALDIX_SIM_API std::size_t PendingTimerCalls();

// --- GetAddress ----------------------------------------------------------------------------------
using FieldResolver = void* (*)(const void* object);
HERALDIX_SIM_API void RegisterGameFunction(const std::string& key, void* entry);
HERALDIX_SIM_API void RegisterGameField(const std::string& key, FieldResolver resolver);

// --- Server directory ----------------------------------------------------------------------------
HERALDIX_SIM_API void SetServerDir(std::string directory);
HERALDIX_SIM_API const std::string& ServerDir();

// --- The plug-in's session -----------------------------------------------------------------------
// Before the library is unmapped: pending delayed calls are destroyed while their code still exists.
HERALDIX_SIM_API void BeforePluginUnload();
// After it is unmapped: whatever it left registered is a fault, and its callbacks are leaked on purpose,
// since destroying them would run code that is gone.
HERALDIX_SIM_API void AfterPluginUnload();
// Destroys every registration normally (the code that made them is still mapped) and the log sinks'
// state; tracing, recording and the listener stay.
HERALDIX_SIM_API void ResetHost();

}  // namespace sim
