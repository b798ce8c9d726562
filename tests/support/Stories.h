// Owns the story files: a server's config.json, the scenario lines played on it through the real plug-in,
// and every line the run showed, written down beside each other in tests/stories/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/Support.h"

namespace heraldix::test {

// What a run showed, one line per event as a story's "-- seen" section writes it: the simulated second, then
// the event in one of the forms Stories.cpp lists (messages, answers as sent, said lines, group questions,
// texture loads, chat-command registrations, delays, Heraldix's log), control characters and backslashes
// escaped as in C. The server directory's path, where a line holds it, reads "<server-dir>".
std::vector<std::string> SeenLines(const Run& run, const std::string& serverDir = "");

// Plays every story in tests/stories/NAME.story on a server of its own and checks that each ran without a
// fault and showed exactly its "-- seen" lines. A story file reads:
//
//   # comments, before the first story
//   == what the story shows
//   -- zone Europe/Berlin        (optional: the server's time zone; UTC otherwise)
//   -- config.json               (optional: no config.json without it)
//   {"Heraldix": {...}}
//   -- scenario
//   join 1 Alice
//   wait 10
//   -- seen
//   5 1: server [0 0 0 1] Hi Alice
//
// Seen lines are compared byte for byte, trailing spaces included (an empty texture path is "load ").
void TellStories(std::string_view name);

}  // namespace heraldix::test
