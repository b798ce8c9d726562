// Owns the checks every test file shares: a run, a server or a game that faulted nothing and left
// nothing behind, and the texts of recorded events.
#pragma once

#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Support.h"

namespace heraldix::test {

using Strings = std::vector<std::string>;

// Every run must end as a live server would want it: nothing escaped, leaked or freed twice.
inline void ExpectNoFaults(const Run& run) {
  EXPECT_EQ(run.exitStatus, 0) << run.error;
  for (const nlohmann::json& fault : run.Faults()) ADD_FAILURE() << "fault: " << fault.dump();
}

inline void ExpectNoFaults(const LiveServer& server) {
  for (const std::string& fault : server.faults) ADD_FAILURE() << "fault: " << fault;
}

// Code under test on the live game gives back every block it took and faults nothing.
inline void ExpectNoFaults(const LiveGame& game) {
  EXPECT_EQ(game.PluginBlocks(), 0) << "blocks left on the game allocator";
  for (const nlohmann::json& fault : game.Of("fault")) ADD_FAILURE() << "fault: " << fault.dump();
}

// One member of each event, as text ("text" by default).
inline Strings Texts(const std::vector<nlohmann::json>& events, const std::string& member = "text") {
  Strings texts;
  for (const nlohmann::json& event : events) {
    const nlohmann::json& value = event.at(member);
    texts.push_back(value.is_string() ? value.get<std::string>() : value.dump());
  }
  return texts;
}

// A text in the chat markup the plug-in writes, for one line without a line end.
inline std::string Rich(std::string_view colour, std::string_view text) {
  return "<RichColor Color=\"" + std::string(colour) + "\">" + std::string(text) + "</>";
}

// A colour as received, to three significant digits: "[1 0 0.216 1]".
inline std::string Colour(const nlohmann::json& colour) {
  std::ostringstream out;
  out << std::setprecision(3) << '[';
  for (std::size_t i = 0; i < colour.size(); ++i) out << (i == 0 ? "" : " ") << colour[i].get<double>();
  return out.str() + ']';
}

// What one player was shown, in order, one line each:
//   server [r g b a] (bold) TEXT  /  chat SENDER: TEXT  /  notification [r g b a] scale S time T (icon PATH) TEXT
inline Strings Feed(const std::vector<nlohmann::json>& events, std::string_view playerId) {
  Strings feed;
  for (const nlohmann::json& event : events) {
    const auto to = event.find("to");
    if (to == event.end() || *to != playerId) continue;
    const std::string kind = event.at("event").get<std::string>();
    const std::string text = event.at("text").get<std::string>();
    std::ostringstream line;
    line << kind << ' ';
    if (kind == "chat") {
      line << event.at("sender").get<std::string>() << ": ";
    } else if (kind == "server") {
      line << Colour(event.at("color")) << (event.at("bold").get<bool>() ? " bold " : " ");
    } else if (kind == "notification") {
      line << Colour(event.at("color")) << " scale " << event.at("scale").get<double>() << " time "
           << event.at("time").get<double>() << ' ';
      if (!event.at("icon").is_null()) line << "icon " << event.at("icon").get<std::string>() << ' ';
    }
    feed.push_back(line.str() + text);
  }
  return feed;
}

inline Strings Feed(const Run& run, std::string_view playerId) { return Feed(run.events, playerId); }

// What a line of a run's outcome shows besides messages, answers, said lines, texture loads and Heraldix's log.
struct SeenDetail {
  bool chatCommands = false;   // "+NAME" / "-NAME": a chat command registered / unregistered
  bool delays = false;         // "delay S": a call put off by S seconds
  bool answersAsSent = false;  // answers as the messages they are: to whom and in which colour, or with their RCON id
};

// One event as a line of what a run showed; nothing for an event no player, administrator or admin reads:
//   ID: <a line as Feed writes it>        a message to a player
//   answer TEXT                           an RCON response, or a server message answering an administrator
//   rcon id N type T: TEXT                an RCON response, with answersAsSent
//   say from ID mode M: TEXT              a line a player was made to say
//   load PATH                             a texture asked for
//   log LEVEL: TEXT                       one of Heraldix's own log records
inline std::optional<std::string> SeenItem(const nlohmann::json& event, SeenDetail detail = {}) {
  const std::string kind = event.at("event");
  const auto text = [&event] { return event.at("text").get<std::string>(); };
  const auto call = [&event](std::string_view name) { return event.value("call", "") == name; };
  const auto argument = [&event] { return event.at("args").at(0); };
  if (kind == "rcon" && detail.answersAsSent) {
    return "rcon id " + event.at("id").dump() + " type " + event.at("type").dump() + ": " + text();
  }
  const bool answer = kind == "server" && (text().starts_with("Heraldix: ") || text().starts_with("HX: "));
  if (kind == "rcon" || (answer && !detail.answersAsSent)) return "answer " + text();
  if (kind == "server" || kind == "chat" || kind == "notification") {
    const std::string to = event.at("to");
    return to + ": " + Feed(std::vector<nlohmann::json>{event}, to).at(0);
  }
  if (kind == "say") {
    return "say from " + event.at("from").get<std::string>() + " mode " + event.at("mode").dump() + ": " + text();
  }
  if (kind == "log" && event.at("logger") == "Heraldix") {
    return "log " + event.at("level").get<std::string>() + ": " + text();
  }
  if (call("StaticLoadObject")) return "load " + argument().get<std::string>();
  if (detail.chatCommands && call("RegisterChatCommand")) return "+" + argument().get<std::string>();
  if (detail.chatCommands && call("UnregisterChatCommand")) return "-" + argument().get<std::string>();
  if (detail.delays && call("DelayExecute")) return "delay " + argument().dump();
  return std::nullopt;
}

// Everything a run showed, in order, joined by " | " so that a table row states a whole outcome as one value
// (items as SeenItem writes them; no unregistrations, no delays).
inline std::string Seen(const Run& run, bool chatCommands = false) {
  std::string seen;
  for (const nlohmann::json& event : run.events) {
    if (event.value("call", "") == "UnregisterChatCommand") continue;
    if (const auto item = SeenItem(event, {.chatCommands = chatCommands})) seen += (seen.empty() ? "" : " | ") + *item;
  }
  return seen;
}

}  // namespace heraldix::test
