// Owns the event stream: everything the game hands to players and admins, faults, and host-call traces.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/host/SimExport.h"

namespace sim {

// Appends an event. "t" (simulated seconds) is set here; the rest is the caller's.
HERALDIX_SIM_API void Emit(nlohmann::json event);
// A rule broken where a real game would crash or corrupt memory. Makes `run` exit 1.
HERALDIX_SIM_API void Fault(const std::string& text);
// Host calls that deliver nothing; dropped unless tracing is on. A null result is written as null, so
// callers without a result use the two-argument form.
HERALDIX_SIM_API void Trace(const std::string& call, nlohmann::json args);
HERALDIX_SIM_API void Trace(const std::string& call, nlohmann::json args, nlohmann::json result);

HERALDIX_SIM_API void SetTracing(bool on);
HERALDIX_SIM_API bool Tracing();
// Recording keeps every event in memory for Events(); a long-running server turns it off.
HERALDIX_SIM_API void SetRecording(bool on);
HERALDIX_SIM_API const std::vector<nlohmann::json>& Events();
// Called with every event as it happens (recorded or not); an empty function removes the listener.
HERALDIX_SIM_API void SetEventListener(std::function<void(const nlohmann::json&)> listener);
HERALDIX_SIM_API std::int64_t FaultCount();
// Forgets recorded events and the fault count; keeps tracing, recording and the listener.
HERALDIX_SIM_API void ClearEvents();

// Runs a plug-in callback at the boundary: whatever escapes it becomes a fault, never reaches the game.
template <class F>
void Guarded(const std::string& where, F&& callback) noexcept {
  try {
    std::forward<F>(callback)();
  } catch (const std::exception& error) {
    try {
      Fault("exception escaped " + where + ": " + error.what());
    } catch (...) {
    }
  } catch (...) {
    try {
      Fault("exception escaped " + where + ": (not a std::exception)");
    } catch (...) {
    }
  }
}

}  // namespace sim
