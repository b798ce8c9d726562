// The game's side of a hooked call: whether the hook body ran the game's own function once, at its point.
#include <algorithm>
#include <string>
#include <vector>

#include "sim/game/GameState.h"

namespace sim {
namespace {

// Calls under way, innermost last: a hook body may make the game call another hookable function.
std::vector<HookedCall*>& Open() {
  static auto* calls = new std::vector<HookedCall*>();  // never destroyed (see Host.h)
  return *calls;
}

}  // namespace

HookedCall::HookedCall(std::string_view function, OwnRun point)
    : function_(function), point_(point), contactsAtStart_(Contacts()) {
  Open().push_back(this);
}

HookedCall::~HookedCall() { std::erase(Open(), this); }

void HookedCall::Check() const {
  const std::string name(function_);
  if (runs_ == 0) {
    Fault(name + ": the hook did not call on to the game's own function, so the game's own work was not done");
    return;
  }
  if (runs_ > 1) {
    Fault(name + ": the game's own function ran " + std::to_string(runs_) + " times in one call");
    return;
  }
  if (point_ == OwnRun::First && contactsAtRun_ != contactsAtStart_) {
    Fault(name + ": the hook reached the game or the host before calling on to the game's own function");
  }
  if (point_ == OwnRun::Last && Contacts() != contactsAtRun_) {
    Fault(name + ": the hook reached the game or the host after calling on to the game's own function");
  }
}

void RanOwn(std::string_view function) {
  auto& open = Open();
  const auto call =
      std::find_if(open.rbegin(), open.rend(), [&](const HookedCall* c) { return c->function_ == function; });
  if (call == open.rend()) return;  // the game's own entry called directly, not through the hook table
  if ((*call)->runs_++ == 0) (*call)->contactsAtRun_ = Contacts();
}

}  // namespace sim
