// The key table against the schema editors use: every key with its type and default, and nothing else.
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

TEST(Agreement, SchemaDescribesEveryKeyOfTheTableWithItsTypeAndDefault) {
  const json schema = json::parse(std::ifstream(std::filesystem::path(HERALDIX_EXAMPLE_SERVER_DIR) /
                                                "TarrowApi/Plugins/Heraldix/config.schema.json"));
  std::set<std::pair<Section, std::string>> tableKeys;
  for (const Key* key : grammar::All) {
    tableKeys.emplace(key->section, std::string(key->name));
    const json& properties = SchemaSection(schema, key->section)["properties"];
    ASSERT_TRUE(properties.contains(key->name)) << key->name << " is missing from the schema";
    const json& property = properties[std::string(key->name)];
    EXPECT_EQ(TypesOf(schema, property), Types.at(key->type).schema) << key->name;
    EXPECT_EQ(property.value("default", DefaultOf(*key)), DefaultOf(*key)) << key->name;
  }
  // And nothing the table does not hold, but the editor's own pointer to the schema.
  for (int each = 0; each <= static_cast<int>(Section::JoinLeave); ++each) {
    const auto section = static_cast<Section>(each);
    for (const auto& [name, property] : SchemaSection(schema, section)["properties"].items()) {
      // A scheduled message takes every key of a timed message besides its own.
      const bool timedKey = section == Section::ScheduledMessage && tableKeys.contains({Section::TimedMessage, name});
      EXPECT_TRUE(tableKeys.contains({section, name}) || timedKey || (section == Section::Top && name == "$schema"))
          << name << " is in the schema but not in the key table";
    }
  }
}

}  // namespace
