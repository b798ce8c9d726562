// How the custom-command table is built from "CustomCommands", and what players can then reach.
#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigValues.h"
#include "grammar/Keys.h"
#include "sim/check/ColourChecks.h"
#include "sim/check/Keys.h"
#include "sim/check/Rules.h"
#include "sim/check/TextChecks.h"
#include "sim/check/TypeChecks.h"
#include "sim/check/Wording.h"
#include "sim/host/Ascii.h"

namespace sim::check {

namespace Command = grammar::Command;

namespace {

// The table's key: each byte above 127 becomes "?", and A-Z compare as a-z.
std::string TableKey(std::string_view name) {
  std::string key;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 127) {
      key += '?';
    } else {
      key += sim::LowerAscii(c);
    }
  }
  return key;
}

std::string Registered(std::string_view name) { return ByteByByte(name); }

void CheckName(Context& context, const Place& place, const std::string& name) {
  if (name.empty()) {
    context.KeyWarning("unreachable-command", place.pointer,
                       "a command with an empty name is registered but no chat line ever reaches it");
    return;
  }
  const std::size_t space = name.find(' ');
  if (space != std::string::npos) {
    const std::size_t first = name.find_first_not_of(' ');
    const std::string word =
        first == std::string::npos ? std::string() : name.substr(first, name.find(' ', first) - first);
    context.KeyWarning("unreachable-command", place.pointer,
                       "the name holds a space, but only the first word of a chat line is looked up" +
                           (word.empty() ? std::string() : " (" + Quoted(word) + ")") +
                           ", so this command is registered and never found");
  }
  if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
    context.KeyWarning("unreachable-command", place.pointer,
                       "the name holds a control character that no player can type, so this command is registered "
                       "and never found");
  }
  if (Registered(name) != name) {
    context.KeyWarning("unreachable-command", place.pointer,
                       "non-ASCII letters in a command name become \"?\" per byte: it is registered as " +
                           Quoted(Registered(name)) + " and players typing " + Quoted(name) + " never reach it");
  }
}

// One member of "CustomCommands"; returns whether it makes a table entry.
bool CheckCommand(Context& context, const Place& place, const std::string& name, const json& command) {
  if (!ExpectObject(context, place, command)) return false;
  CheckDuplicateKeys(context, place, command);
  CheckUnknownKeys(context, place, command, keys::Command);

  // Registered when there is a reply: the text, or, given per language, some language's text.
  bool entry = false;
  std::vector<std::string> empty;  // the languages whose reply is written empty
  const json* message = FindMember(command, Command::Message);
  const auto reply = [&](const Place& at, const std::string& text) {
    const std::string read = CheckCutText(context, at, text, "the reply",
                                          message->is_string() ? ", so the command is never registered" : "");
    if (text.empty()) empty.push_back(at.pointer);
    if (read.empty()) return;
    entry = true;
    CheckDeliveredText(context, at, read);
  };
  const bool readable =
      message == nullptr || CheckTexts(context, place.Member(Command::Message), Command::Message, *message, reply);
  // Once some language has a reply, a language without one answers its players with an empty line.
  for (const std::string& pointer : empty) {
    if (entry) context.Warning("empty-text", pointer, "the players of this language get an empty reply");
  }
  if (!entry && readable &&
      (message == nullptr || message->is_object() || message->get_ref<const std::string&>().empty())) {
    context.KeyWarning("skipped-command", place.pointer,
                       "no " + Quoted(Command::Message.name) +
                           " (or an empty one): this command is skipped and not registered" +
                           (FindMember(command, Command::Command_To_Execute) != nullptr
                                ? ", its " + std::string(Command::Command_To_Execute.name) + " included"
                                : std::string()));
  }

  // A skipped member is read no further by the plug-in; its wrong types fail the table only once the
  // command gets a message.
  std::optional<Context::Unread> skipped;
  if (!entry) {
    skipped.emplace(context,
                    "read only once this command has a " + Quoted(Command::Message.name) + " (it is skipped now)");
  }
  const json* colour = FindMember(command, Command::MessageColor);
  if (colour != nullptr || entry) CheckColourArray(context, place, colour);
  if (const json* groups = FindMember(command, Command::RequiredPermissionGroups)) {
    ExpectKey(context, place.Member(Command::RequiredPermissionGroups), Command::RequiredPermissionGroups, *groups);
  }
  const json* time = FindMember(command, Command::DisplayTime);
  const json* scale = FindMember(command, Command::DisplayScale);
  const bool timeReadable =
      time == nullptr || ExpectKey(context, place.Member(Command::DisplayTime), Command::DisplayTime, *time);
  const bool scaleReadable =
      scale == nullptr || ExpectKey(context, place.Member(Command::DisplayScale), Command::DisplayScale, *scale);

  std::string type(Command::Type.text);
  if (const json* value = FindMember(command, Command::Type)) {
    const Place at = place.Member(Command::Type);
    if (ExpectKey(context, at, Command::Type, *value) && entry) {
      type = value->get<std::string>();
      CheckWord(context, at, type, Command::Type,
                "no reply is sent (a " + std::string(Command::Command_To_Execute.name) + " still runs)",
                "no-reply-type");
    }
  }
  if (entry && type == grammar::Kind::Notification) {
    const Place where = time != nullptr ? place.Member(Command::DisplayTime) : place;
    if (timeReadable) CheckDisplayNumber(context, where, time, Command::DisplayTime, true);
    const Place whereScale = scale != nullptr ? place.Member(Command::DisplayScale) : place;
    if (scaleReadable) CheckDisplayNumber(context, whereScale, scale, Command::DisplayScale, true);
  }
  if (const json* sender = FindMember(command, Command::Sender)) {
    const Place at = place.Member(Command::Sender);
    if (ExpectKey(context, at, Command::Sender, *sender) && entry &&
        (type == grammar::Kind::Chat || type == grammar::Kind::Client)) {
      CheckCutText(context, at, sender->get<std::string>(), "the sender name");
    }
  }
  if (const json* icon = FindMember(command, Command::Icon_BP)) {
    ExpectKey(context, place.Member(Command::Icon_BP), Command::Icon_BP, *icon, "an icon path");
  }
  if (const json* follow = FindMember(command, Command::Command_To_Execute)) {
    ExpectKey(context, place.Member(Command::Command_To_Execute), Command::Command_To_Execute, *follow,
              "the follow-up chat line");
  }
  if (entry) CheckName(context, place, name);
  return entry;
}

