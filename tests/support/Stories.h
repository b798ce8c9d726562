// Owns the story files: a server's config.json, the scenario lines played on it through the real plug-in,
// and the lines of the kinds a story is about that the run showed, written down beside each other in
// tests/stories/.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Support.h"

namespace heraldix::test {

// Every .story file under tests/stories, as paths relative to it ("events/each-kind-of-greeting.story").
std::vector<std::string> StoryFiles();

// Plays every story of one file on a server of its own and checks that each ran without a fault and showed
// exactly its "-- seen" lines of the kinds it shows. A story file reads:
//
//   # comments, before anything else
//   -- shows server delay           the kinds of line the file is about (required, here or in each story)
//   -- zone Europe/Berlin           (optional: the server's time zone; UTC otherwise)
//   -- config.json                  (optional: every story's config.json; no config.json without one)
//   {"Heraldix": {...}}
//   -- scenario                     (optional: lines every story plays before its own)
//   join 1 Alice
//   == what the story shows
//   -- config.json                  (optional: this story's own, in place of the file's)
//   {"Heraldix": {...}}
//   -- scenario
//   wait 10
//   -- seen
//   5 1: server [44 255 12] Hi Alice
//
// A story may also give its own "-- shows" or "-- zone". Each seen line is the simulated second, then the
// event in the form of its kind, control characters and backslashes escaped as in C, the server
// directory's path as "<server-dir>":
//
//   server        ID: server [R G B] (bold) TEXT          a server message
//   chat          ID: chat SENDER: TEXT                    a chat message the plug-in sent, markup included
//   notification  ID: notification [R G B] scale S time T (icon PATH) TEXT
//   rcon          rcon id N type T: TEXT                   an RCON response
//   answer        answer: TEXT                             an administrator's answer (see "admin" below)
//   say           say from ID mode M: TEXT                 a line a player was made to say
//   echo          echo SENDER: TEXT                        a said line the game passed on to the players
//   refused       refused from ID Ns after the last: TEXT  a said line the game dropped as too soon
//   ask           ask ID in GROUP: yes|no                  a question to the permission service
//   log           log LEVEL: TEXT                          one of Heraldix's own log records
//   load          load PATH                                a texture asked for
//   register      +NAME / -NAME                            a chat command registered / unregistered
//   delay         delay S                                  a call put off by S seconds
//
// Colours read as the bytes configured, alpha added when it is not 255 ([0 0 255 128]); a channel no byte
// turns into reads "linear=X". A story with scenario lines "admin LINE" is played twice, once with LINE
// typed on the console by player 1 and once over RCON, and must show the same on both: the answers (the
// green or red server messages to player 1, the RCON responses) read "answer: TEXT". A story that expects
// nothing fails: beside the case that sends nothing it plays the case that does, so a missing feature fails.
// Seen lines are compared byte for byte, trailing spaces included (an empty texture path is "load ").
void TellStories(const std::filesystem::path& file);

}  // namespace heraldix::test
