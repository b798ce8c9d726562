// The key table against the schema editors use: every key with its type, default and words, and nothing else.
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "grammar/KeyList.h"
#include "grammar/Keys.h"

namespace {

using grammar::Key;
using grammar::Section;
using Type = grammar::ValueType;
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
    {Type::SecondsList, {{"array"}, {60, 0}}},
    {Type::Message, {{"object"}, json::object()}},
    {Type::Commands, {{"object", "null", "array"}, json::object()}},
    {Type::Messages, {{"array", "null"}, json::array()}},
    {Type::TextList, {{"array"}, {"en", "de"}}},
    {Type::LocalText, {{"string", "object"}, "Hello"}},
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
      {Section::Players, "/properties/Players"},
      {Section::Countdown, "/properties/Countdown"},
      {Section::CountdownWords, "/properties/Countdown/properties/Words"},
      {Section::JoinLeave, "/properties/JoinLeaveMessages"},
  };
  return schema.at(json::json_pointer(pointers.at(section)));
}

// The words a schema property offers: its enum, or its items' for a list.
std::set<std::string> Offered(const json& property) {
  return property.value("items", property).value("enum", std::set<std::string>{});
}

TEST(Agreement, SchemaDescribesEveryKeyOfTheTableWithItsTypeDefaultAndWords) {
  const json schema = json::parse(std::ifstream(std::filesystem::path(HERALDIX_EXAMPLE_SERVER_DIR) /
                                                "TarrowApi/Plugins/Heraldix/config.schema.json"));
  std::map<std::pair<Section, std::string>, const Key*> table;
  for (const Key* key : grammar::All) {
    table.emplace(std::pair(key->section, std::string(key->name)), key);
    const json& properties = SchemaSection(schema, key->section)["properties"];
    ASSERT_TRUE(properties.contains(key->name)) << key->name << " is missing from the schema";
    const json& property = properties[std::string(key->name)];
    EXPECT_EQ(TypesOf(schema, property), Types.at(key->type).schema) << key->name;
    EXPECT_EQ(property.value("default", DefaultOf(*key)), DefaultOf(*key)) << key->name;
  }
  // And nothing the table does not hold, but the editor's own pointer to the schema; each offering exactly the
  // words its key accepts.
  for (int each = 0; each <= static_cast<int>(Section::JoinLeave); ++each) {
    const auto section = static_cast<Section>(each);
    for (const auto& [name, property] : SchemaSection(schema, section)["properties"].items()) {
      if (section == Section::Top && name == "$schema") continue;
      // A scheduled message takes every key of a timed message besides its own.
      auto key = table.find({section, name});
      if (key == table.end() && section == Section::ScheduledMessage) key = table.find({Section::TimedMessage, name});
      ASSERT_NE(key, table.end()) << name << " is in the schema but not in the key table";
      const auto& words = key->second->words;
      EXPECT_EQ(Offered(property), std::set<std::string>(words.begin(), words.end())) << name;
    }
  }
}

}  // namespace
