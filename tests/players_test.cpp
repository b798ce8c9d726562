// Players' own choices through the real plug-in, and the store under every fault it must survive: a
// missing folder, a read-only file, a lock another process holds, a full disk, a file that is not a
// database, and a process killed while it writes.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "players/Store.h"
#include "tests/support/Expect.h"
#include "tests/support/SimProcess.h"
#include "tests/support/Support.h"

namespace {

using heraldix::test::EventsOf;
using heraldix::test::ExpectNoFaults;
using heraldix::test::LiveServer;
using heraldix::test::ServerDir;
using heraldix::test::Strings;
using heraldix::test::Texts;
using nlohmann::json;
namespace fs = std::filesystem;

std::string Config(const std::string& database) {
  return R"({"Players": {"Enabled": true, "Database": ")" + database +
         R"("}, "CustomCommands": {"/hi": {"Message": "hello", "Type": "Server"}}})";
}

fs::path Folder(const ServerDir& dir) { return dir.ConfigPath().parent_path(); }

Strings Entries(const fs::path& folder) {
  Strings names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Loads the plug-in on dir and plays a join, a custom command, an admin send and an opt-out.
std::vector<json> Play(const ServerDir& dir) {
  LiveServer server(dir);
  for (const char* line : {"join 1 Alice", "chat 1 /hi", R"(rcon hx.sendserver 0 "admin")", "chat 1 /adverts off"}) {
    server.Line(line);
  }
  server.Unload();
  ExpectNoFaults(server);
  return server.Take();
}

Strings Errors(const std::vector<json>& events) {
  Strings errors;
  for (const json& event : EventsOf(events, "log")) {
    if (event.at("level") == "error") errors.push_back(event.at("text"));
  }
  return errors;
}

// What a player meets when the store failed for reason: everything else answers, the opt-out is not kept,
// and the server log holds one error with the reason and the path.
void ExpectRunsWithoutChoices(const std::vector<json>& events, const std::string& reason, const fs::path& path) {
  EXPECT_EQ(Texts(EventsOf(events, "server")), (Strings{"hello", "admin"}));
  EXPECT_EQ(Texts(EventsOf(events, "chat")),
            Strings{R"(<RichColor Color="1, 1, 1, 1">Your choices cannot be kept at the moment.</>)"});
  const Strings errors = Errors(events);
  ASSERT_EQ(errors.size(), 1U);
  EXPECT_NE(errors[0].find(reason), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find(path.string()), std::string::npos) << errors[0];
}

TEST(Players, WithTheSectionAbsentOrOffNothingIsWritten) {
  for (const char* config : {R"({"CustomCommands": {}})", R"({"Players": {"Enabled": false, "Database": "x.db"}})"}) {
    const ServerDir dir(config);
    LiveServer server(dir);
    server.Line("join 1 Alice");
    server.Line("chat 1 /adverts off");
    server.Unload();
    EXPECT_EQ(Entries(Folder(dir)), Strings{"config.json"}) << config;
  }
}

TEST(Players, ASecondRunOnTheSameServerDirectorySeesTheFirstRunsChoices) {
  const ServerDir dir(R"({"Players": {"Enabled": true, "Languages": ["en", "de"]}})");
  const fs::path first = dir.Path() / "first.scenario";
  const fs::path second = dir.Path() / "second.scenario";
  std::ofstream(first) << "join 1 Alice\nchat 1 /language de\n";
  std::ofstream(second) << "join 1 Alice\nchat 1 /language\n";
  const std::string server = "--server-dir=" + dir.Path().string();
  ASSERT_EQ(heraldix::test::RunSim({"run", server, "--json", first.string()}).status, 0);
  const auto run = heraldix::test::RunSim({"run", server, "--json", second.string()});
  EXPECT_NE(run.out.find("Your language: de."), std::string::npos) << run.out;
}

// --- Faults --------------------------------------------------------------------------------------

TEST(PlayersFaults, AMissingFolderLeavesEverythingElseRunning) {
  const ServerDir dir(Config("gone/players.db"));
  ExpectRunsWithoutChoices(Play(dir), "its folder does not exist", Folder(dir) / "gone/players.db");
  EXPECT_FALSE(fs::exists(Folder(dir) / "gone"));
}

TEST(PlayersFaults, AFileThatIsNotADatabaseIsMovedAsideAndAFreshOneStarted) {
  const ServerDir dir(Config("players.db"));
  const fs::path path = Folder(dir) / "players.db";
  const std::string junk(2048, 'x');
  for (const char* aside : {"players.db.not-a-database", "players.db.not-a-database-2"}) {
    std::ofstream(path) << junk;
    const auto events = Play(dir);
    EXPECT_EQ(Texts(EventsOf(events, "server")), (Strings{"hello", "admin"}));
    EXPECT_EQ(
        Texts(EventsOf(events, "chat")),
        Strings{
            R"(<RichColor Color="1, 1, 1, 1">Automatic messages are off for you. Type /adverts on to have them back.</>)"});
    const Strings errors = Errors(events);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_NE(errors[0].find((Folder(dir) / aside).string()), std::string::npos) << errors[0];
    std::ifstream moved(Folder(dir) / aside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), junk);
    const OpenedStore reopened = OpenPlayerStore(path.string());
    ASSERT_EQ(reopened.rows.size(), 1U) << reopened.error;
    EXPECT_TRUE(reopened.rows[0].advertsOff);
  }
}

