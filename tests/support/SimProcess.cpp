#include "tests/support/SimProcess.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

namespace heraldix::test {
namespace {

void Close(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
  int toChild[2];
  int fromOut[2];
  int fromErr[2];
  if (::pipe(toChild) != 0 || ::pipe(fromOut) != 0 || ::pipe(fromErr) != 0) throw std::runtime_error("pipe");
  pid_ = ::fork();
  if (pid_ == 0) {
    // Whatever the test runner ignores, the server starts with the default: death by SIGPIPE.
    ::signal(SIGPIPE, SIG_DFL);
    ::dup2(toChild[0], STDIN_FILENO);
    ::dup2(fromOut[1], STDOUT_FILENO);
    ::dup2(fromErr[1], STDERR_FILENO);
    for (int fd : {toChild[0], toChild[1], fromOut[0], fromOut[1], fromErr[0], fromErr[1]}) ::close(fd);
    std::string program = HERALDIX_SIM_EXECUTABLE;
    std::vector<std::string> copies = args;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(toChild[0]);
  ::close(fromOut[1]);
  ::close(fromErr[1]);
  input_ = toChild[1];
  output_ = fromOut[0];
  errors_ = fromErr[0];
}

SimProcess::~SimProcess() {
  if (pid_ > 0 && status_ < 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  for (int* fd : {&input_, &output_, &errors_}) Close(*fd);
}

void SimProcess::Write(const std::string& text) {
  ASSERT_EQ(::write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void SimProcess::CloseInput() { Close(input_); }
void SimProcess::CloseOutput() { Close(output_); }
void SimProcess::CloseErrors() { Close(errors_); }
void SimProcess::Signal(int signal) { ::kill(pid_, signal); }

void SimProcess::Reap(int raw) { status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

bool SimProcess::Running() {
  if (status_ >= 0) return false;
  int raw = 0;
  if (::waitpid(pid_, &raw, WNOHANG) == 0) return true;
  Reap(raw);
  return false;
}

int SimProcess::Wait() {
  ReadUntil([] { return false; });
  if (status_ >= 0) return status_;
  int raw = 0;
  ::waitpid(pid_, &raw, 0);
  Reap(raw);
  return status_;
}

std::vector<nlohmann::json> SimProcess::Events(std::string_view kind) const {
  std::vector<nlohmann::json> events;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    auto event = nlohmann::json::parse(line, nullptr, false);
    if (!event.is_discarded() && event.value("event", "") == kind) events.push_back(event);
  }
  return events;
}

int SimProcess::RconPort() {
  const std::string marker = "rcon listening on 127.0.0.1:";
  const auto said = [&] {
    const auto at = err.find(marker);
    return at != std::string::npos && err.find('\n', at) != std::string::npos;
  };
  return ReadUntil(said) ? std::stoi(err.substr(err.find(marker) + marker.size())) : -1;
}

// Waits with poll() in bounded rounds: a process that never says what the test waits for fails the test
// instead of hanging it.
bool SimProcess::ReadUntil(const std::function<bool()>& done) {
  for (int round = 0; round < 600; ++round) {
    if (done()) return true;
    pollfd fds[2] = {{output_, POLLIN, 0}, {errors_, POLLIN, 0}};
    if (::poll(fds, 2, 100) < 0) return false;
    bool open = false;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0) continue;
      open = true;
      if ((fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
      char buffer[4096];
      const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(got));
      } else {
        Close(i == 0 ? output_ : errors_);
      }
    }
    if (!open) return done();
  }
  return done();
}

SimResult RunSim(const std::vector<std::string>& args) {
  SimProcess process(args);
  process.CloseInput();
  const int status = process.Wait();
  return {status, process.out, process.err};
}

}  // namespace heraldix::test
