// Configuration reads: value-with-default lookups with the JSON library's own errors.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "config/ColourValues.h"
#include "config/Config.h"
#include "config/ConfigValues.h"
#include "config/MessageKind.h"
#include "tests/support/Support.h"

namespace {

using nlohmann::json;

// The message of the error a read raises, or "" when it raises none.
template <class Read>
std::string ErrorOf(Read&& read) {
  try {
    read();
  } catch (const json::exception& error) {
    return error.what();
  }
  return "";
}

TEST(Config, AbsentMembersTakeTheirDefaults) {
  const json object = json::object();
  EXPECT_FALSE(ConfigValue::Bool(object, "EnableWelcomeMessage", false));
  EXPECT_EQ(ConfigValue::Int32(object, "Interval", 7), 7);
  EXPECT_FLOAT_EQ(ConfigValue::Float(object, "DisplayTime", 10.0F), 10.0F);
  EXPECT_EQ(ConfigValue::String(object, "Sender", "Heraldix"), "Heraldix");
  EXPECT_TRUE(ConfigValue::StringList(object, "RequiredPermissionGroups").empty());
  EXPECT_TRUE(ConfigValue::Section(object, "Heraldix").is_object());
  EXPECT_TRUE(ConfigValue::Section(object, "Heraldix").empty());
}

TEST(Config, SectionsAreReturnedWithoutCopying) {
  const json document = json::parse(R"({"TimedMessages": {"Enabled": true}})");
  EXPECT_EQ(&ConfigValue::Section(document, "TimedMessages"), &document["TimedMessages"]);
}

TEST(Config, NumbersAcceptIntegersFloatsAndBooleans) {
  const json object = json::parse(R"({"a": 2.7, "b": -2.7, "c": true, "d": false, "e": 4294967297, "f": -1})");
  EXPECT_EQ(ConfigValue::Int32(object, "a", 0), 2);
  EXPECT_EQ(ConfigValue::Int32(object, "b", 0), -2);
  EXPECT_EQ(ConfigValue::Int32(object, "c", 0), 1);
  EXPECT_EQ(ConfigValue::Int32(object, "d", 5), 0);
  EXPECT_EQ(ConfigValue::Int32(object, "e", 0), 1) << "integers keep their low 32 bits";
  EXPECT_EQ(ConfigValue::Int32(object, "f", 0), -1);
  EXPECT_FLOAT_EQ(ConfigValue::Float(object, "a", 0.0F), 2.7F);
  EXPECT_FLOAT_EQ(ConfigValue::Float(object, "c", 0.0F), 1.0F);
}

TEST(Config, HugeFloatsSaturateInsteadOfOverflowing) {
  const json object = json::parse(R"({"big": 1e300, "small": -1e300, "edge": 2147483648.0})");
  EXPECT_EQ(ConfigValue::Int32(object, "big", 0), 2147483647);
  EXPECT_EQ(ConfigValue::Int32(object, "small", 0), -2147483647 - 1);
  EXPECT_EQ(ConfigValue::Int32(object, "edge", 0), 2147483647);
  EXPECT_GT(ConfigValue::Float(object, "big", 0.0F), 3e38F);
}

TEST(Config, WrongTypesRaiseTheLibrarysTypeErrors) {
  const json object = json::parse(R"({"n": "10", "b": 1, "s": 5, "l": [1, 2], "o": [], "x": null})");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::Int32(object, "n", 0); }),
            "[json.exception.type_error.302] type must be number, but is string");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::Float(object, "x", 0.0F); }),
            "[json.exception.type_error.302] type must be number, but is null");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::Bool(object, "b", false); }),
            "[json.exception.type_error.302] type must be boolean, but is number");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::String(object, "s", ""); }),
            "[json.exception.type_error.302] type must be string, but is number");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::StringList(object, "l"); }),
            "[json.exception.type_error.302] type must be string, but is number");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::StringList(object, "s"); }),
            "[json.exception.type_error.302] type must be array, but is number");
}

TEST(Config, LookupsInSomethingOtherThanAnObjectFail) {
  const json array = json::array();
  const json null;
  EXPECT_EQ(ErrorOf([&] { ConfigValue::Section(array, "Heraldix"); }),
            "[json.exception.type_error.306] cannot use value() with array");
  EXPECT_EQ(ErrorOf([&] { ConfigValue::Bool(null, "Enabled", false); }),
            "[json.exception.type_error.306] cannot use value() with null");
}

// --- Reading config.json ------------------------------------------------------------------------

