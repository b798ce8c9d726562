// Unit tests of how administrator command lines are taken apart.
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>

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

template <class Number>
std::string Shown(const std::optional<Number>& number) {
  return number ? std::to_string(*number) : "none";
}

}  // namespace

// --- Quoted text, tokens and numbers ----------------------------------------------------------------

TEST_F(Commands, QuotedTextIsBetweenTheFirstQuoteAndTheNext) {
  const std::pair<const char*, const char*> rows[] = {
      {R"(hx.sendserver 0 "Hello world" 255 0 0)", "Hello world"},
      {R"(hx.sendserver 0 "runs to the end)", "runs to the end"},
      {"hx.sendserver 0 no quotes", ""},
      // The empty piece between two quotes in a row is dropped, so the piece after them moves up.
      {R"(hx.sendchat 0 Admin "" "word")", " "},
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

// A player id is an unsigned 64-bit number, where a negative id wraps modulo 2^64; an integer is signed 32-bit.
TEST_F(Commands, NumbersAreDecimalsUpToTheFirstNonDigitAndNoneWithoutADigitOrBeyondTheirWidth) {
  // Each text, read as a player id and as an integer.
  const std::tuple<std::u16string_view, const char*, const char*> rows[] = {
      {u"0", "0", "0"},
      {u"  \t+42", "42", "42"},
      {u"12.9", "12", "12"},
      {u"-1", "18446744073709551615", "-1"},
      {u"2147483647", "2147483647", "2147483647"},
      {u"2147483648", "2147483648", "none"},
      {u"-2147483648", "18446744071562067968", "-2147483648"},
      {u"-2147483649", "18446744071562067967", "none"},
      {u"18446744073709551615", "18446744073709551615", "none"},
      {u"18446744073709551616", "none", "none"},
      {u"", "none", "none"},
      {u"x255", "none", "none"},
      {u"-", "none", "none"},
      {u"\uFF15", "none", "none"},  // a full-width digit
  };
  for (const auto& [text, id, integer] : rows) {
    EXPECT_EQ(Shown(ReadPlayerId(text)), id) << ToUtf8(text);
    EXPECT_EQ(Shown(ReadInt32(text)), integer) << ToUtf8(text);
  }
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
      {"colour tokens keep their low byte", R"(hx.sendserver 5 "Hi" 300 -1 12.9)", "{}", R"(to 5, 44 255 12, "Hi")"},
      // Token n-3 is the message's last word with its closing quote.
      {"two numbers: configured", R"(hx.sendserver 0 "Hello there" 0 255)", Odd, R"(to 0, 44 255 2, "Hello there")"},
      {"missing channels: zero", R"(hx.sendserver 0 "x")", R"({"Heraldix": {"ServerMessageColor": {"G": 9}}})",
       R"(to 0, 0 9 0, "x")"},
      {"document null", R"(hx.sendserver 0 "x")", "null", "configuration error"},
      {"id only", "hx.sendchat 17", "{}", R"(to 17 from Heraldix, 0 0 0, "")"},
      // Only the first and the last of the five numbers are tested before they are read.
      {"inner numbers untested", R"(hx.sendnotification 0 "M" 4 10abc 1 2 3 i)", "{}",
       R"(to 0, 1 2 3, scale 4 time 10 icon i, "M")"},
      {"time without digits", R"(hx.sendnotification 0 "M" 4 x 1 2 3 i)", "{}", "argument error"},
      {"fewer than six tokens carry no numbers", "hx.sendnotification 2 3 4 5",
       R"({"Heraldix": {"NotificationDisplayScale": 6, "NotificationDisplayTime": true}})",
       R"(to 2, 0 0 0, scale 6 time 1 icon none, "")"},
      {"any mode, unchecked", R"(hx.chatasplayer 1 -1 "x")", "{}", R"(from 1 mode -1, "x")"},
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

// A reload without an issuer is told in the administrator scenarios; one without a connection only here.
TEST_F(Commands, HandlersWithoutALineOrSomeoneToAnswerDeliverNothingButAReloadTakesEffect) {
  game.Line("join 1 Alice");
  FString line = Line(R"(hx.sendserver 0 "x" 1 2 3)");
  RCONPacket packet;
  packet.Body = Line(R"(hx.chatasplayer 1 0 "x")");
  for (auto* command : {&SendServerCmd, &SendChatCmd, &SendNotificationCmd, &ChatAsPlayerCmd}) {
    command(nullptr, &line, false);
    command(game.Player(1), nullptr, false);
  }
  for (auto* command : {&SendServerRcon, &SendChatRcon, &SendNotificationRcon, &ChatAsPlayerRcon}) {
    command(nullptr, &packet, nullptr);
  }
  game.Dir().WriteConfig(R"({"Heraldix": {}})");
  ReloadRcon(nullptr, nullptr, nullptr);
  EXPECT_EQ(Config(), json::parse(R"({"Heraldix": {}})"));
  for (const char* event : {"server", "chat", "notification", "rcon", "say"}) EXPECT_TRUE(game.Of(event).empty());
  ReplaceConfig(json());
}
