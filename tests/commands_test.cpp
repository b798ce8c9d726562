// Unit tests of how administrator command lines are taken apart.
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "commands/AdminCommands.h"
#include "commands/Arguments.h"
#include "config/Config.h"
#include "tests/support/Expect.h"
#include "tests/support/Support.h"
#include "text/Text.h"

namespace {

using nlohmann::json;

// Strings live on the game allocator, so every test runs with the game in place.
class Commands : public ::testing::Test {
 protected:
  heraldix::test::LiveGame game;
};

FString Line(std::string_view text) { return FromUtf8(std::string(text)); }

// What a command's line reads as, written out so a table row can state it: every value in order, or the
// error the read raised.
std::string Shown(const ColourBytes& colour) {
  return std::to_string(colour.R) + " " + std::to_string(colour.G) + " " + std::to_string(colour.B);
}
std::string Shown(const SendServerArguments& read) {
  return "to " + std::to_string(read.PlayerId) + ", " + Shown(read.Colour) + ", \"" + ToUtf8(read.Message) + "\"";
}
std::string Shown(const SendChatArguments& read) {
  return "to " + std::to_string(read.PlayerId) + " from " + ToUtf8(read.Sender) + ", " + Shown(read.Colour) + ", \"" +
         ToUtf8(read.Message) + "\"";
}
std::string Shown(const SendNotificationArguments& read) {
  std::ostringstream out;
  out << "to " << read.PlayerId << ", " << Shown(read.Colour) << ", scale " << read.DisplayScale << " time "
      << read.DisplayTime << " icon " << (read.IconPath ? ToUtf8(*read.IconPath) : "none") << ", \""
      << ToUtf8(read.Message) << "\"";
  return out.str();
}
std::string Shown(const ChatAsPlayerArguments& read) {
  return "from " + std::to_string(read.PlayerId) + " mode " + std::to_string(read.SendMode) + ", \"" +
         ToUtf8(read.Message) + "\"";
}

template <class Read>
std::string Outcome(const Read& read) {
  try {
    return read();
  } catch (const ArgumentError&) {
    return "argument error";
  } catch (const json::exception&) {
    return "configuration error";
  }
}

constexpr std::uint64_t MaxId = std::numeric_limits<std::uint64_t>::max();

}  // namespace

// --- Quoted text, tokens and numbers ----------------------------------------------------------------

TEST_F(Commands, QuotedTextIsBetweenTheFirstQuoteAndTheNext) {
  const std::pair<const char*, const char*> rows[] = {
      {R"(hx.sendserver 0 "Hello world" 255 0 0)", "Hello world"},
      {R"(hx.sendserver 0 "a" "b")", "a"},
      {R"(hx.sendserver 0 "runs to the end)", "runs to the end"},
      {"hx.sendserver 0 no quotes", ""},
      {R"(hx.sendserver 0 "")", ""},
      {"hx.sendserver", ""},
      {R"(hx.sendserver 0 "ünïcödé ✓")", "ünïcödé ✓"},
      // The empty piece between two quotes in a row is dropped, so the piece after them moves up.
      {R"(hx.sendchat 0 Admin "" "word")", " "},
      {R"(hx.sendchat 0 Admin ""word")", "word"},
  };
  for (const auto& [line, quoted] : rows) EXPECT_EQ(ToUtf8(QuotedText(Line(line))), quoted) << line;
}

TEST_F(Commands, TokensAreCutAtSpacesOnlyAndKeepTheirQuotes) {
  const Tokens tokens(Line("hx.sendserver   0 \"two words\"\t255  1"));
  ASSERT_EQ(tokens.Count(), 5);
  const std::u16string_view expected[] = {u"hx.sendserver", u"0", u"\"two", u"words\"\t255", u"1", u""};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(tokens.At(i), expected[i]) << i;
  EXPECT_EQ(tokens.At(-1), u"");

  // A lone sign or point passes the numeric test (and later reads no digit); positions off the line fail it.
  const Tokens numbers(Line("hx.x 1 - . 12.5 1e5 12abc"));
  const bool numeric[] = {false, true, true, true, true, false, false, false};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(numbers.IsNumericAt(i), numeric[i]) << i;
  EXPECT_FALSE(numbers.IsNumericAt(-1));
}

