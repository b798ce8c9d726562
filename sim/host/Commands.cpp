// The host's command registry: three channels of named callbacks, dispatched by a line's first word.
#include <algorithm>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/ICommands.h"
#include "sim/host/Ascii.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/host/Registrations.h"
#include "sim/host/Utf.h"

namespace sim {
namespace {

std::u16string Folded(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& unit : folded) unit = LowerAscii(unit);
  return folded;
}

// Entries in registration order, with an index by folded name: a server with ten thousand chat commands
// must not walk them all for every line, nor for every registration a reload removes.
template <class Callback>
struct Channel {
  struct Entry {
    std::u16string name;
    Callback callback;
  };
  using Position = typename std::list<Entry>::iterator;
  std::list<Entry> entries;
  std::unordered_map<std::u16string, std::vector<Position>> byName;  // each name's entries, oldest first

  void Add(std::u16string_view name, const Callback& callback) {
    entries.push_back({std::u16string(name), callback});
    byName[Folded(name)].push_back(std::prev(entries.end()));
  }
  // The earliest registration under the name, ASCII case ignored.
  const Entry* Find(std::u16string_view word) const {
    const auto found = byName.find(Folded(word));
    return found == byName.end() ? nullptr : &*found->second.front();
  }
  bool Remove(std::u16string_view name) {
    const auto found = byName.find(Folded(name));
    if (found == byName.end()) return false;
    entries.erase(found->second.front());
    found->second.erase(found->second.begin());
    if (found->second.empty()) byName.erase(found);
    return true;
  }
  void Clear() {
    byName.clear();
    entries.clear();
  }
};

// Traces are built only when someone reads them: a reload re-registers every custom command.
class Commands final : public TarrowApi::ICommands {
 public:
  Channel<TarrowApi::ConsoleCommandCallback> console;
  Channel<TarrowApi::RconCommandCallback> rcon;
  Channel<TarrowApi::ChatCommandCallback> chat;

  void RegisterConsoleCommand(const FString& command, const TarrowApi::ConsoleCommandCallback& callback) override {
    if (Tracing()) Trace("RegisterConsoleCommand", {EncodeUtf8(command.View())});
    console.Add(command.View(), callback);
  }
  void RegisterRconCommand(const FString& command, const TarrowApi::RconCommandCallback& callback) override {
    if (Tracing()) Trace("RegisterRconCommand", {EncodeUtf8(command.View())});
    rcon.Add(command.View(), callback);
  }
  void RegisterChatCommand(const FString& command, const TarrowApi::ChatCommandCallback& callback) override {
    if (Tracing()) Trace("RegisterChatCommand", {EncodeUtf8(command.View())});
    chat.Add(command.View(), callback);
  }
  bool UnregisterConsoleCommand(const FString& command) override {
    const bool removed = console.Remove(command.View());
    if (Tracing()) Trace("UnregisterConsoleCommand", {EncodeUtf8(command.View())}, removed);
    return removed;
  }
  bool UnregisterRconCommand(const FString& command) override {
    const bool removed = rcon.Remove(command.View());
    if (Tracing()) Trace("UnregisterRconCommand", {EncodeUtf8(command.View())}, removed);
    return removed;
  }
  bool UnregisterChatCommand(const FString& command) override {
    const bool removed = chat.Remove(command.View());
    if (Tracing()) Trace("UnregisterChatCommand", {EncodeUtf8(command.View())}, removed);
    return removed;
  }
};

Commands& TheCommands() {
  static auto* commands = new Commands();  // never destroyed (see Host.h)
  return *commands;
}

// Callbacks whose code was unloaded while they were still registered: never destroyed, never called.
template <class Callback>
std::vector<Callback>& Abandoned() {
  static auto* kept = new std::vector<Callback>();
  return *kept;
}

template <class Callback>
void Abandon(Channel<Callback>& channel, const char* label, std::vector<std::string>& leftovers) {
  for (auto& entry : channel.entries) {
    leftovers.push_back(std::string(label) + " command " + EncodeUtf8(entry.name));
    Abandoned<Callback>().push_back(std::move(entry.callback));
  }
  // The moved-from callbacks are empty: clearing destroys nothing of the unloaded code.
  channel.Clear();
}

}  // namespace

bool DispatchConsole(APlayerController* issuer, std::u16string_view line) {
  const auto* entry = TheCommands().console.Find(FirstWord(line));
  if (entry == nullptr) return false;
  // A copy: the callback may unregister its own command while it runs.
  auto callback = entry->callback;
  FString text(line);
  Guarded("console command " + EncodeUtf8(FirstWord(line)), [&] { callback(issuer, &text, false); });
  return true;
}

bool DispatchRcon(RCONClientConnection* connection, std::int32_t requestId, std::u16string_view line, UWorld* world) {
  const auto* entry = TheCommands().rcon.Find(FirstWord(line));
  if (entry == nullptr) return false;
  auto callback = entry->callback;
  RCONPacket packet;
  packet.Id = requestId;
  packet.PacketType = 2;
  packet.Body = FString(line);
  packet.Length = static_cast<std::int32_t>(EncodeUtf8(line).size() + 10);
  Guarded("RCON command " + EncodeUtf8(FirstWord(line)), [&] { callback(connection, &packet, world); });
  return true;
}

bool DispatchChat(AShooterPlayerController* player, std::u16string_view line, EChatSendMode::Type mode) {
  const auto* entry = TheCommands().chat.Find(FirstWord(line));
  if (entry == nullptr) return false;
  auto callback = entry->callback;
  FString text(line);
  Guarded("chat command " + EncodeUtf8(FirstWord(line)), [&] { callback(player, &text, mode); });
  return true;
}

std::size_t RegisteredCommandCount() {
  const Commands& commands = TheCommands();
  return commands.console.entries.size() + commands.rcon.entries.size() + commands.chat.entries.size();
}

void AbandonCommands(std::vector<std::string>& leftovers) {
  Commands& commands = TheCommands();
  Abandon(commands.console, "console", leftovers);
  Abandon(commands.rcon, "RCON", leftovers);
  Abandon(commands.chat, "chat", leftovers);
}

void ClearCommands() {
  Commands& commands = TheCommands();
  commands.console.Clear();
  commands.rcon.Clear();
  commands.chat.Clear();
}

}  // namespace sim

TarrowApi::ICommands& TarrowApi::GetCommands() { return sim::TheCommands(); }
