#include "sim/host/Events.h"

#include "sim/host/Clock.h"
#include "sim/host/Host.h"

namespace sim {
namespace {

struct Stream {
  std::vector<nlohmann::json> events;
  std::function<void(const nlohmann::json&)> listener;
  std::int64_t faults = 0;
  bool tracing = false;
  bool recording = true;
};

Stream& TheStream() {
  static auto* stream = new Stream();  // never destroyed (see Host.h)
  return *stream;
}

}  // namespace

void Emit(nlohmann::json event) {
  Stream& stream = TheStream();
  event["t"] = Elapsed();
  if (stream.listener) stream.listener(event);
  if (stream.recording) stream.events.push_back(std::move(event));
}

void Fault(const std::string& text) {
  ++TheStream().faults;
  Emit({{"event", "fault"}, {"text", text}});
}

void Trace(const std::string& call, nlohmann::json args) {
  CountContact();
  if (!TheStream().tracing) return;
  Emit({{"event", "trace"}, {"call", call}, {"args", std::move(args)}});
}

void Trace(const std::string& call, nlohmann::json args, nlohmann::json result) {
  CountContact();
  if (!TheStream().tracing) return;
  Emit({{"event", "trace"}, {"call", call}, {"args", std::move(args)}, {"result", std::move(result)}});
}

void SetTracing(bool on) { TheStream().tracing = on; }
bool Tracing() { return TheStream().tracing; }
void SetRecording(bool on) { TheStream().recording = on; }
const std::vector<nlohmann::json>& Events() { return TheStream().events; }
void SetEventListener(std::function<void(const nlohmann::json&)> listener) {
  TheStream().listener = std::move(listener);
}
std::int64_t FaultCount() { return TheStream().faults; }

void ClearEvents() {
  TheStream().events.clear();
  TheStream().faults = 0;
}

}  // namespace sim