TEST_F(Commands, PlayerIdsAreUnsigned64BitDecimalsUpToTheFirstNonDigit) {
  const std::pair<std::u16string_view, std::optional<std::uint64_t>> rows[] = {
      {u"0", 0U},
      {u"76561198000000001", 76561198000000001U},
      {u"18446744073709551615", MaxId},
      {u"+42", 42U},
      {u"  \t42", 42U},
      {u"00000000000000000000000000042", 42U},
      {u"123abc", 123U},
      {u"12.9", 12U},
      {u"7\"x", 7U},
      // A negative id wraps modulo 2^64.
      {u"-1", MaxId},
      {u"-18446744073709551615", 1U},
      {u"-0", 0U},
      // No digit, or more than 64 bits: no id.
      {u"18446744073709551616", std::nullopt},
      {u"-18446744073709551616", std::nullopt},
      {u"99999999999999999999999999", std::nullopt},
      {u"", std::nullopt},
      {u"abc", std::nullopt},
      {u"-", std::nullopt},
      {u"+", std::nullopt},
      {u".", std::nullopt},
      {u"--1", std::nullopt},
      {u"- 1", std::nullopt},
      {u"\"5", std::nullopt},
      {u"\uFF15", std::nullopt},  // a full-width digit
  };
  for (const auto& [text, id] : rows) EXPECT_EQ(ReadPlayerId(text), id) << ToUtf8(text);
}

TEST_F(Commands, IntegersAreSigned32BitDecimalsUpToTheFirstNonDigit) {
  const std::pair<std::u16string_view, std::optional<std::int32_t>> rows[] = {
      {u"2147483647", 2147483647},
      {u"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {u"-0", 0},
      {u"+7", 7},
      {u"12.7", 12},
      {u"255x", 255},
      {u"-3.9", -3},
      {u"1e5", 1},
      {u"2147483648", std::nullopt},
      {u"-2147483649", std::nullopt},
      {u"4294967296", std::nullopt},
      {u"18446744073709551617", std::nullopt},
      {u"-", std::nullopt},
      {u"+", std::nullopt},
      {u".", std::nullopt},
      {u".5", std::nullopt},
      {u"x255", std::nullopt},
  };
  for (const auto& [text, value] : rows) EXPECT_EQ(ReadInt32(text), value) << ToUtf8(text);
}

// --- What each command reads from its line, or from configuration where the line lacks it ------------

TEST_F(Commands, EachCommandReadsItsLineAndTheConfigurationOnlyForWhatTheLineLacks) {
  constexpr const char* Odd = R"({"Heraldix": {"ServerMessageColor": {"R": 300, "G": -1, "B": 2.9}}})";
  const struct {
    const char* name;
    const char* line;
    const char* config;  // the whole document, as JSON text
    const char* read;    // as Shown writes it, or the error
  } rows[] = {
      {"colour from the last three tokens", R"(hx.sendserver 0 "Hello" 255 0 0)", "{}", R"(to 0, 255 0 0, "Hello")"},
      {"colour tokens keep their low byte", R"(hx.sendserver 5 "Hi" 300 -1 12.9)", "{}", R"(to 5, 44 255 12, "Hi")"},
      {"the largest int32", R"(hx.sendserver 0 "x" 2147483647 0 0)", "{}", R"(to 0, 255 0 0, "x")"},
      // Token n-3 is the message's last word with its closing quote.
      {"two numbers: configured", R"(hx.sendserver 0 "Hello there" 0 255)", Odd, R"(to 0, 44 255 2, "Hello there")"},
      {"numbers before the message", R"(hx.sendserver 1 2 3 "x")", Odd, R"(to 1, 44 255 2, "x")"},
      {"missing channels: zero", R"(hx.sendserver 0 "x")", R"({"Heraldix": {"ServerMessageColor": {"G": 9}}})",
       R"(to 0, 0 9 0, "x")"},
      {"bare: everyone, no message", "hx.sendserver", "{}", R"(to 0, 0 0 0, "")"},
      {"config read only when needed", R"(hx.sendserver 0 "x" 1 2 3)", "[]", R"(to 0, 1 2 3, "x")"},
      {"id beyond 64 bits", R"(hx.sendserver 18446744073709551616 "x")", "{}", "argument error"},
      {"lone point", R"(hx.sendserver 0 "x" 0 0 .)", "{}", "argument error"},
      {"document null", R"(hx.sendserver 0 "x")", "null", "configuration error"},
      {"sender from token 2", R"(hx.sendchat 0 Admin "Hi there" 255 255 0)", "{}",
       R"(to 0 from Admin, 255 255 0, "Hi there")"},
      {"message in token 2: default sender", R"(hx.sendchat 0 "Hello world")",
       R"({"Heraldix": {"ClientChatColour": {"R": 1, "G": 2, "B": 3}}})",
       R"(to 0 from Heraldix, 1 2 3, "Hello world")"},
      {"id only", "hx.sendchat 17", "{}", R"(to 17 from Heraldix, 0 0 0, "")"},
      {"its own configured colour", R"(hx.sendchat 0 A "m")",
       R"({"Heraldix": {"ClientChatColour": {"R": 7}, "ServerMessageColor": {"R": 9}}})", R"(to 0 from A, 7 0 0, "m")"},
      {"numbers and icon from the end", R"(hx.sendnotification 0 "Msg" 2 10 255 255 0 x)", "{}",
       R"(to 0, 255 255 0, scale 2 time 10 icon x, "Msg")"},
      {"without the icon the numbers shift: configured", R"(hx.sendnotification 0 "Msg" 2 10 255 255 0)",
       R"({"Heraldix": {"NotificationDisplayScale": 3, "NotificationDisplayTime": 7.9,
                        "NotificationColor": {"R": 9, "B": 256}}})",
       R"(to 0, 9 0 0, scale 3 time 7 icon none, "Msg")"},
      // Only the first and the last of the five numbers are tested before they are read.
      {"inner numbers untested", R"(hx.sendnotification 0 "M" 4 10abc 1 2 3 i)", "{}",
       R"(to 0, 1 2 3, scale 4 time 10 icon i, "M")"},
      {"time without digits", R"(hx.sendnotification 0 "M" 4 x 1 2 3 i)", "{}", "argument error"},
      {"scale a lone sign", R"(hx.sendnotification 0 "M" - 1 1 2 3 i)", "{}", "argument error"},
      {"blue beyond 32 bits", R"(hx.sendnotification 0 "M" 1 1 1 2 2147483648 i)", "{}", "argument error"},
      {"fewer than six tokens carry no numbers", "hx.sendnotification 2 3 4 5",
       R"({"Heraldix": {"NotificationDisplayScale": 6, "NotificationDisplayTime": true}})",
       R"(to 2, 0 0 0, scale 6 time 1 icon none, "")"},
      {"time null", R"(hx.sendnotification 0 "M")", R"({"Heraldix": {"NotificationDisplayTime": null}})",
       "configuration error"},
      {"all three", R"(hx.chatasplayer 76561198000000001 2 "hello all")", "{}",
       R"(from 76561198000000001 mode 2, "hello all")"},
      {"any mode, unchecked", R"(hx.chatasplayer 1 77 "x")", "{}", R"(from 1 mode 77, "x")"},
      {"a negative mode", R"(hx.chatasplayer 1 -1 "x")", "{}", R"(from 1 mode -1, "x")"},
      {"no message", "hx.chatasplayer 1 0", "{}", R"(from 1 mode 0, "")"},
  };
  for (const auto& row : rows) {
    const FString line = Line(row.line);
    const json config = json::parse(row.config);
    const std::string_view command = std::string_view(row.line).substr(0, std::string_view(row.line).find(' '));
    const std::string read = Outcome([&]() -> std::string {
      if (command == "hx.sendserver") return Shown(ReadSendServerArguments(line, config));
      if (command == "hx.sendchat") return Shown(ReadSendChatArguments(line, config));
      if (command == "hx.sendnotification") return Shown(ReadSendNotificationArguments(line, config));
      return Shown(ReadChatAsPlayerArguments(line));
    });
    EXPECT_EQ(read, row.read) << row.name;
  }
}

