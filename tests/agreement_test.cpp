// The key table against its other readers: the schema editors use, and the checker against the plug-in.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/Keys.h"
#include "config/PositionIndex.h"
#include "host/Platform.h"
#include "sim/check/Checker.h"
#include "sim/host/Clock.h"
#include "sim/host/Events.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"

namespace {

using ConfigKeys::Key;
using ConfigKeys::Section;
using ConfigKeys::Type;
using nlohmann::json;

// Every JSON type a schema node admits, through references, allOf, anyOf and oneOf.
std::set<std::string> TypesOf(const json& schema, const json& node) {
  const json& resolved =
      node.contains("$ref") ? schema.at(json::json_pointer(node["$ref"].get<std::string>().substr(1))) : node;
  std::set<std::string> types;
  const json type = resolved.value("type", json::array());
  if (type.is_string()) types.insert(type.get<std::string>());
  for (const json& each : type.is_array() ? type : json::array()) types.insert(each.get<std::string>());
  for (const char* combinator : {"allOf", "anyOf", "oneOf"}) {
    for (const json& part : resolved.value(combinator, json::array())) types.merge(TypesOf(schema, part));
  }
  return types;
}

// What the schema admits for each type of key, and a value of the type that the plug-in reads.
struct TypeFacts {
  std::set<std::string> schema;
  json sample;
};
const std::map<Type, TypeFacts> Types = {
    {Type::Section, {{"object"}, json::object()}},
    {Type::Colour, {{"object"}, {{"R", 10}, {"G", 20}, {"B", 30}}}},
    {Type::Boolean, {{"boolean"}, true}},
    {Type::Integer, {{"number"}, 3}},
    {Type::Number, {{"number"}, 2.5}},
    {Type::Utf8Text, {{"string"}, "Hello"}},
    {Type::ByteText, {{"string"}, "Hello"}},
    {Type::KindText, {{"string"}, "Hello"}},
    {Type::Choice, {{"string"}, "Sequential"}},
    {Type::GroupList, {{"array"}, json::array()}},
    {Type::ColourList, {{"array"}, {10, 20, 30}}},
    {Type::TimeList, {{"array"}, {"05:50", "05:55"}}},
    {Type::DayList, {{"array"}, {"Sat"}}},
    {Type::Commands, {{"object", "null", "array"}, json::object()}},
    {Type::Messages, {{"array", "null"}, json::array()}},
};

json DefaultOf(const Key& key) {
  const json& sample = Types.at(key.type).sample;
  if (sample.is_boolean()) return key.flag;
  if (sample.is_number()) return key.number;
  if (sample.is_string()) return std::string(key.text);
  return sample.is_object() ? json::object() : json::array();
}

// The schema object whose "properties" describe one section of the table.
const json& SchemaSection(const json& schema, Section section) {
  static const std::map<Section, std::string> pointers = {
      {Section::Top, ""},
      {Section::Heraldix, "/properties/Heraldix"},
      {Section::Welcome, "/properties/Heraldix/properties/WelcomeMessage"},
      {Section::Command, "/$defs/customCommand"},
      {Section::Timed, "/properties/TimedMessages"},
      {Section::TimedMessage, "/$defs/timedMessage"},
      {Section::Scheduled, "/properties/ScheduledMessages"},
      {Section::ScheduledMessage, "/$defs/scheduledMessage"},
      {Section::Colour, "/$defs/colour"},
  };
  return schema.at(json::json_pointer(pointers.at(section)));
}

TEST(Agreement, SchemaDescribesEveryKeyOfTheTableWithItsTypeAndDefault) {
  const json schema = json::parse(std::ifstream(std::filesystem::path(HERALDIX_EXAMPLE_SERVER_DIR) /
                                                "TarrowApi/Plugins/Heraldix/config.schema.json"));
  std::set<std::pair<Section, std::string>> tableKeys;
  for (const Key* key : ConfigKeys::All) {
    tableKeys.emplace(key->section, std::string(key->name));
    const json& properties = SchemaSection(schema, key->section)["properties"];
    ASSERT_TRUE(properties.contains(key->name)) << key->name << " is missing from the schema";
    const json& property = properties[std::string(key->name)];
    EXPECT_EQ(TypesOf(schema, property), Types.at(key->type).schema) << key->name;
    EXPECT_EQ(property.value("default", DefaultOf(*key)), DefaultOf(*key)) << key->name;
  }
  // And nothing the table does not hold, but the editor's own pointer to the schema.
  for (int each = 0; each <= static_cast<int>(Section::Colour); ++each) {
    const auto section = static_cast<Section>(each);
    for (const auto& [name, property] : SchemaSection(schema, section)["properties"].items()) {
      // A scheduled message takes every key of a timed message besides its own.
      const bool timedKey = section == Section::ScheduledMessage && tableKeys.contains({Section::TimedMessage, name});
      EXPECT_TRUE(tableKeys.contains({section, name}) || timedKey || (section == Section::Top && name == "$schema"))
          << name << " is in the schema but not in the key table";
    }
  }
}

// ---------------------------------------------------------------------------------------------------
// The checker against the plug-in: an error exactly where the plug-in fails or drops what the file says

using heraldix::test::LiveServer;
using heraldix::test::ServerDir;

// A text as the plug-in reads it byte by byte: each byte of a non-ASCII letter becomes "?".
std::string Widened(std::string text) {
  for (char& c : text) c = static_cast<unsigned char>(c) > 127 ? '?' : c;
  return text;
}

std::string Folded(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// The placeholders' values for one receiving player; empty while placeholders are off. No value holds a brace.
using Values = std::map<std::string, std::string>;

// text with each field named in values replaced by its value; "{{" and "}}" are no field's ends.
std::string Replaced(const std::string& text, const Values& values) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t close = text.find('}', i);
    const auto value =
        text[i] != '{' || close == std::string::npos ? values.end() : values.find(text.substr(i + 1, close - i - 1));
    if (value != values.end()) {
      out += value->second;
      i = close;
    } else {
      out += text[i];
      if ((text[i] == '{' || text[i] == '}') && i + 1 < text.size() && text[i + 1] == text[i]) out += text[++i];
    }
  }
  return out;
}