TEST(PlayersFaults, ALockAnotherProcessHoldsLeavesEverythingElseRunning) {
  const ServerDir dir(Config("players.db"));
  const fs::path path = Folder(dir) / "players.db";
  int ready[2];
  int hold[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(hold), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    ::close(hold[1]);
    sqlite3* database = nullptr;
    sqlite3_open(path.c_str(), &database);
    const int code = sqlite3_exec(database, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; CREATE TABLE t (x)",
                                  nullptr, nullptr, nullptr);
    const char state = code == SQLITE_OK ? '1' : '0';
    (void)!::write(ready[1], &state, 1);
    char done = 0;
    (void)!::read(hold[0], &done, 1);  // until the test closes its end
    ::_exit(0);
  }
  ::close(hold[0]);
  char state = 0;
  ASSERT_EQ(::read(ready[0], &state, 1), 1);
  ASSERT_EQ(state, '1');
  ExpectRunsWithoutChoices(Play(dir), "another program holds a lock on it", path);
  ::close(hold[1]);
  int status = 0;
  ::waitpid(holder, &status, 0);
}

// Nothing may grow a file beyond the size it has now, as on a disk that just filled up.
class FullDisk {
 public:
  explicit FullDisk(rlim_t size) : previous_(::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &limit_);
    const rlimit full{size, limit_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &full);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;
  ~FullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &limit_);
    ::signal(SIGXFSZ, previous_);
  }

 private:
  void (*previous_)(int);
  rlimit limit_{};
};

TEST(PlayersFaults, AFullDiskLeavesEverythingElseRunning) {
  const ServerDir dir(Config("players.db"));
  std::vector<json> events;
  {
    const FullDisk full(0);
    events = Play(dir);
  }
  ExpectRunsWithoutChoices(events, "the disk is full", Folder(dir) / "players.db");
}

TEST(PlayersFaults, ADiskThatFillsWhileTheServerRunsEndsTheChoicesWithOneError) {
  const ServerDir dir(Config("players.db"));
  LiveServer server(dir);
  server.Line("join 1 Alice");
  const FullDisk full(fs::file_size(Folder(dir) / "players.db-wal"));
  // The writer finds the disk full a moment after the choice was answered; the next choice learns of it.
  const std::string notKept = R"(<RichColor Color="1, 1, 1, 1">Your choices cannot be kept at the moment.</>)";
  bool refused = false;
  for (int attempt = 0; attempt < 500 && !refused; ++attempt) {
    server.Line("chat 1 /adverts off");
    const auto events = server.Take();
    refused = !EventsOf(events, "chat").empty() && EventsOf(events, "chat").back().at("text") == notKept;
    if (!refused) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    // The limit shows as a failed write rather than as no room left, as a full disk would.
    const Strings errors = Errors(events);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_TRUE(errors[0].starts_with("Players' choices no longer kept, it cannot be written")) << errors[0];
    EXPECT_TRUE(errors[0].ends_with(": " + (Folder(dir) / "players.db").string())) << errors[0];
  }
  ASSERT_TRUE(refused);
  for (const char* line : {"chat 1 /hi", R"(rcon hx.sendserver 0 "admin")", "chat 1 /adverts on"}) server.Line(line);
  const auto events = server.Take();
  EXPECT_EQ(Texts(EventsOf(events, "server")), (Strings{"hello", "admin"}));
  EXPECT_EQ(Texts(EventsOf(events, "chat")), Strings{notKept});
  EXPECT_TRUE(Errors(events).empty());
  server.Unload();
  ExpectNoFaults(server);
}