// --- Handlers at the edges -----------------------------------------------------------------------

TEST_F(Commands, HandlersWithoutALineOrSomeoneToAnswerDeliverNothingButAReloadTakesEffect) {
  game.Line("join 1 Alice");
  AShooterPlayerController* alice = game.Player(1);
  FString line = Line(R"(hx.sendserver 0 "x" 1 2 3)");
  RCONPacket packet;
  packet.Id = 7;
  packet.Body = Line(R"(hx.chatasplayer 1 0 "x")");
  for (auto* command : {&SendServerCmd, &SendChatCmd, &SendNotificationCmd, &ChatAsPlayerCmd}) {
    command(nullptr, &line, false);
    command(alice, nullptr, false);
  }
  for (auto* command : {&SendServerRcon, &SendChatRcon, &SendNotificationRcon, &ChatAsPlayerRcon}) {
    command(nullptr, &packet, nullptr);
  }

  game.Dir().WriteConfig(R"({"Heraldix": {"ServerMessageColor": {"R": 5}}})");
  ReloadCmd(nullptr, nullptr, false);
  EXPECT_EQ(Config(), json::parse(R"({"Heraldix": {"ServerMessageColor": {"R": 5}}})"));
  game.Dir().WriteConfig(R"({"Heraldix": {}})");
  ReloadRcon(nullptr, nullptr, nullptr);
  EXPECT_EQ(Config(), json::parse(R"({"Heraldix": {}})"));

  for (const char* event : {"server", "chat", "notification", "rcon", "say"}) EXPECT_TRUE(game.Of(event).empty());
  ReplaceConfig(json());
}