// A text formatted as delivery does: "{{" and "}}" become one brace; any other brace is a field that args fill
// or the text is rejected.
template <typename... Args>
std::optional<std::string> Formatted(const std::string& text, const Args&... args) {
  try {
    return fmt::format(fmt::runtime(text), args...);
  } catch (const fmt::format_error&) {
    return std::nullopt;
  }
}

// A text as delivery hands it to players: placeholders put in, then formatted.
std::optional<std::string> Delivered(const std::string& written, const Values& values = {}) {
  return Formatted(Replaced(written, values));
}

// Whether the plug-in reads value as a key of this type: booleans pass where numbers are read (as 1 and 0),
// a colour's unknown members are never read.
bool Readable(Type type, const json& value) {
  const auto number = [](const json& each) { return each.is_number() || each.is_boolean(); };
  const auto all = [&](auto test) { return value.is_array() && std::all_of(value.begin(), value.end(), test); };
  switch (type) {
    case Type::Colour:
      return value.is_object() && std::all_of(ConfigKeys::All.begin(), ConfigKeys::All.end(), [&](const Key* key) {
               return key->section != Section::Colour || !value.contains(key->name) ||
                      number(value[std::string(key->name)]);
             });
    case Type::Integer:
    case Type::Number:
      return number(value);
    case Type::TimeList:
    case Type::DayList:
    case Type::GroupList:
      return all([](const json& each) { return each.is_string(); });
    case Type::ColourList:
      return all(number);
    case Type::Commands:  // null and [] are read as no commands
      return value.is_object();
    default:
      return Types.at(type).schema.contains(value.type_name());
  }
}

// What the file says for key in object, as its writer meant it: the default when absent; nothing when the
// value is of a JSON type the plug-in does not read for that key, or object is no object.
std::optional<json> Meant(const std::optional<json>& object, const Key& key) {
  if (!object || !object->is_object()) return std::nullopt;
  const auto found = object->find(key.name);
  if (found == object->end()) return DefaultOf(key);
  if (key.type == Type::Commands && (found->is_null() || *found == json::array())) return json::object();
  if (key.type == Type::Messages && found->is_null()) return json::array();
  return Readable(key.type, *found) ? std::optional<json>(*found) : std::nullopt;
}

// The event a message kind makes; none for a kind that sends nothing.
std::optional<std::string> EventOf(const std::string& kind) {
  if (kind == "Chat" || kind == "Client") return "chat";
  if (kind == "Server" || kind == "Notification") return Folded(kind);
  return std::nullopt;
}

struct Delivery {
  std::string kind;  // "chat", "server" or "notification"
  std::string text;
  std::optional<std::string> sender;
};

