// The key table against its other readers: the schema editors use, and the checker against the plug-in.
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "config/Keys.h"

namespace {

using nlohmann::json;
using ConfigKeys::Key;
using ConfigKeys::Section;
using ConfigKeys::Type;

json Schema() {
  std::ifstream in(std::filesystem::path(HERALDIX_EXAMPLE_SERVER_DIR) /
                   "TarrowApi/Plugins/Heraldix/config.schema.json");
  return json::parse(in);
}

const json& Resolve(const json& schema, const json& node) {
  if (node.contains("$ref")) {
    const std::string ref = node["$ref"];
    return schema.at(json::json_pointer(ref.substr(1)));
  }
  return node;
}

// Every JSON type a schema node admits, through references, allOf, anyOf and oneOf.
std::set<std::string> TypesOf(const json& schema, const json& node) {
  const json& resolved = Resolve(schema, node);
  std::set<std::string> types;
  if (resolved.contains("type")) {
    const json& type = resolved["type"];
    if (type.is_string()) types.insert(type.get<std::string>());
    for (const json& each : type.is_array() ? type : json::array()) types.insert(each.get<std::string>());
  }
  for (const char* combinator : {"allOf", "anyOf", "oneOf"}) {
    for (const json& part : resolved.value(combinator, json::array())) {
      const std::set<std::string> more = TypesOf(schema, part);
      types.insert(more.begin(), more.end());
    }
  }
  return types;
}

std::set<std::string> ExpectedTypes(Type type) {
  switch (type) {
    case Type::Section:
    case Type::Colour: return {"object"};
    case Type::Boolean: return {"boolean"};
    case Type::Integer:
    case Type::Number: return {"number", "boolean"};
    case Type::Utf8Text:
    case Type::ByteText:
    case Type::KindText: return {"string"};
    case Type::GroupList:
    case Type::ColourList: return {"array"};
    case Type::Commands: return {"object", "null", "array"};
    case Type::Messages: return {"array", "null"};
  }
  return {};
}

json DefaultOf(const Key& key) {
  switch (key.type) {
    case Type::Section:
    case Type::Colour:
    case Type::Commands: return json::object();
    case Type::GroupList:
    case Type::ColourList:
    case Type::Messages: return json::array();
    case Type::Boolean: return key.flag;
    case Type::Integer:
    case Type::Number: return key.number;
    default: return std::string(key.text);
  }
}

// The schema object whose "properties" describe one section of the table.
const json& SchemaSection(const json& schema, Section section) {
  switch (section) {
    case Section::Top: return schema;
    case Section::Heraldix: return schema["properties"]["Heraldix"];
    case Section::Welcome: return schema["properties"]["Heraldix"]["properties"]["WelcomeMessage"];
    case Section::Command: return schema["$defs"]["customCommand"];
    case Section::Timed: return schema["properties"]["TimedMessages"];
    case Section::TimedMessage: return schema["$defs"]["timedMessage"];
    case Section::Colour: return schema["$defs"]["colour"];
  }
  return schema;
}

TEST(Agreement, SchemaDescribesEveryKeyOfTheTableWithItsTypeAndDefault) {
  const json schema = Schema();
  std::set<std::pair<Section, std::string>> tableKeys;
  for (const Key* key : ConfigKeys::All) {
    tableKeys.emplace(key->section, std::string(key->name));
    const json& properties = SchemaSection(schema, key->section)["properties"];
    ASSERT_TRUE(properties.contains(key->name)) << key->name << " is missing from the schema";
    const json& property = properties[std::string(key->name)];
    EXPECT_EQ(TypesOf(schema, property), ExpectedTypes(key->type)) << key->name;
    if (property.contains("default")) {
      EXPECT_EQ(property["default"], DefaultOf(*key)) << key->name;
    }
  }
  // And nothing the table does not hold, but the editor's own pointer to the schema.
  for (const Section section : {Section::Top, Section::Heraldix, Section::Welcome, Section::Command, Section::Timed,
                                Section::TimedMessage, Section::Colour}) {
    for (const auto& [name, property] : SchemaSection(schema, section)["properties"].items()) {
      if (section == Section::Top && name == "$schema") continue;
      EXPECT_TRUE(tableKeys.contains({section, name})) << name << " is in the schema but not in the key table";
    }
  }
}

}  // namespace
