// Owns heraldix-sim run as a process, the way an admin or a service manager runs it: pipes on its three
// standard streams, reads bounded in time, its exit status.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace heraldix::test {

class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args);
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;
  ~SimProcess();  // kills the process if it still runs

  void Write(const std::string& text);
  void CloseInput();
  void Signal(int signal);
  // The reader of standard output or standard error goes away, as `| head -5` does.
  void CloseOutput();
  void CloseErrors();
  // True while the process has not ended.
  bool Running();

  // Reads both outputs (those still open) until `done` holds or both are closed.
  bool ReadUntil(const std::function<bool()>& done);
  // Reads everything to the end, then answers the exit status (128 + signal when killed by one).
  int Wait();

  // The events of one kind among the JSON lines written so far.
  [[nodiscard]] std::vector<nlohmann::json> Events(std::string_view kind) const;
  // The port the server says it listens on for the remote console; -1 when it never says.
  int RconPort();

  std::string out;
  std::string err;

 private:
  void Reap(int raw);

  pid_t pid_ = -1;
  int status_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
};

// heraldix-sim run to its end with no input.
struct SimResult {
  int status = -1;
  std::string out;
  std::string err;
};
SimResult RunSim(const std::vector<std::string>& args);

}  // namespace heraldix::test