// Whether one of the events shows this delivery to this player: its kind, its sender, and every line of its
// text (chat lines wrap each line in markup).
bool Reached(const std::vector<json>& events, std::uint64_t player, const Delivery& expected) {
  return std::any_of(events.begin(), events.end(), [&](const json& event) {
    if (event.value("to", "") != std::to_string(player) || event.value("event", "") != expected.kind) return false;
    if (expected.sender && event.value("sender", "") != *expected.sender) return false;
    const std::string text = event.value("text", "");
    if (expected.kind != "chat") return text == expected.text;
    std::istringstream lines(expected.text);
    for (std::string line; std::getline(lines, line);) {
      if (text.find(line) == std::string::npos) return false;
    }
    return true;
  });
}

std::string RconReply(const std::vector<json>& events) {
  for (const json& event : events) {
    if (event.value("event", "") == "rcon" && event.value("type", -1) == 0) return event.value("text", "");
  }
  return "";
}

// A road of the plug-in that failed or lost what the file says, and the places in the file it reads.
struct Failure {
  std::string road;
  std::vector<std::string> places;
};

struct Player {
  std::uint64_t id;
  const char* name;
  const char* group;
};
constexpr Player Alice{1, "Alice", "Admin"};
constexpr Player Bob{2, "Bob", "VIP"};
constexpr Player Carol{3, "Carol", nullptr};

bool InGroups(const Player& player, const std::vector<std::string>& groups) {
  return groups.empty() || std::any_of(groups.begin(), groups.end(), [&](const std::string& group) {
           return Folded(group) == "default" || (player.group != nullptr && group == player.group);
         });
}

// Who may run a command for these groups: Alice when she may, else Bob; nobody when neither may.
const Player* AllowedPlayer(const std::vector<std::string>& groups) {
  if (InGroups(Alice, groups)) return &Alice;
  return InGroups(Bob, groups) ? &Bob : nullptr;
}

std::vector<std::string> GroupsOf(const json& list) {
  std::vector<std::string> groups;
  for (const json& group : list) groups.push_back(Widened(group.get<std::string>()));
  return groups;
}

// Drives one configuration through every road on a live server and lists what failed.
class Probe {
 public:
  Probe(const std::string& text, std::optional<json> document) : dir_(text), document_(std::move(document)) {}

  std::vector<Failure> Run() {
    LiveServer server(dir_);
    server_ = &server;
    // The session sets its own tracing; the plug-in is loaded again with the host's calls traced.
    sim::SetTracing(true);
    server.Unload();
    server.Take();
    server.Load();
    const std::vector<json> load = server.Take();
    if (Traced(load, "RegisterConsoleCommand") == 0) return {{"load", {""}}};
    const std::size_t registered = Traced(load, "RegisterChatCommand");
    placeholders_ = Meant(Meant(document_, ConfigKeys::Top::Heraldix), ConfigKeys::Heraldix::Placeholders) == true;

    for (const Player& player : {Alice, Bob, Carol}) {
      Line(fmt::format("join {} {}", player.id, player.name) +
           (player.group != nullptr ? " " + std::string(player.group) : ""));
    }
    online_ = 3;
    SendFallbacks();
    const std::optional<json> commands = Meant(document_, ConfigKeys::Top::CustomCommands);
    if (CommandsMeant(commands) && registered == 0) {
      Fail("the custom-command table", {"/CustomCommands"});
    } else if (commands) {
      TypeEachCommand(*commands);
    }
    if (RconReply(Line("rcon hx.reload")) != "Heraldix: Reloaded config") Fail("reload", {"/CustomCommands"});
    if (document_ && document_->is_object()) {
      TimedMessages();
      ScheduledMessages();
      Refusal();
      Welcome();
      PlaceholderSwitch();
    }
    heraldix::test::ExpectNoFaults(server);
    return std::move(failures_);
  }

 private:
  static std::size_t Traced(const std::vector<json>& events, std::string_view call) {
    return static_cast<std::size_t>(std::count_if(events.begin(), events.end(), [&](const json& event) {
      return event.value("event", "") == "trace" && event.value("call", "") == call;
    }));
  }

  std::vector<json> Line(const std::string& line) {
    server_->Line(line);
    return server_->Take();
  }

  void Fail(std::string road, std::vector<std::string> places) {
    failures_.push_back({std::move(road), std::move(places)});
  }

  // Installs a document made for one road and reloads it; the file's own values are copied into it.
  void Use(json variant) {
    // Placeholders reach every configured text, so each road keeps the file's switch.
    if (placeholders_ && !variant.contains("Heraldix")) variant["Heraldix"] = {{"Placeholders", true}};
    Line("config-text " + variant.dump(-1, ' ', true));
    ASSERT_EQ(RconReply(Line("rcon hx.reload")), "Heraldix: Reloaded config") << variant.dump();
  }

