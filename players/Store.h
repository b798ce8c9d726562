// Owns the players' database file: opening it, its schema and migrations, reading every row at once, and
// the writer thread that keeps the file in step with the game through a queue.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;

// One player as the file keeps them. An empty language: none chosen.
struct PlayerRow {
  std::uint64_t id = 0;
  bool advertsOff = false;
  std::string language;
  std::int64_t firstSeen = 0;  // seconds since 1970-01-01 UTC
  std::int64_t lastSeen = 0;
};

// The schema version PRAGMA user_version holds once the migrations have run.
inline constexpr int PlayerSchemaVersion = 1;

// What opening the file gave: the store and every row, or why there is none. A file that was not a database
// names where it went (the store is then a fresh file).
struct OpenedStore {
  std::unique_ptr<class PlayerStore> store;
  std::vector<PlayerRow> rows;
  std::string error;    // the reason, for the server log; empty on success
  std::string movedTo;  // set when a file that was not a database was moved aside
};

// Opens or creates the database at path, brings its schema up to PlayerSchemaVersion, and reads every row.
// Never raises and never waits for a lock another program holds: that is a failure like any other.
OpenedStore OpenPlayerStore(const std::string& path) noexcept;

// The open file, written only by its own thread. Put() is the game thread's only cost: a row on a queue.
class PlayerStore {
 public:
  explicit PlayerStore(sqlite3* database);  // takes the connection and starts the writer
  PlayerStore(const PlayerStore&) = delete;
  PlayerStore& operator=(const PlayerStore&) = delete;
  ~PlayerStore();  // writes everything queued, stops the writer, closes the file

  // Queues the row to replace the player's row (their first-seen time stays as the file has it).
  void Put(const PlayerRow& row);
  // Rows written and committed so far, in the order they were put.
  [[nodiscard]] std::uint64_t Committed() const noexcept { return committed_.load(std::memory_order_acquire); }
  // Why writing failed, once: from then on nothing more is written.
  std::optional<std::string> TakeFault();

 private:
  void Run() noexcept;
  bool Write(const std::vector<PlayerRow>& batch) noexcept;

  sqlite3* database_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<PlayerRow> queue_;
  bool stopping_ = false;
  bool idle_ = false;  // the writer is waiting; only then does a Put wake it
  std::string fault_;
  bool faultTaken_ = false;
  std::atomic<bool> faulted_{false};
  std::atomic<std::uint64_t> committed_{0};
  std::thread writer_;
};
