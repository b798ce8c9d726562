// The host's lookups and small services: GetAddress, the server directory, log sinks, session checks.
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <spdlog/details/null_mutex.h>
#include <spdlog/sinks/base_sink.h>

#include "host/Address.h"
#include "host/Logging.h"
#include "host/Tools.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/host/Registrations.h"

namespace sim {
namespace {

struct AddressBook {
  // The plug-in looks up a game function by key at every call, so this is the busiest table of the host.
  std::unordered_map<std::string, void*> functions;
  std::unordered_map<std::string, FieldResolver> fields;
  std::string serverDir = ".";
};

AddressBook& TheBook() {
  static auto* book = new AddressBook();  // never destroyed (see Host.h)
  return *book;
}

// Turns records written to the host's sinks into "log" events; the pattern a logger sets is not applied,
// since the event carries the parts on their own.
class EventSink final : public spdlog::sinks::base_sink<spdlog::details::null_mutex> {
 protected:
  void sink_it_(const spdlog::details::log_msg& message) override {
    const auto level = spdlog::level::to_string_view(message.level);
    Emit({{"event", "log"},
          {"logger", std::string(message.logger_name.data(), message.logger_name.size())},
          {"level", std::string(level.data(), level.size())},
          {"text", std::string(message.payload.data(), message.payload.size())}});
  }
  void flush_() override {}
};

std::vector<std::shared_ptr<spdlog::sinks::sink>>& Sinks() {
  static auto* sinks = new std::vector<std::shared_ptr<spdlog::sinks::sink>>{std::make_shared<EventSink>()};
  return *sinks;
}

}  // namespace

void RegisterGameFunction(const std::string& key, void* entry) { TheBook().functions[key] = entry; }
void RegisterGameField(const std::string& key, FieldResolver resolver) { TheBook().fields[key] = resolver; }

void SetServerDir(std::string directory) {
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  TheBook().serverDir = std::move(directory);
}
const std::string& ServerDir() { return TheBook().serverDir; }

void ResetLogSinks() { Sinks() = {std::make_shared<EventSink>()}; }

void BeforePluginUnload() { ClearTimerCalls(); }

void AfterPluginUnload() {
  std::vector<std::string> leftovers;
  AbandonCommands(leftovers);
  AbandonHooks(leftovers);
  AbandonTimerCalls(leftovers);
  if (leftovers.empty()) return;
  std::string text = "registrations left after unload:";
  for (std::size_t i = 0; i < leftovers.size(); ++i) text += (i == 0 ? " " : ", ") + leftovers[i];
  Fault(text);
}

namespace {
std::uint64_t contacts = 0;
}  // namespace

std::uint64_t Contacts() { return contacts; }
void CountContact() { ++contacts; }

void ResetHost() {
  ClearCommands();
  ClearHooks();
  ClearTimerCalls();
  ResetLogSinks();
}

}  // namespace sim

void* GetAddress(const std::string& key) {
  sim::CountContact();
  const auto& functions = sim::TheBook().functions;
  auto found = functions.find(key);
  if (found != functions.end()) return found->second;
  sim::Fault("unknown game function key: " + key);
  return nullptr;
}

void* GetAddress(const void* object, const std::string& key) {
  sim::CountContact();
  const auto& fields = sim::TheBook().fields;
  auto found = fields.find(key);
  if (found == fields.end()) {
    sim::Fault("unknown game field key: " + key);
    return nullptr;
  }
  return found->second(object);
}

std::string TarrowApi::Tools::GetCurrentDir() { return sim::ServerDir(); }

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() { return sim::Sinks(); }