  void SendFallbacks() {
    const std::pair<const char*, std::vector<std::string>> sends[] = {
        {"server", {"/Heraldix/ServerMessageColor"}},
        {"chat", {"/Heraldix/ClientChatColour"}},
        {"notification",
         {"/Heraldix/NotificationColor", "/Heraldix/NotificationDisplayScale", "/Heraldix/NotificationDisplayTime"}},
    };
    for (const auto& [kind, places] : sends) {
      const std::string line = fmt::format("rcon hx.send{} 0 \"probe\"", kind);
      if (RconReply(Line(line)) == "Heraldix: Error trying to send the message") Fail(line, places);
    }
  }

  static std::string MessageOf(const json& command) {
    return Meant(command, ConfigKeys::Command::Message).value_or("").get<std::string>();
  }

  // Whether the file means to have custom commands: an unreadable table, or a command with a message.
  static bool CommandsMeant(const std::optional<json>& commands) {
    if (!commands) return true;
    const auto items = commands->items();
    return std::any_of(items.begin(), items.end(), [](const auto& item) {
      return !Meant(item.value(), ConfigKeys::Command::Message) || !MessageOf(item.value()).empty();
    });
  }

  // Follow-up lines a player sends by typing command: the chain through the table until a line names no
  // command or the player may not run it; 8 stands for "without end".
  static std::size_t ChainLength(const json& commands, const json& first, const Player& player) {
    std::size_t lines = 0;
    for (const json* command = &first; lines < 8; ++lines) {
      const std::string follow = Widened(command->value("Command_To_Execute", ""));
      if (follow.empty()) break;
      const std::size_t start = follow.find_first_not_of(' ');
      const std::string word = start == std::string::npos ? "" : follow.substr(start, follow.find(' ', start) - start);
      const json* next = nullptr;
      for (const auto& [name, value] : commands.items()) {
        if (Folded(Widened(name)) == Folded(word) && !value.value("Message", "").empty()) next = &value;
      }
      if (next == nullptr || !InGroups(player, GroupsOf(next->value("RequiredPermissionGroups", json::array())))) {
        return lines + 1;
      }
      command = next;
    }
    return lines;
  }

  // Each command that makes a table entry, typed by a player who may run it; names players cannot type, and
  // names twinned by letter case, are left out.
  void TypeEachCommand(const json& commands) {
    namespace Command = ConfigKeys::Command;
    std::map<std::string, int> twins;
    for (const auto& [name, command] : commands.items()) twins[Folded(Widened(name))] += !MessageOf(command).empty();
    for (const auto& [name, command] : commands.items()) {
      const std::string message = MessageOf(command);
      const bool typeable = !name.empty() && name.find(' ') == std::string::npos && Widened(name) == name;
      if (message.empty() || !typeable || twins[Folded(name)] > 1) continue;
      const Player* player = AllowedPlayer(GroupsOf(*Meant(command, Command::RequiredPermissionGroups)));
      if (player == nullptr) continue;
      const std::vector<json> events = Line(fmt::format("chat {} {}", player->id, name));
      const std::string place = "/CustomCommands/" + heraldix::config::PointerToken(name);

      const std::optional<std::string> kind = EventOf(Meant(command, Command::Type)->get<std::string>());
      const std::optional<std::string> text = Delivered(message, ValuesFor(player->name));
      const std::optional<std::string> sender =
          kind == "chat" ? Meant(command, Command::Sender)->get<std::string>() : std::optional<std::string>();
      if (kind && (!text || !Reached(events, player->id, {*kind, *text, sender}))) Fail("typing " + name, {place});

      const auto says =
          std::count_if(events.begin(), events.end(), [](const json& e) { return e.value("event", "") == "say"; });
      if (static_cast<std::size_t>(says) != ChainLength(commands, command, *player)) {
        Fail("the follow-up lines of " + name, {place});
      }
    }
  }

