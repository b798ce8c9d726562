// The writer thread: it takes what the game queued, writes it in one transaction per batch, and stops
// writing at the first failure, keeping why.
#include <sqlite3.h>

#include <cerrno>
#include <string>
#include <utility>

#include "players/Store.h"

namespace {

// A lock another program holds briefly (an admin's query) is waited out here, off the game thread.
constexpr int WriterBusyMilliseconds = 2000;

constexpr const char* Upsert =
    "INSERT INTO players (id, adverts_off, language, first_seen, last_seen) VALUES (?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT (id) DO UPDATE SET adverts_off = excluded.adverts_off, language = excluded.language,"
    " last_seen = excluded.last_seen";

// system is the operating system's error of the failed call, taken before later calls overwrite it.
std::string WriteReason(sqlite3* database, int code, int system) {
  if (system == ENOSPC || system == EFBIG) code = SQLITE_FULL;
  switch (code & 0xFF) {
    case SQLITE_FULL:
      return std::string("the disk is full (") + sqlite3_errmsg(database) + ")";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return std::string("another program holds a lock on it (") + sqlite3_errmsg(database) + ")";
    case SQLITE_READONLY:
      return std::string("it has become read-only (") + sqlite3_errmsg(database) + ")";
    default:
      return std::string("it cannot be written (") + sqlite3_errmsg(database) + ")";
  }
}

}  // namespace

PlayerStore::PlayerStore(sqlite3* database) : database_(database) {
  sqlite3_busy_timeout(database_, WriterBusyMilliseconds);
  try {
    writer_ = std::thread([this] { Run(); });
  } catch (...) {
    sqlite3_close(database_);
    throw;
  }
}

PlayerStore::~PlayerStore() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  writer_.join();
  sqlite3_close(database_);
}

void PlayerStore::Put(const PlayerRow& row) {
  bool wake = false;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(row);
    wake = idle_;
    idle_ = false;
  }
  if (wake) wake_.notify_one();
}

std::optional<std::string> PlayerStore::TakeFault() {
  if (!faulted_.load(std::memory_order_acquire)) return std::nullopt;
  const std::lock_guard lock(mutex_);
  if (faultTaken_) return std::nullopt;
  faultTaken_ = true;
  return fault_;
}

void PlayerStore::Run() noexcept {
  std::vector<PlayerRow> batch;
  bool failed = false;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      while (queue_.empty() && !stopping_) {
        idle_ = true;
        wake_.wait(lock);
      }
      if (queue_.empty()) return;
      batch.swap(queue_);
    }
    // After a failure the rows are dropped: the game already acts as if nobody chose anything.
    if (!failed && Write(batch)) {
      committed_.fetch_add(batch.size(), std::memory_order_release);
    } else {
      failed = true;
    }
    batch.clear();
  }
}

bool PlayerStore::Write(const std::vector<PlayerRow>& batch) noexcept {
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_exec(database_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) code = sqlite3_prepare_v2(database_, Upsert, -1, &statement, nullptr);
  for (const PlayerRow& row : batch) {
    if (code != SQLITE_OK) break;
    const std::string id = std::to_string(row.id);
    sqlite3_bind_text(statement, 1, id.c_str(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(statement, 2, row.advertsOff ? 1 : 0);
    if (row.language.empty()) {
      sqlite3_bind_null(statement, 3);
    } else {
      sqlite3_bind_text(statement, 3, row.language.c_str(), static_cast<int>(row.language.size()), SQLITE_TRANSIENT);
    }
    sqlite3_bind_int64(statement, 4, row.firstSeen);
    sqlite3_bind_int64(statement, 5, row.lastSeen);
    code = sqlite3_step(statement);
    if (code == SQLITE_DONE) code = sqlite3_reset(statement);
  }
  int system = code == SQLITE_OK ? 0 : sqlite3_system_errno(database_);
  sqlite3_finalize(statement);
  if (code == SQLITE_OK) {
    code = sqlite3_exec(database_, "COMMIT", nullptr, nullptr, nullptr);
    system = sqlite3_system_errno(database_);
  }
  if (code == SQLITE_OK) return true;

  std::string reason;
  try {
    reason = WriteReason(database_, code, system);
  } catch (...) {
    // Without memory for the words the fault is still marked; the game thread reports it bare.
  }
  sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
  {
    const std::lock_guard lock(mutex_);
    fault_ = std::move(reason);
  }
  faulted_.store(true, std::memory_order_release);
  return false;
}