TEST(PlayersFaults, AReadOnlyFileLeavesEverythingElseRunning) {
  const ServerDir dir(Config("players.db"));
  const fs::path path = Folder(dir) / "players.db";
  ASSERT_TRUE(OpenPlayerStore(path.string()).store);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // The owner of every file may write it when it is the superuser: the server then runs as nobody.
  for (fs::path at = Folder(dir); at != dir.Path().parent_path(); at = at.parent_path()) {
    fs::permissions(at, fs::perms::all);
  }
  fs::permissions(dir.ConfigPath(), fs::perms::all);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ExpectRunsWithoutChoices(Play(dir), "it is read-only", path);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the server as another user failed: " << status;
}

// --- Killed while writing ------------------------------------------------------------------------

constexpr std::uint64_t Players = 20;

// A child puts choice after choice, reporting each number once the writer has committed it, until killed.
[[noreturn]] void ChooseUntilKilled(const std::string& path, int acks) {
  OpenedStore opened = OpenPlayerStore(path);
  if (!opened.store) ::_exit(3);
  for (std::uint64_t choice = 1;; ++choice) {
    opened.store->Put(PlayerRow{choice % Players, choice % 2 == 0, std::to_string(choice), 1, 1});
    while (opened.store->Committed() < choice) std::this_thread::yield();
    if (::write(acks, &choice, sizeof choice) != sizeof choice) ::_exit(4);
  }
}

TEST(PlayersStore, EveryChoiceTheWriterAcknowledgedSurvivesAKillAtAnyPoint) {
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 6 && !HasFailure(); ++round) {
    const ServerDir dir;
    const std::string path = (Folder(dir) / "players.db").string();
    int acks[2];
    ASSERT_EQ(::pipe(acks), 0);
    const pid_t child = ::fork();
    if (child == 0) ChooseUntilKilled(path, acks[1]);
    ::close(acks[1]);
    // The kill comes after a random number of acknowledgements, while the writer is at work on the next.
    const std::uint64_t before = std::uniform_int_distribution<std::uint64_t>(1, 60)(random);
    std::uint64_t acknowledged = 0;
    std::uint64_t choice = 0;
    while (acknowledged < before && ::read(acks[0], &choice, sizeof choice) == sizeof choice) acknowledged = choice;
    ::kill(child, SIGKILL);
    while (::read(acks[0], &choice, sizeof choice) == sizeof choice) acknowledged = choice;
    ::close(acks[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own: " << status;

    const OpenedStore reopened = OpenPlayerStore(path);
    ASSERT_TRUE(reopened.store) << reopened.error;
    EXPECT_TRUE(reopened.movedTo.empty());
    std::map<std::uint64_t, PlayerRow> kept;
    for (const PlayerRow& row : reopened.rows) kept[row.id] = row;
    // Each player holds their last acknowledged choice, or the one the writer committed unacknowledged.
    for (std::uint64_t made = acknowledged > Players ? acknowledged - Players + 1 : 1; made <= acknowledged; ++made) {
      const PlayerRow& row = kept[made % Players];
      const std::uint64_t found = row.language.empty() ? 0 : std::stoull(row.language);
      EXPECT_TRUE(found == made || found == acknowledged + 1)
          << "player " << made % Players << " holds " << found << ", acknowledged " << made;
      EXPECT_EQ(row.advertsOff, found % 2 == 0);
    }
  }
}

}  // namespace