  // Each timed message alone in the list, as the plug-in sends it whenever it is drawn; then the section's
  // own switch and interval with a message that always goes out.
  void TimedMessages() {
    const auto section = document_->find("TimedMessages");
    if (section == document_->end()) return;
    const std::optional<json> timed = Meant(document_, ConfigKeys::Top::TimedMessages);
    const std::optional<json> messages = Meant(timed, ConfigKeys::Timed::Messages);
    if (timed && !messages) Fail("the timed-message list", {"/TimedMessages/Messages"});
    for (std::size_t i = 0; messages && i < messages->size(); ++i) {
      Use({{"TimedMessages", {{"Enabled", true}, {"Interval", 0}, {"Messages", json::array({(*messages)[i]})}}}});
      if (!TimedMessageArrives(Line("tick"), (*messages)[i])) {
        Fail("timed message " + std::to_string(i), {"/TimedMessages/Messages/" + std::to_string(i)});
      }
    }

    json variant = *section;
    if (variant.is_object()) variant["Messages"] = json::array({{{"MessageToSend", "probe"}}});
    Use({{"TimedMessages", variant}});
    const bool sent = Reached(Line("tick"), Carol.id, {"chat", "probe", "Heraldix"});
    const std::optional<json> enabled = Meant(timed, ConfigKeys::Timed::Enabled);
    if ((!enabled || *enabled == true) && (!sent || !Meant(timed, ConfigKeys::Timed::Interval))) {
      Fail("the timed-message switch", {"/TimedMessages/Enabled", "/TimedMessages/Interval", "/TimedMessages/Order",
                                        "/TimedMessages/Skip_Unreceivable"});
    }
  }

  // Seconds from the server's clock to the first of the message's times on one of its days; none when its
  // times or days cannot be read, or it has no time (then the plug-in never sends it, and says nothing).
  static std::optional<std::int64_t> DueIn(const json& message, bool& unreadable) {
    static const std::vector<std::string> week = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const std::optional<json> at = Meant(message, ConfigKeys::ScheduledMessage::At);
    const std::optional<json> days = Meant(message, ConfigKeys::ScheduledMessage::Days);
    unreadable = !at || !days;
    if (unreadable || at->empty()) return std::nullopt;
    int mask = days->empty() ? 0x7F : 0;
    for (const json& day : *days) {
      const auto found = std::find(week.begin(), week.end(), day.get<std::string>());
      unreadable = unreadable || found == week.end();
      if (found != week.end()) mask |= 1 << (found - week.begin());
    }
    std::vector<int> minutes;
    for (const json& time : *at) {
      const std::string text = time.get<std::string>();
      const bool valid = text.size() == 5 && text[2] == ':' && std::isdigit(text[0]) && std::isdigit(text[1]) &&
                         std::isdigit(text[3]) && std::isdigit(text[4]) && std::stoi(text.substr(0, 2)) < 24 &&
                         std::stoi(text.substr(3)) < 60;
      unreadable = unreadable || !valid;
      if (valid) minutes.push_back(std::stoi(text.substr(0, 2)) * 60 + std::stoi(text.substr(3)));
    }
    if (unreadable) return std::nullopt;
    const std::int64_t now = sim::SystemTicks() / Platform::TicksPerSecond;  // the tests' server keeps UTC
    for (std::int64_t day = now / 86400; day <= now / 86400 + 8; ++day) {
      const std::int64_t start = day * 86400 + minutes.front() * 60;
      if ((mask & (1 << ((day + 3) % 7))) != 0 && start > now) return start - now;
    }
    return std::nullopt;
  }

  // Each scheduled message alone in the list, at its first time; then the section's switch.
  void ScheduledMessages() {
    const auto section = document_->find("ScheduledMessages");
    if (section == document_->end()) return;
    const std::optional<json> scheduled = Meant(document_, ConfigKeys::Top::ScheduledMessages);
    const std::optional<json> messages = Meant(scheduled, ConfigKeys::Scheduled::Messages);
    if (scheduled && !messages) Fail("the scheduled-message list", {"/ScheduledMessages/Messages"});
    for (std::size_t i = 0; messages && i < messages->size(); ++i) {
      const std::string road = "scheduled message " + std::to_string(i);
      const json& message = (*messages)[i];
      bool unreadable = !message.is_object();
      const std::optional<std::int64_t> due = unreadable ? std::nullopt : DueIn(message, unreadable);
      if (unreadable) Fail(road, {"/ScheduledMessages/Messages/" + std::to_string(i)});
      if (!due) continue;
      Use({{"ScheduledMessages", {{"Enabled", true}, {"Messages", json::array({message})}}}});
      Line("clock +" + std::to_string(*due));
      if (!TimedMessageArrives(Line("tick"), message)) Fail(road, {"/ScheduledMessages/Messages/" + std::to_string(i)});
    }

    json variant = *section;
    const std::int64_t now = sim::SystemTicks() / Platform::TicksPerSecond;
    const std::int64_t next = (now / 60 + 1) * 60;
    const std::string minute = fmt::format("{:02}:{:02}", next % 86400 / 3600, next % 3600 / 60);
    if (variant.is_object()) variant["Messages"] = json::array({{{"MessageToSend", "probe"}, {"At", {minute}}}});
    Use({{"ScheduledMessages", variant}});
    Line("clock +" + std::to_string(next - now));
    const bool sent = Reached(Line("tick"), Carol.id, {"chat", "probe", "Heraldix"});
    const std::optional<json> enabled = Meant(scheduled, ConfigKeys::Scheduled::Enabled);
    if ((!enabled || *enabled == true) && !sent) Fail("the scheduled-message switch", {"/ScheduledMessages/Enabled"});
  }

