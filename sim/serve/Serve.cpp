#include "sim/serve/Serve.h"

#include <unistd.h>

#include <functional>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>

#include <asio/io_context.hpp>
#include <asio/posix/stream_descriptor.hpp>
#include <asio/read_until.hpp>
#include <asio/signal_set.hpp>

#include "host/Platform.h"
#include "sim/game/Game.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"
#include "sim/rcon/RconServer.h"
#include "sim/runner/EventWriter.h"
#include "sim/runner/Runner.h"
#include "sim/serve/GameRcon.h"
#include "sim/serve/QueuedOutput.h"

namespace sim {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A line of standard input longer than this is not a scenario line; input stops there.
constexpr std::size_t MaxInputLine = std::size_t{1} << 20;
// After a stall (a suspended process, a slow disk) the beat resumes instead of racing through the
// missed seconds.
constexpr auto MaxLag = std::chrono::seconds(5);

struct PendingLine {
  std::string place;          // "FILE:LINE" or "stdin:LINE", for reports
  std::filesystem::path dir;  // resolves `config FILE`
  std::string text;
};

std::int64_t RealTicks() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, Platform::TicksPerSecond>>>(
             sinceEpoch)
      .count();
}

// Events waiting for a slow reader at most; beyond this the oldest go. About a megabyte of JSON lines.
constexpr std::size_t EventQueueLines = 8192;
constexpr std::size_t NoteQueueLines = 1024;
// How long a reader that has stopped reading may hold up the end.
constexpr auto OutputGrace = std::chrono::seconds(2);

using Note = std::function<void(const std::string&)>;

// The console's own words, which are no scenario lines.
std::string_view ConsoleWord(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text == "quit" || text == "help" ? text : std::string_view();
}

std::string HelpText() {
  std::string text = "serve: scenario lines, one a line (# starts a comment):";
  for (const std::string& usage : ScenarioLineUsages()) text += "\n  " + usage;
  return text + "\n  help\n  quit";
}

// The serve loop: one game-timer call a real second; between them, lines from the script and
// standard input, RCON requests and signals, all on this one thread.
class RealTimeLoop {
 public:
  RealTimeLoop(const ServeOptions& options, Session& session, Note note)
      : options_(options), session_(session), note_(std::move(note)) {}
  RealTimeLoop(const RealTimeLoop&) = delete;
  RealTimeLoop& operator=(const RealTimeLoop&) = delete;

  // Raises asio::system_error when the port cannot be had.
  void StartRcon() {
    sim::rcon::RconServerOptions rcon;
    rcon.password = options_.rconPassword;
    rcon.port = static_cast<std::uint16_t>(*options_.rconPort);
    rcon.note = note_;
    try {
      rcon_ = std::make_unique<sim::rcon::RconServer>(io_, dispatch_, std::move(rcon));
    } catch (const std::system_error& error) {
      throw ScenarioError("cannot serve rcon on 127.0.0.1:" + std::to_string(*options_.rconPort) + ": " +
                          error.code().message());
    }
    note_("rcon listening on 127.0.0.1:" + std::to_string(rcon_->Port()));
  }

  void Queue(PendingLine line) { pending_.push_back(std::move(line)); }

  void Run() {
    signals_.async_wait([this](const asio::error_code& error, int /*signal*/) {
      if (!error) {
        quit_ = true;
        io_.stop();
      }
    });
    if (options_.console) {
      StartInput();
      if (::isatty(STDIN_FILENO) == 1) note_("serve: type scenario lines here; help lists them, quit stops the server");
    }
    auto nextTick = SteadyClock::now() + std::chrono::seconds(1);
    for (;;) {
      PlayReadyLines();
      if (quit_ || (inputEnded_ && pending_.empty() && Elapsed() >= resumeAt_)) break;
      const auto now = SteadyClock::now();
      if (now >= nextTick) {
        Wait(1);
        if (rcon_) rcon_->ApplyTimeLimits();
        nextTick += std::chrono::seconds(1);
        if (now - nextTick > MaxLag) nextTick = now + std::chrono::seconds(1);
        continue;
      }
      io_.restart();
      io_.run_until(nextTick);
    }
  }

  // The remote console closes before the game does, so no request reaches a game on its way out.
  void StopRcon() { rcon_.reset(); }

 private:
  void StartInput() {
    const int fd = ::dup(STDIN_FILENO);
    if (fd < 0) {
      inputEnded_ = true;
      return;
    }
    asio::error_code error;
    input_.assign(fd, error);
    if (error) {
      ::close(fd);
      inputEnded_ = true;
      return;
    }
    ReadInput();
  }

  void ReadInput() {
    asio::async_read_until(input_, asio::dynamic_buffer(inputBuffer_, MaxInputLine), '\n',
                           [this](const asio::error_code& error, std::size_t bytes) {
                             if (error == asio::error::operation_aborted) return;
                             if (!error) {
                               QueueInput(inputBuffer_.substr(0, bytes - 1));
                               inputBuffer_.erase(0, bytes);
                               ReadInput();
                             } else {
                               if (error != asio::error::eof) {
                                 note_(std::string("stdin: ") +
                                       (error == asio::error::not_found ? "line too long" : error.message()) +
                                       "; no more lines are read");
                               } else if (!inputBuffer_.empty()) {
                                 QueueInput(inputBuffer_);
                               }
                               inputBuffer_.clear();
                               inputEnded_ = true;
                             }
                             io_.stop();  // the loop plays what arrived
                           });
  }

