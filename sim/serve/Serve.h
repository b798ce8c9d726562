// Owns `serve`: the simulated server in real time, fed by a script and standard input, with RCON.
#pragma once

#include <optional>
#include <string>

#include "sim/runner/Session.h"

namespace sim {

struct ServeOptions {
  SessionOptions session;  // its server directory is used in place: `hx.reload` reads its config.json
  bool json = false;
  bool colour = false;
  std::optional<int> rconPort;  // no value: no remote console; 0: the system picks the port
  std::string rconPassword;
  std::string script;   // played before standard input; empty: none
  bool console = true;  // false: standard input is not read; only a signal ends the server
};

// Loads the plug-in, plays the script, then standard input, one game-timer call a second, until a `quit`
// line, the end of input, SIGINT or SIGTERM; unloads the plug-in. Without a console it reads no input
// and runs until a signal (it then needs the remote console). Answers the exit status: 0 when no fault
// was seen, 1 when one was, 2 when serving could not start (bad options, a bad script line, a port that
// cannot be had). A line from standard input that fails is reported and the server goes on. Events and
// notes leave through queues of their own: a reader that stalls or goes away never holds up or ends
// the game.
int Serve(const ServeOptions& options);

}  // namespace sim
