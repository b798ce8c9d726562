// Owns the fuzz targets' server: the simulated game and host in this process with the plug-in's code
// linked in, three players, and the rule that whatever the game calls a fault ends the run as a crash.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "host/GameTypes.h"

namespace heraldix::fuzz {

// Players online from the start: 1 "Alice" in group "Admin", 2 "Bob" in "VIP", 3 "Carol" in none.
inline constexpr std::uint64_t Alice = 1;
inline constexpr std::uint64_t Bob = 2;
inline constexpr std::uint64_t Carol = 3;

class FuzzServer {
 public:
  // The one server of the process, made on first use with configJson as config.json and the plug-in
  // loaded through its own Load. Later calls return the same server whatever they pass.
  static FuzzServer& Get(std::string_view configJson);

  FuzzServer(const FuzzServer&) = delete;
  FuzzServer& operator=(const FuzzServer&) = delete;

  [[nodiscard]] AShooterPlayerController* Player(std::uint64_t id) const;
  [[nodiscard]] RCONClientConnection* Connection() const { return connection_; }
  [[nodiscard]] UWorld* World() const;
  [[nodiscard]] const std::filesystem::path& ConfigPath() const { return configPath_; }
  void WriteConfig(const std::uint8_t* data, std::size_t size) const;
  // Forgets the replies the game collected on Connection(), as its remote console does after each
  // request; handlers called directly would otherwise pile them up input after input.
  void DrainReplies() const;

  // A fault (an escaped exception, a bad free, a malformed string handed to the game, ...) is a finding:
  // it is printed and the process aborts, so the fuzzer keeps the input. Otherwise the count starts over.
  void Check(const char* after) const;

 private:
  explicit FuzzServer(std::string_view configJson);

  std::filesystem::path dir_;
  std::filesystem::path configPath_;
  RCONClientConnection* connection_ = nullptr;
};

}  // namespace heraldix::fuzz
