// The host's hook table: per hookable game function, the chain of replacements installed over it.
#include <algorithm>
#include <map>
#include <vector>

#include "host/IHooks.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/host/Registrations.h"

namespace sim {
namespace {

struct Installed {
  void* replacement = nullptr;
  void** original = nullptr;  // the plug-in's variable holding what this replacement calls on to
};

struct Slot {
  void* gameEntry = nullptr;
  std::vector<Installed> chain;  // last installed runs first

  [[nodiscard]] void* Current() const { return chain.empty() ? gameEntry : chain.back().replacement; }
};

class Hooks final : public TarrowApi::IHooks {
 public:
  std::map<std::string, Slot> slots;

  bool InstallHook(const std::string& key, void* replacement, void** original) override {
    auto found = slots.find(key);
    const bool installed = found != slots.end() && replacement != nullptr && original != nullptr;
    if (installed) {
      Slot& slot = found->second;
      *original = slot.Current();
      slot.chain.push_back({replacement, original});
    }
    Trace("InstallHook", {key}, installed);
    return installed;
  }

  bool RemoveHook(const std::string& key, void* replacement) override {
    bool removed = false;
    auto found = slots.find(key);
    if (found != slots.end()) {
      auto& chain = found->second.chain;
      for (std::size_t i = chain.size(); i-- > 0;) {
        if (chain[i].replacement != replacement) continue;
        // The replacement installed after this one now calls on to what this one called on to.
        if (i + 1 < chain.size()) *chain[i + 1].original = *chain[i].original;
        chain.erase(chain.begin() + static_cast<std::ptrdiff_t>(i));
        removed = true;
        break;
      }
    }
    Trace("RemoveHook", {key}, removed);
    return removed;
  }
};

Hooks& TheHooks() {
  static auto* hooks = new Hooks();  // never destroyed (see Host.h)
  return *hooks;
}

}  // namespace

void RegisterHookable(const std::string& key, void* gameEntry) { TheHooks().slots[key].gameEntry = gameEntry; }

void* HookedEntry(const std::string& key) {
  auto found = TheHooks().slots.find(key);
  return found == TheHooks().slots.end() ? nullptr : found->second.Current();
}

std::size_t InstalledHookCount() {
  std::size_t count = 0;
  for (const auto& [key, slot] : TheHooks().slots) count += slot.chain.size();
  return count;
}

void AbandonHooks(std::vector<std::string>& leftovers) {
  // The replacements' code is gone; only the game's own entries remain, and nothing is written into the
  // unloaded library's variables.
  for (auto& [key, slot] : TheHooks().slots) {
    for (std::size_t i = 0; i < slot.chain.size(); ++i) leftovers.push_back("hook " + key);
    slot.chain.clear();
  }
}

void ClearHooks() {
  for (auto& [key, slot] : TheHooks().slots) slot.chain.clear();
}

}  // namespace sim

TarrowApi::IHooks& TarrowApi::GetHooks() { return sim::TheHooks(); }