  // A player count as the plug-in reads it: fractions cut toward zero and saturated, whole numbers cut to their
  // low 32 bits; none when it cannot be read, the bound's extreme when it is left out.
  static std::optional<std::int64_t> Count(const json& message, const Key& key, std::int64_t absent) {
    if (!message.contains(key.name)) return absent;
    const std::optional<json> value = Meant(message, key);
    if (!value) return std::nullopt;
    if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
    if (value->is_number_float()) {
      return static_cast<std::int64_t>(std::clamp(value->get<double>(), -2147483648.0, 2147483647.0));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value->get<std::uint64_t>()));
  }

  // Whether the message reached whom the file says: nobody while the players online are not within its counts.
  bool TimedMessageArrives(const std::vector<json>& events, const json& message) const {
    using namespace ConfigKeys::TimedMessage;
    const std::optional<std::int64_t> low = Count(message, Min_Players_Online, INT32_MIN);
    const std::optional<std::int64_t> high = Count(message, Max_Players_Online, INT32_MAX);
    if (!low || !high) return false;
    if (online_ < *low || online_ > *high) {
      return std::none_of(events.begin(), events.end(), [](const json& event) { return event.contains("to"); });
    }
    const std::optional<json> type = Meant(message, MessageType);
    const std::optional<json> text = Meant(message, MessageToSend);
    const std::optional<json> only = Meant(message, Only_Send_To_Permission_Groups);
    const std::optional<json> exclude = Meant(message, Exclude_Permissions_Groups);
    if (!type || !text || !only || !exclude || !Meant(message, MessageColour)) return false;
    const std::optional<std::string> kind = EventOf(type->get<std::string>());
    if (!kind) return true;
    if (!Delivered(text->get<std::string>(), ValuesFor(""))) return false;
    const std::optional<json> sender = Meant(message, Sender);
    if (kind == "chat" && !sender) return false;
    if (kind == "notification" &&
        (!Meant(message, DisplayScale) || !Meant(message, DisplayTime) || !Meant(message, Icon_BP))) {
      return false;
    }
    // Members of the listed groups receive it; without a list, everybody but the excluded groups' members.
    const std::vector<std::string> listed = GroupsOf(only->empty() ? *exclude : *only);
    for (const Player& player : {Alice, Bob, Carol}) {
      const bool member =
          player.group != nullptr && std::find(listed.begin(), listed.end(), player.group) != listed.end();
      const Delivery expected{*kind, *Delivered(text->get<std::string>(), ValuesFor(player.name)),
                              kind == "chat" ? sender->get<std::string>() : std::optional<std::string>()};
      if (Reached(events, player.id, expected) != (only->empty() ? !member : member)) return false;
    }
    return true;
  }

  // A player refused a command gets the refusal text from the configured sender.
  void Refusal() {
    json variant{{"CustomCommands", {{"/probe", {{"Message", "probe"}, {"RequiredPermissionGroups", {"Nobody"}}}}}}};
    for (const char* key : {"Heraldix", "NoPermission"}) {
      if (document_->contains(key)) variant[key] = (*document_)[key];
    }
    Use(variant);
    const std::vector<json> events = Line("chat 3 /probe");
    const std::optional<json> sender =
        Meant(Meant(document_, ConfigKeys::Top::Heraldix), ConfigKeys::Heraldix::ClientChatSenderName);
    const std::optional<json> text = Meant(document_, ConfigKeys::Top::NoPermission);
    const std::optional<std::string> delivered =
        text ? Delivered(text->get<std::string>(), ValuesFor(Carol.name)) : std::nullopt;
    if (!sender || !delivered ||
        !Reached(events, Carol.id, {"chat", *delivered, Widened(sender->get<std::string>())})) {
      Fail("the refusal", {"/NoPermission", "/Heraldix/ClientChatSenderName"});
    }
  }

  // The welcome as it would greet a player with greetings switched on, and the switch itself.
  void Welcome() {
    using namespace ConfigKeys::Welcome;
    const std::optional<json> heraldix = Meant(document_, ConfigKeys::Top::Heraldix);
    const std::optional<json> welcome = Meant(heraldix, ConfigKeys::Heraldix::WelcomeMessage);
    if (welcome && !Meant(welcome, EnableWelcomeMessage)) {
      Fail("the welcome switch", {"/Heraldix/WelcomeMessage/EnableWelcomeMessage"});
    }
    if (!document_->contains("Heraldix")) return;
    json variant{{"Heraldix", (*document_)["Heraldix"]}};
    if (welcome) variant["Heraldix"]["WelcomeMessage"]["EnableWelcomeMessage"] = true;
    Use(variant);
    Line("join 4 Dave");
    online_ = 4;
    const std::vector<json> events = Line("wait 6");

    // A kind the welcome does not know is sent as a chat line.
    const std::optional<json> type = Meant(welcome, WelcomeMessageType);
    const std::string kind = EventOf(type.value_or("").get<std::string>()).value_or("chat");
    const std::optional<json> message = Meant(welcome, Message);
    std::vector<std::string> places{"/Heraldix/WelcomeMessage"};
    if (type && message && Meant(welcome, WelcomeMessageColour) && kind == "chat") {
      places.push_back("/Heraldix/ClientChatSenderName");
    }
    // The template takes the name as its argument; delivery then reads the result as any other text.
    const std::optional<std::string> templated =
        message ? Formatted(Replaced(message->get<std::string>(), ValuesFor("Dave")), "Dave") : std::nullopt;
    const std::optional<std::string> text = templated ? Formatted(*templated) : std::nullopt;
    const std::optional<json> sender = Meant(heraldix, ConfigKeys::Heraldix::ClientChatSenderName);
    const bool readable =
        type && text && Meant(welcome, WelcomeMessageColour) && (kind != "chat" || sender) &&
        (kind != "notification" || (Meant(welcome, NotificationDisplayScale) &&
                                    Meant(welcome, NotificationDisplayTime) && Meant(welcome, Icon_BP)));
    const std::optional<std::string> from =
        kind == "chat" && sender ? Widened(sender->get<std::string>()) : std::optional<std::string>();
    if (!readable || !Reached(events, 4, {kind, *text, from})) Fail("the welcome", places);
  }

  // A switch written as anything but true or false leaves placeholders off.
  void PlaceholderSwitch() {
    const std::optional<json> heraldix = Meant(document_, ConfigKeys::Top::Heraldix);
    if (!heraldix || !heraldix->contains("Placeholders") || (*heraldix)["Placeholders"] == false) return;
    Use({{"Heraldix", {{"Placeholders", (*heraldix)["Placeholders"]}}},
         {"NoPermission", "{Player}"},
         {"CustomCommands", {{"/probe", {{"Message", "probe"}, {"RequiredPermissionGroups", {"Nobody"}}}}}}});
    if (!Reached(Line("chat 3 /probe"), Carol.id, {"chat", "Carol", "Heraldix"})) {
      Fail("the placeholder switch", {"/Heraldix/Placeholders"});
    }
  }

  // The values the plug-in puts in for a player named name, while the file turns placeholders on.
  Values ValuesFor(const std::string& name) const {
    if (!placeholders_) return {};
    const auto now = static_cast<std::time_t>(sim::SystemTicks() / Platform::TicksPerSecond);
    std::tm utc{};  // the tests' server keeps UTC
    gmtime_r(&now, &utc);
    return {{"Player", name},
            {"PlayersOnline", std::to_string(online_)},
            {"Time", fmt::format("{:02}:{:02}", utc.tm_hour, utc.tm_min)},
            {"Date", fmt::format("{:04}-{:02}-{:02}", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday)}};
  }

  ServerDir dir_;
  std::optional<json> document_;
  bool placeholders_ = false;
  int online_ = 0;
  LiveServer* server_ = nullptr;
  std::vector<Failure> failures_;
};