  void QueueInput(std::string text) {
    ++inputLine_;
    Queue({"stdin:" + std::to_string(inputLine_), std::filesystem::current_path(ignoredError_), std::move(text)});
  }

  void PlayReadyLines() {
    while (!quit_ && !pending_.empty() && Elapsed() >= resumeAt_) {
      const PendingLine line = std::move(pending_.front());
      pending_.pop_front();
      Play(line);
    }
  }

  void Play(const PendingLine& line) {
    const std::string_view word = ConsoleWord(line.text);
    if (word == "quit") {
      quit_ = true;
      return;
    }
    if (word == "help") {
      note_(HelpText());
      return;
    }
    try {
      const auto parsed = ParseScenarioLine(line.text);
      if (!parsed) return;
      if (parsed->command == "wait") {
        // Time passes by itself here: a wait holds back the lines after it until the game has had that
        // many timer calls, so they run at the same game second as they would in `run`.
        resumeAt_ = Elapsed() + ParseWaitSeconds(parsed->args.at(0));
        return;
      }
      session_.Execute(*parsed, line.dir);
    } catch (const std::exception& error) {
      note_(line.place + ": " + error.what());
    }
  }

  const ServeOptions& options_;
  Session& session_;
  Note note_;
  // Declared before everything that runs on it, so it goes last.
  asio::io_context io_;
  asio::signal_set signals_{io_, SIGINT, SIGTERM};
  asio::posix::stream_descriptor input_{io_};
  std::string inputBuffer_;
  int inputLine_ = 0;
  bool inputEnded_ = false;
  std::error_code ignoredError_;
  std::deque<PendingLine> pending_;
  std::int64_t resumeAt_ = 0;  // game second before which no further line plays
  bool quit_ = false;
  GameRcon dispatch_;  // outlives the server, which reports closed connections to it
  std::unique_ptr<sim::rcon::RconServer> rcon_;
};

// Every line of the script is checked before anything runs, as `run` does.
std::vector<PendingLine> ReadScript(const std::string& path) {
  const ScenarioSource source = ReadScenarioFile(path);
  std::vector<PendingLine> lines;
  ForEachLine(source, [&](const std::string& text, int number) {
    if (ConsoleWord(text).empty()) ParseScenarioLine(text);
    lines.push_back({source.name + ":" + std::to_string(number), source.dir, text});
  });
  return lines;
}

}  // namespace

int Serve(const ServeOptions& options) {
  if (options.rconPort && options.rconPassword.empty()) {
    std::fprintf(stderr, "serve: the remote console needs a password: give --rcon-password with --rcon-port\n");
    return 2;
  }
  if (options.rconPort && (*options.rconPort < 0 || *options.rconPort > 65535)) {
    std::fprintf(stderr, "serve: --rcon-port must be 0 to 65535\n");
    return 2;
  }
  if (!options.console && !options.rconPort) {
    std::fprintf(stderr,
                 "serve: --no-console needs --rcon-port: with neither a console nor a remote console "
                 "nothing could reach the server\n");
    return 2;
  }
  std::vector<PendingLine> script;
  try {
    std::error_code error;
    if (!std::filesystem::is_directory(options.session.serverDir, error)) {
      throw ScenarioError("no server directory " + options.session.serverDir.string());
    }
    if (!options.script.empty()) script = ReadScript(options.script);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 2;
  }

  // A reader that goes away ends its own output, never the server.
  std::signal(SIGPIPE, SIG_IGN);
  std::fflush(nullptr);
  QueuedOutput notes({STDERR_FILENO,
                      NoteQueueLines,
                      [](std::uint64_t count, std::int64_t /*t*/) {
                        return "serve: " + std::to_string(count) + " notes dropped: standard error is not read";
                      },
                      {},
                      {}});
  const Note note = [&notes](const std::string& text) { notes.Push(text); };
  const bool json = options.json;
  const bool colour = options.colour;
  QueuedOutput events({STDOUT_FILENO, EventQueueLines,
                       [json, colour](std::uint64_t count, std::int64_t t) {
                         const nlohmann::json dropped{{"event", "dropped"}, {"t", t}, {"count", count}};
                         return json ? JsonLine(dropped) : ReadableLine(dropped, colour);
                       },
                       [&note](std::uint64_t count) {
                         note("serve: the output's reader fell behind: " + std::to_string(count) + " events dropped");
                       },
                       [&note] { note("serve: standard output is closed; events are no longer written"); }});

  Session session(options.session);
  // A live server: the plug-in reads the real clock, and events go out as they happen, never piling up.
  SetSystemClockSource(RealTicks);
  SetRecording(false);
  SetEventListener([&events, json, colour](const nlohmann::json& event) {
    const auto t = event.find("t");
    events.Push(json ? JsonLine(event) : ReadableLine(event, colour),
                t != event.end() && t->is_number_integer() ? t->get<std::int64_t>() : 0);
  });
  int status = 2;
  try {
    RealTimeLoop live(options, session, note);
    session.Load();
    if (options.rconPort) live.StartRcon();
    for (PendingLine& line : script) live.Queue(std::move(line));
    live.Run();
    if (session.Loaded()) session.Unload();
    live.StopRcon();
    note("serve: stopped; the plug-in is unloaded");
    status = Session::ExitStatus();
  } catch (const std::exception& error) {
    note(std::string("serve: ") + error.what());
    if (session.Loaded()) session.Unload();
  }
  SetEventListener({});
  SetSystemClockSource({});
  events.Finish(OutputGrace);
  notes.Finish(OutputGrace);
  return status;
}

}  // namespace sim
