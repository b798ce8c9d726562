// Owns loading and unloading the plug-in library, with the host's checks around each.
#pragma once

#include <string>

namespace sim {

class PluginLibrary {
 public:
  PluginLibrary() = default;
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();

  // dlopen: the library's entry runs Load. Raises ScenarioError when the library cannot be loaded.
  void Load(const std::string& path);
  // Pending delayed calls dropped, dlclose (the entry runs Unload), then what the plug-in left behind
  // (registrations, game memory, a library that stayed mapped) is reported as faults.
  void Unload();
  [[nodiscard]] bool Loaded() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;
  std::string path_;
};

}  // namespace sim