// A document holding every key of the table once in each place it can go, each with a value of its type;
// commands and timed messages come in each kind, so every key is read somewhere.
json EveryKeyDocument() {
  const auto section = [](Section of, const json& overrides) {
    json object = json::object();
    for (const Key* key : ConfigKeys::All) {
      if (key->section == of) object[std::string(key->name)] = Types.at(key->type).sample;
    }
    object.update(overrides);
    return object;
  };
  const json welcome = section(Section::Welcome, {{"Message", "Hi {0}"}, {"WelcomeMessageType", "Notification"}});
  json commands = json::object();
  json messages = json::array();
  json scheduled = json::array();
  for (const char* kind : {"Chat", "Server", "Notification"}) {
    commands[std::string("/") + kind] = section(Section::Command, {{"Type", kind}, {"Command_To_Execute", "hello"}});
    messages.push_back(section(Section::TimedMessage, {{"MessageType", kind}}));
    scheduled.push_back(messages.back());
    scheduled.back().update(section(Section::ScheduledMessage, json::object()));
  }
  return section(Section::Top, {{"Heraldix", section(Section::Heraldix, {{"WelcomeMessage", welcome}})},
                                {"CustomCommands", commands},
                                {"TimedMessages", section(Section::Timed, {{"Messages", messages}})},
                                {"ScheduledMessages", section(Section::Scheduled, {{"Messages", scheduled}})}});
}

