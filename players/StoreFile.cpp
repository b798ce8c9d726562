// Opening the players' database: the checks that turn a file that cannot be used into one reason, the
// schema migrations, reading every row, and moving a file that is not a database out of the way.
#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "players/Store.h"

namespace {

// Each entry takes the schema from the version before it (its index) to the next. Only ever append: a
// file already at a version has run every entry before it.
constexpr std::array<const char*, PlayerSchemaVersion> Migrations{{
    "CREATE TABLE players ("
    " id TEXT PRIMARY KEY NOT NULL,"
    " adverts_off INTEGER NOT NULL DEFAULT 0,"
    " language TEXT,"
    " first_seen INTEGER NOT NULL,"
    " last_seen INTEGER NOT NULL"
    ") WITHOUT ROWID",
}};

// A failure with the library's primary code, in words an admin can act on, and the library's own message.
std::string Reason(sqlite3* database, int code) {
  std::string words;
  // A write the system refused for want of room reaches the library as an I/O error.
  const int system = database != nullptr ? sqlite3_system_errno(database) : 0;
  if (system == ENOSPC || system == EFBIG) code = SQLITE_FULL;
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      words = "another program holds a lock on it";
      break;
    case SQLITE_FULL:
      words = "the disk is full";
      break;
    case SQLITE_READONLY:
      words = "it is read-only";
      break;
    case SQLITE_CANTOPEN:
      words = "it cannot be opened";
      break;
    case SQLITE_NOTADB:
      words = "it is not a database";
      break;
    default:
      words = "it cannot be read or written";
  }
  const char* detail = database != nullptr ? sqlite3_errmsg(database) : sqlite3_errstr(code);
  return words + " (" + detail + ")";
}

struct Failure {
  int code;
  std::string reason;
};

// One statement without results; a failure carries its reason.
std::optional<Failure> Exec(sqlite3* database, const char* sql) {
  const int code = sqlite3_exec(database, sql, nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) return std::nullopt;
  return Failure{code, Reason(database, code)};
}

// The first column of the first row of a query, as text.
std::optional<Failure> QueryText(sqlite3* database, const char* sql, std::string& out) {
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
  if (code == SQLITE_OK) {
    code = sqlite3_step(statement);
    if (code == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      out = text != nullptr ? reinterpret_cast<const char*>(text) : "";
      code = SQLITE_OK;
    }
  }
  std::optional<Failure> failure;
  if (code != SQLITE_OK && code != SQLITE_DONE) failure = Failure{code, Reason(database, code)};
  sqlite3_finalize(statement);
  return failure;
}

std::optional<Failure> Migrate(sqlite3* database) {
  if (auto failure = Exec(database, "BEGIN IMMEDIATE")) return failure;
  std::string text;
  auto failure = QueryText(database, "PRAGMA user_version", text);
  int version = 0;
  if (!failure) std::from_chars(text.data(), text.data() + text.size(), version);
  if (!failure && version > PlayerSchemaVersion) {
    failure = Failure{SQLITE_ERROR, "a newer Heraldix wrote it (schema " + text + ")"};
  }
  for (int next = version; !failure && next < PlayerSchemaVersion; ++next) {
    failure = Exec(database, Migrations.at(static_cast<std::size_t>(next)));
  }
  if (!failure && version < PlayerSchemaVersion) {
    const std::string set = "PRAGMA user_version = " + std::to_string(PlayerSchemaVersion);
    failure = Exec(database, set.c_str());
  }
  if (!failure) failure = Exec(database, "COMMIT");
  if (failure) sqlite3_exec(database, "ROLLBACK", nullptr, nullptr, nullptr);
  return failure;
}

