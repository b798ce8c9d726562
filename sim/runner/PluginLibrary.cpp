#include "sim/runner/PluginLibrary.h"

#include <dlfcn.h>

#include "sim/game/Allocator.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/runner/Scenario.h"

namespace sim {

// Owners unload explicitly and see what goes wrong; this is the last resort on the way out, and a destructor
// may not throw.
PluginLibrary::~PluginLibrary() {
  try {
    if (Loaded()) Unload();
  } catch (...) {
  }
}

void PluginLibrary::Load(const std::string& path) {
  if (Loaded()) throw ScenarioError("the plug-in is already loaded");
  BeginMemorySession();
  dlerror();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* error = dlerror();
    throw ScenarioError("cannot load the plug-in " + path + ": " + (error != nullptr ? error : "unknown error"));
  }
  path_ = path;
}

void PluginLibrary::Unload() {
  if (!Loaded()) throw ScenarioError("the plug-in is not loaded");
  BeforePluginUnload();
  dlclose(handle_);
  handle_ = nullptr;
  AfterPluginUnload();
  CheckMemoryAfterUnload();
  // A library still mapped would keep its state into the next load, which a real reload does not.
  if (void* still = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(still);
    Fault("the plug-in library stayed loaded after unload (something still references it)");
  }
}

}  // namespace sim
