// The host's timer: delayed calls on the simulated clock, run in due order.
#include <algorithm>
#include <vector>

#include "host/Timer.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/host/Registrations.h"

namespace sim {
namespace {

// A call that schedules another at no delay runs in the same pass; past this many in one pass the
// callbacks are rescheduling themselves without end.
constexpr std::size_t MaxCallsPerPass = 100'000;

struct Pending {
  std::int64_t due = 0;
  std::uint64_t order = 0;
  std::function<void()> callback;
};

class HostTimer final : public API::Timer {
 public:
  std::vector<Pending> pending;
  std::uint64_t scheduled = 0;

  void DelayExecuteInternal(std::function<void()> callback, int delaySeconds) override {
    Trace("DelayExecute", {delaySeconds});
    pending.push_back({Elapsed() + std::max(delaySeconds, 0), scheduled++, std::move(callback)});
  }
};

HostTimer& TheTimer() {
  static auto* timer = new HostTimer();  // never destroyed (see Host.h)
  return *timer;
}

}  // namespace

void RunDueTimerCalls() {
  HostTimer& timer = TheTimer();
  for (std::size_t calls = 0;; ++calls) {
    auto next = std::min_element(timer.pending.begin(), timer.pending.end(), [](const Pending& a, const Pending& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timer.pending.end() || next->due > Elapsed()) return;
    if (calls == MaxCallsPerPass) {
      Fault("host timer: delayed calls keep scheduling more at no delay; the rest wait for the next second");
      return;
    }
    std::function<void()> callback = std::move(next->callback);
    timer.pending.erase(next);
    if (callback) Guarded("a delayed call", callback);
  }
}

std::size_t PendingTimerCalls() { return TheTimer().pending.size(); }

void AbandonTimerCalls(std::vector<std::string>& leftovers) {
  static auto* kept = new std::vector<std::function<void()>>();
  for (Pending& call : TheTimer().pending) {
    leftovers.push_back("delayed call due at " + std::to_string(call.due));
    kept->push_back(std::move(call.callback));
  }
  TheTimer().pending.clear();
}

void ClearTimerCalls() { TheTimer().pending.clear(); }

}  // namespace sim

API::Timer& API::Timer::Get() { return sim::TheTimer(); }