// A follow-up line that runs a command whose follow-up runs another, and so on: the plug-in follows only
// so many in a row, so a longer chain, or one that comes back round, loses its last lines.
void CheckFollowUpChains(Context& context, const Place& place, const std::map<std::string, const json*>& table,
                         const std::vector<std::pair<std::string, const json*>>& entries) {
  const auto followUp = [](const json& command) {
    const auto found = command.find(Command::Command_To_Execute.name);
    return found != command.end() && found->is_string() ? Registered(found->get<std::string>()) : std::string();
  };
  for (const auto& [name, command] : entries) {
    std::vector<std::string> chain{name};
    std::vector<const json*> seen{command};
    const json* at = command;
    std::size_t lines = 0;
    bool loops = false;
    while (lines <= static_cast<std::size_t>(grammar::MaxFollowUpDepth)) {
      const std::string line = followUp(*at);
      if (line.empty()) break;
      ++lines;
      const auto next = table.find(TableKey(sim::FirstWord(line)));
      if (next == table.end()) break;
      chain.emplace_back(sim::FirstWord(line));
      if (std::find(seen.begin(), seen.end(), next->second) != seen.end()) {
        loops = true;
        break;
      }
      seen.push_back(next->second);
      at = next->second;
    }
    if (!loops && lines <= static_cast<std::size_t>(grammar::MaxFollowUpDepth)) continue;
    std::string path;
    for (const std::string& step : chain) path += (path.empty() ? "" : " > ") + step;
    context.Error("follow-up-depth", place.Member(name).Member(Command::Command_To_Execute).pointer,
                  (loops ? "the follow-up lines come back round (" + path + ") without end"
                         : "the follow-up lines run on (" + path + " > ...) past " +
                               std::to_string(grammar::MaxFollowUpDepth) + " in a row") +
                      ": the plug-in sends " + std::to_string(grammar::MaxFollowUpDepth) +
                      " follow-up lines in a row and drops the rest");
  }
}

}  // namespace

void CheckCustomCommands(Context& context, const Place& where, const json& section) {
  const Place place{where.pointer,
                    "the custom-command table cannot be built, so no custom command works (at a reload the "
                    "previous ones stay)"};
  // Walking the section asks each element for its member name: null and an empty array hold nothing.
  if (section.is_null() || (section.is_array() && section.empty())) return;
  if (section.is_array()) {
    context.Error("type", place.pointer,
                  "must be an object of commands, but is an array with elements: " + place.consequence);
    return;
  }
  if (!ExpectObject(context, place, section)) return;
  CheckDuplicateKeys(context, place, section);

  // The library visits members in byte order; a later case twin replaces the earlier one's record and
  // keeps the earlier one's name.
  std::map<std::string, std::vector<std::string>> twins;
  std::map<std::string, const json*> table;
  std::vector<std::pair<std::string, const json*>> entries;
  for (const auto& [name, command] : section.items()) {
    const Place at{place.Member(name).pointer, place.consequence};
    if (!CheckCommand(context, at, name, command)) continue;
    twins[TableKey(name)].push_back(name);
    table[TableKey(name)] = &command;
    entries.emplace_back(name, &command);
  }
  CheckFollowUpChains(context, place, table, entries);
  for (const auto& [key, names] : twins) {
    if (names.size() < 2) continue;
    const std::string& winner = names.back();
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
      context.KeyWarning("case-twin", place.Member(names[i]).pointer,
                         Quoted(names[i]) + " and " + Quoted(winner) +
                             " are one command (letter case is ignored): the reply of " + Quoted(winner) +
                             " answers, under the name " + Quoted(names.front()) + ", and this one is never used");
    }
  }
}

}  // namespace sim::check