TEST(Config, ColoursAreCutToTheirLowBytes) {
  using ConfigValue::Rgb;
  struct Row {
    const char* json;
    Rgb rgb;
  };
  // Objects read whole numbers (floats truncated); blue is read first, so its error is the one raised.
  const Row objects[] = {
      {R"({"R": 300, "G": -1, "B": 2.9})", {44, 255, 2}},
      {R"({"R": 256, "G": 255, "B": 0})", {0, 255, 0}},
      {R"({"G": 7})", {0, 7, 0}},
      {"{}", {0, 0, 0}},
  };
  for (const Row& row : objects) EXPECT_EQ(ConfigValue::RgbFromObject(json::parse(row.json)), row.rgb) << row.json;
  EXPECT_NE(ErrorOf([] {
              ConfigValue::RgbFromObject(json::parse(R"({"R": "red", "B": [1]})"));
            }).find("must be number, but is array"),
            std::string::npos);
  EXPECT_NE(ErrorOf([] { ConfigValue::RgbFromObject(json::array()); }).find("cannot use value() with array"),
            std::string::npos);

  // Arrays take their first three elements as 32-bit floats, saturating past the integer range; missing
  // ones are black.
  const Row arrays[] = {
      {"[255, 128.9, -1]", {255, 128, 255}},
      {"[300, -0.5, 511.99]", {44, 0, 255}},
      {R"([1, 2, 3, "ignored", {}])", {1, 2, 3}},
      {"[true, false, 0]", {1, 0, 0}},
      {"[9, 8]", {9, 8, 0}},
      {"[]", {0, 0, 0}},
      {"[1e300, -1e300, 3e9]", {255, 0, 255}},
      {"[2147483520, -2147483648, 1e-30]", {0x80, 0, 0}},
  };
  for (const Row& row : arrays) EXPECT_EQ(ConfigValue::RgbFromArray(json::parse(row.json)), row.rgb) << row.json;
  const std::pair<const char*, const char*> errors[] = {
      {"{}", "type must be array, but is object"},          {"5", "type must be array, but is number"},
      {"null", "type must be array, but is null"},          {R"([1, "2", 3])", "type must be number, but is string"},
      {"[1, 2, null]", "type must be number, but is null"},
  };
  for (const auto& [text, error] : errors) {
    EXPECT_EQ(ErrorOf([&] { ConfigValue::RgbFromArray(json::parse(text)); }),
              std::string("[json.exception.type_error.302] ") + error)
        << text;
  }
}

TEST(Config, MessageKindsAreNamedExactlyWithClientAsChat) {
  struct Row {
    const char* word;
    std::optional<MessageKind> kind;
  };
  const Row rows[] = {
      {"Server", MessageKind::Server}, {"Chat", MessageKind::Chat},
      {"Client", MessageKind::Chat},   {"Notification", MessageKind::Notification},
      {"chat", std::nullopt},          {"SERVER", std::nullopt},
      {"Notification ", std::nullopt}, {"", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseMessageKind(row.word), row.kind) << '"' << row.word << '"';

  // An absent kind is the table's default; a kind that is not a string fails like any other read.
  EXPECT_EQ(ReadMessageKind(json::parse(R"({"MessageType": "Server"})"), ConfigKeys::TimedMessage::MessageType),
            MessageKind::Server);
  EXPECT_EQ(ReadMessageKind(json::object(), ConfigKeys::Command::Type), MessageKind::Chat);
  EXPECT_EQ(ErrorOf([] { ReadMessageKind(json::parse(R"({"Type": 5})"), ConfigKeys::Command::Type); }),
            "[json.exception.type_error.302] type must be string, but is number");
}

TEST(Config, ReadsTheFileUnderTheServerDirectory) {
  heraldix::test::LiveGame game;
  EXPECT_EQ(ConfigPath(), (game.Dir().Path() / "TarrowApi/Plugins/Heraldix/config.json").string());
  game.Dir().WriteConfig(R"({"Heraldix": {"ClientChatSenderName": "Herald"}})");
  ReadConfig();
  EXPECT_EQ(Config().at("Heraldix").at("ClientChatSenderName"), "Herald");
}

TEST(Config, AFailedReadKeepsTheHeldDocument) {
  heraldix::test::LiveGame game;
  game.Dir().WriteConfig(R"({"NoPermission": "kept"})");
  ReadConfig();

  game.Dir().WriteConfig(R"({"NoPermission": "half", "CustomCommands": {"/a": )");
  EXPECT_THROW(ReadConfig(), json::parse_error);
  game.Dir().RemoveConfig();
  try {
    ReadConfig();
    ADD_FAILURE() << "a missing file must not read";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Can't open config.json");
  }
  EXPECT_EQ(Config(), json::parse(R"({"NoPermission": "kept"})"));
}

TEST(Config, ParseErrorsNameThePosition) {
  heraldix::test::LiveGame game;
  game.Dir().WriteConfig("{\"a\": 1,}");
  EXPECT_EQ(ErrorOf([] { ParseConfigFile(); }),
            "[json.exception.parse_error.101] parse error at line 1, column 9: syntax error while parsing object key"
            " - unexpected '}'; expected string literal");
}

}  // namespace
