// The host's command registry: three channels of named callbacks, dispatched by a line's first word.
#include <algorithm>
#include <memory>
#include <vector>

#include "host/ICommands.h"
#include "sim/host/Events.h"
#include "sim/host/Host.h"
#include "sim/host/Registrations.h"
#include "sim/host/Utf.h"

namespace sim {
namespace {

char16_t FoldAscii(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; }

bool EqualIgnoringAsciiCase(std::u16string_view left, std::u16string_view right) {
  return left.size() == right.size() &&
         std::equal(left.begin(), left.end(), right.begin(),
                    [](char16_t a, char16_t b) { return FoldAscii(a) == FoldAscii(b); });
}

template <class Callback>
struct Channel {
  struct Entry {
    std::u16string name;
    Callback callback;
  };
  std::vector<Entry> entries;

  const Entry* Find(std::u16string_view word) const {
    for (const Entry& entry : entries) {
      if (EqualIgnoringAsciiCase(entry.name, word)) return &entry;
    }
    return nullptr;
  }
  bool Remove(std::u16string_view name) {
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& entry) { return EqualIgnoringAsciiCase(entry.name, name); });
    if (found == entries.end()) return false;
    entries.erase(found);
    return true;
  }
};

class Commands final : public TarrowApi::ICommands {
 public:
  Channel<TarrowApi::ConsoleCommandCallback> console;
  Channel<TarrowApi::RconCommandCallback> rcon;
  Channel<TarrowApi::ChatCommandCallback> chat;

  void RegisterConsoleCommand(const FString& command, const TarrowApi::ConsoleCommandCallback& callback) override {
    Trace("RegisterConsoleCommand", {EncodeUtf8(command.View())});
    console.entries.push_back({std::u16string(command.View()), callback});
  }
  void RegisterRconCommand(const FString& command, const TarrowApi::RconCommandCallback& callback) override {
    Trace("RegisterRconCommand", {EncodeUtf8(command.View())});
    rcon.entries.push_back({std::u16string(command.View()), callback});
  }
  void RegisterChatCommand(const FString& command, const TarrowApi::ChatCommandCallback& callback) override {
    Trace("RegisterChatCommand", {EncodeUtf8(command.View())});
    chat.entries.push_back({std::u16string(command.View()), callback});
  }
  bool UnregisterConsoleCommand(const FString& command) override {
    const bool removed = console.Remove(command.View());
    Trace("UnregisterConsoleCommand", {EncodeUtf8(command.View())}, removed);
    return removed;
  }
  bool UnregisterRconCommand(const FString& command) override {
    const bool removed = rcon.Remove(command.View());
    Trace("UnregisterRconCommand", {EncodeUtf8(command.View())}, removed);
    return removed;
  }
  bool UnregisterChatCommand(const FString& command) override {
    const bool removed = chat.Remove(command.View());
    Trace("UnregisterChatCommand", {EncodeUtf8(command.View())}, removed);
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
  channel.entries.clear();
}

}  // namespace

std::u16string_view FirstWord(std::u16string_view line) {
  const std::size_t start = line.find_first_not_of(u' ');
  if (start == std::u16string_view::npos) return {};
  const std::size_t end = line.find(u' ', start);
  return line.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
}

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
  commands.console.entries.clear();
  commands.rcon.entries.clear();
  commands.chat.entries.clear();
}

}  // namespace sim

TarrowApi::ICommands& TarrowApi::GetCommands() { return sim::TheCommands(); }