std::optional<Failure> ReadRows(sqlite3* database, std::vector<PlayerRow>& rows) {
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_prepare_v2(database, "SELECT id, adverts_off, language, first_seen, last_seen FROM players", -1,
                                &statement, nullptr);
  while (code == SQLITE_OK && (code = sqlite3_step(statement)) == SQLITE_ROW) {
    code = SQLITE_OK;
    const auto* id = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    PlayerRow row;
    // A row an admin wrote by hand with an id that is no player's is left where it is, unread.
    if (id == nullptr || std::from_chars(id, id + std::char_traits<char>::length(id), row.id).ec != std::errc{}) {
      continue;
    }
    row.advertsOff = sqlite3_column_int(statement, 1) != 0;
    const auto* language = reinterpret_cast<const char*>(sqlite3_column_text(statement, 2));
    if (language != nullptr) row.language = language;
    row.firstSeen = sqlite3_column_int64(statement, 3);
    row.lastSeen = sqlite3_column_int64(statement, 4);
    rows.push_back(std::move(row));
  }
  std::optional<Failure> failure;
  if (code != SQLITE_DONE) failure = Failure{code, Reason(database, code)};
  sqlite3_finalize(statement);
  return failure;
}

// Opens, migrates and reads; on failure the connection is closed and the reason returned.
std::optional<Failure> OpenAndRead(const std::string& path, sqlite3*& database, std::vector<PlayerRow>& rows) {
  database = nullptr;
  int code = sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::optional<Failure> failure;
  if (code != SQLITE_OK) {
    failure = Failure{code, Reason(database, code)};
  } else if (sqlite3_db_readonly(database, "main") == 1) {
    // The library falls back to reading a file it may not write; a choice could then never be kept.
    failure = Failure{SQLITE_READONLY, "it is read-only"};
  } else {
    sqlite3_extended_result_codes(database, 1);
    // Load must not wait for another program's lock; the writer, off the game thread, waits a little.
    sqlite3_busy_timeout(database, 0);
    std::string mode;
    failure = QueryText(database, "PRAGMA journal_mode = WAL", mode);
    if (!failure && mode != "wal") failure = Failure{SQLITE_READONLY, "it cannot be switched to a write-ahead log"};
    if (!failure) failure = Exec(database, "PRAGMA synchronous = FULL");
    if (!failure) failure = Migrate(database);
    if (!failure) failure = ReadRows(database, rows);
  }
  if (failure) {
    sqlite3_close(database);
    database = nullptr;
    rows.clear();
  }
  return failure;
}

// A name beside path that nothing has yet: path.not-a-database, then .not-a-database-2, -3, ...
std::string AsideName(const std::string& path) {
  std::error_code error;
  for (int attempt = 1;; ++attempt) {
    std::string name = path + ".not-a-database" + (attempt == 1 ? "" : "-" + std::to_string(attempt));
    if (!std::filesystem::exists(name, error) && !std::filesystem::exists(name + "-wal", error)) return name;
  }
}

// Moves the file, and the log files the library keeps beside it, under one new name. Never overwrites.
std::string MoveAside(const std::string& path, std::error_code& error) {
  std::string aside = AsideName(path);
  std::filesystem::rename(path, aside, error);
  if (error) return {};
  for (const char* suffix : {"-wal", "-shm"}) {
    std::error_code ignored;
    if (std::filesystem::exists(path + suffix, ignored))
      std::filesystem::rename(path + suffix, aside + suffix, ignored);
  }
  return aside;
}

}  // namespace

OpenedStore OpenPlayerStore(const std::string& path) noexcept {
  OpenedStore opened;
  try {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
      opened.error = "its folder does not exist";
      return opened;
    }
    sqlite3* database = nullptr;
    auto failure = OpenAndRead(path, database, opened.rows);
    if (failure && (failure->code & 0xFF) == SQLITE_NOTADB) {
      opened.movedTo = MoveAside(path, error);
      if (error) {
        opened.error = failure->reason + ", and it cannot be moved aside (" + error.message() + ")";
        return opened;
      }
      failure = OpenAndRead(path, database, opened.rows);
    }
    if (failure) {
      opened.error = failure->reason;
      return opened;
    }
    opened.store = std::make_unique<PlayerStore>(database);
  } catch (const std::exception& error) {
    opened.store.reset();
    opened.rows.clear();
    opened.error = error.what();
  }
  return opened;
}
