// Owns the host's hook manager: replacing a game function and calling on to its own entry.
#pragma once

#include <string>

#include "host/Export.h"

namespace TarrowApi {

class IHooks {
 public:
  // Replaces the function under key. Before the replacement first runs, *original holds the entry the
  // replacement calls on to. False when the key names no hookable function.
  virtual bool InstallHook(const std::string& key, void* replacement, void** original) = 0;
  // Restores what the replacement displaced. Removing a hook that is not installed is harmless: false.
  virtual bool RemoveHook(const std::string& key, void* replacement) = 0;

  template <class Fn>
  bool SetHook(const std::string& key, Fn* replacement, Fn** original) {
    return InstallHook(key, reinterpret_cast<void*>(replacement), reinterpret_cast<void**>(original));
  }
  template <class Fn>
  bool DisableHook(const std::string& key, Fn* replacement) {
    return RemoveHook(key, reinterpret_cast<void*>(replacement));
  }

 protected:
  ~IHooks() = default;
};

HERALDIX_HOST_API IHooks& GetHooks();

}  // namespace TarrowApi