// The document with one value replaced by a value of another JSON type, for every value in it (array
// elements that are objects only).
void WrongTypeVariants(const json& document, const json& at, const std::string& pointer,
                       std::vector<std::pair<std::string, std::string>>& out) {
  if (!at.is_structured()) return;
  for (const auto& [name, value] : at.items()) {
    const std::string where = pointer + "/" + (at.is_object() ? heraldix::config::PointerToken(name) : name);
    if (at.is_object() || value.is_object()) {
      json variant = document;
      variant[json::json_pointer(where)] = value.is_string()    ? json(7)
                                           : value.is_number()  ? json("7")
                                           : value.is_boolean() ? json("yes")
                                                                : json("x");
      out.emplace_back("wrong type at " + where, variant.dump(2));
    }
    WrongTypeVariants(document, value, where, out);
  }
}

std::vector<std::pair<std::string, std::string>> Configurations() {
  std::vector<std::pair<std::string, std::string>> all;
  for (const char* dir : {HERALDIX_CHECK_CORPUS_DIR, HERALDIX_FUZZ_CONFIG_CORPUS_DIR}) {
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.path().extension() != ".expected") files.insert(entry.path());  // the checker's reports
    }
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      all.emplace_back(file.filename().string(), std::string{std::istreambuf_iterator<char>(in), {}});
    }
  }
  const json every = EveryKeyDocument();
  all.emplace_back("every key", every.dump(2));
  WrongTypeVariants(every, every, "", all);
  return all;
}

// The document as the plug-in reads it: the first JSON value of the text.
std::optional<json> Parsed(const std::string& text) {
  std::istringstream stream(text);
  json document;
  try {
    stream >> document;
  } catch (const json::exception&) {
    return std::nullopt;
  }
  return document;
}

// Whether a checker's error at error stands for a failure reading places: one lies inside the other; the
// whole document ("") holds every place.
bool Covers(const std::string& error, const std::vector<std::string>& places) {
  return std::any_of(places.begin(), places.end(), [&](const std::string& place) {
    return error.empty() || place.empty() || error == place || error.starts_with(place + "/") ||
           place.starts_with(error + "/");
  });
}

TEST(Agreement, CheckerReportsAnErrorExactlyWhereThePluginFails) {
  std::size_t compared = 0;
  for (const auto& [name, text] : Configurations()) {
    SCOPED_TRACE(name);
    const std::vector<Failure> failures = Probe(text, Parsed(text)).Run();
    const heraldix::check::Report report = heraldix::check::CheckConfigText(text);
    std::vector<std::string> errors;
    for (const auto& problem : report.problems) {
      if (problem.severity == heraldix::check::Severity::Error) errors.push_back(problem.pointer);
    }
    const std::string shown = heraldix::check::FormatReport(report, name) + "\n" + text.substr(0, 2000);
    for (const Failure& failure : failures) {
      EXPECT_TRUE(std::any_of(errors.begin(), errors.end(),
                              [&](const std::string& error) { return Covers(error, failure.places); }))
          << "the plug-in fails at " << failure.road << " (" << failure.places.front()
          << "), the checker reports no error there:\n"
          << shown;
    }
    for (const std::string& error : errors) {
      EXPECT_TRUE(std::any_of(failures.begin(), failures.end(),
                              [&](const Failure& failure) { return Covers(error, failure.places); }))
          << "the checker reports an error at \"" << error << "\", where the plug-in works:\n"
          << shown;
    }
    ++compared;
  }
  sim::SetTracing(false);
  EXPECT_GT(compared, 150u);
}

}  // namespace
