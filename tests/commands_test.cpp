// Unit tests of how administrator command lines are taken apart.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "commands/AdminCommands.h"
#include "commands/Arguments.h"
#include "config/Config.h"
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
std::string Text(const FString& text) { return ToUtf8(text); }

ColourBytes Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return ColourBytes{r, g, b, 255}; }

std::optional<std::uint64_t> Id(std::u16string_view text) { return ReadPlayerId(text); }
std::optional<std::int32_t> Int(std::u16string_view text) { return ReadInt32(text); }

constexpr std::uint64_t MaxId = std::numeric_limits<std::uint64_t>::max();

}  // namespace

// --- Quoted text and tokens -----------------------------------------------------------------------

TEST_F(Commands, QuotedTextIsBetweenTheFirstQuoteAndTheNext) {
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendserver 0 "Hello world" 255 0 0)"))), "Hello world");
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendserver 0 "a" "b")"))), "a");
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendserver 0 "runs to the end)"))), "runs to the end");
  EXPECT_EQ(Text(QuotedText(Line("hx.sendserver 0 no quotes"))), "");
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendserver 0 "")"))), "");
  EXPECT_EQ(Text(QuotedText(Line("hx.sendserver"))), "");
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendserver 0 "ünïcödé ✓")"))), "ünïcödé ✓");
}

TEST_F(Commands, TwoQuotesInARowMoveTheFollowingPieceUp) {
  // The empty piece between the two quotes is dropped: the single space after them is the text.
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendchat 0 Admin "" "word")"))), " ");
  EXPECT_EQ(Text(QuotedText(Line(R"(hx.sendchat 0 Admin ""word")"))), "word");
}

TEST_F(Commands, TokensAreCutAtSpacesOnlyAndKeepTheirQuotes) {
  const Tokens tokens(Line("hx.sendserver   0 \"two words\"\t255  1"));
  ASSERT_EQ(tokens.Count(), 5);
  EXPECT_EQ(tokens.At(0), u"hx.sendserver");
  EXPECT_EQ(tokens.At(1), u"0");
  EXPECT_EQ(tokens.At(2), u"\"two");
  EXPECT_EQ(tokens.At(3), u"words\"\t255");
  EXPECT_EQ(tokens.At(4), u"1");
  EXPECT_EQ(tokens.At(5), u"");
  EXPECT_EQ(tokens.At(-1), u"");
}

TEST_F(Commands, OnlyTokensOfTheLineCanBeNumeric) {
  const Tokens tokens(Line("hx.x 1 - . 12.5 1e5 12abc"));
  EXPECT_FALSE(tokens.IsNumericAt(0));
  EXPECT_TRUE(tokens.IsNumericAt(1));
  EXPECT_TRUE(tokens.IsNumericAt(2));  // a lone sign passes the test but reads no digit
  EXPECT_TRUE(tokens.IsNumericAt(3));
  EXPECT_TRUE(tokens.IsNumericAt(4));
  EXPECT_FALSE(tokens.IsNumericAt(5));
  EXPECT_FALSE(tokens.IsNumericAt(6));
  EXPECT_FALSE(tokens.IsNumericAt(-1));
  EXPECT_FALSE(tokens.IsNumericAt(7));
}

// --- Conversions ---------------------------------------------------------------------------------

TEST_F(Commands, PlayerIdsAreUnsigned64BitDecimals) {
  EXPECT_EQ(Id(u"0"), 0U);
  EXPECT_EQ(Id(u"76561198000000001"), 76561198000000001U);
  EXPECT_EQ(Id(u"18446744073709551615"), MaxId);
  EXPECT_EQ(Id(u"+42"), 42U);
  EXPECT_EQ(Id(u"  \t42"), 42U);
  EXPECT_EQ(Id(u"00000000000000000000000000042"), 42U);
  EXPECT_EQ(Id(u"123abc"), 123U);
  EXPECT_EQ(Id(u"12.9"), 12U);
  EXPECT_EQ(Id(u"7\"x"), 7U);
}

TEST_F(Commands, ANegativePlayerIdWrapsModulo2To64) {
  EXPECT_EQ(Id(u"-1"), MaxId);
  EXPECT_EQ(Id(u"-18446744073709551615"), 1U);
  EXPECT_EQ(Id(u"-0"), 0U);
}

TEST_F(Commands, PlayerIdsWithoutDigitsOrBeyond64BitsFail) {
  EXPECT_EQ(Id(u"18446744073709551616"), std::nullopt);
  EXPECT_EQ(Id(u"-18446744073709551616"), std::nullopt);
  EXPECT_EQ(Id(u"99999999999999999999999999"), std::nullopt);
  EXPECT_EQ(Id(u""), std::nullopt);
  EXPECT_EQ(Id(u"abc"), std::nullopt);
  EXPECT_EQ(Id(u"-"), std::nullopt);
  EXPECT_EQ(Id(u"+"), std::nullopt);
  EXPECT_EQ(Id(u"."), std::nullopt);
  EXPECT_EQ(Id(u"--1"), std::nullopt);
  EXPECT_EQ(Id(u"- 1"), std::nullopt);
  EXPECT_EQ(Id(u"\"5"), std::nullopt);
  EXPECT_EQ(Id(u"\uFF15"), std::nullopt);  // a full-width digit is no decimal digit here
}

TEST_F(Commands, IntegersMustFit32SignedBits) {
  EXPECT_EQ(Int(u"2147483647"), 2147483647);
  EXPECT_EQ(Int(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(Int(u"2147483648"), std::nullopt);
  EXPECT_EQ(Int(u"-2147483649"), std::nullopt);
  EXPECT_EQ(Int(u"4294967296"), std::nullopt);
  EXPECT_EQ(Int(u"18446744073709551617"), std::nullopt);
  EXPECT_EQ(Int(u"-0"), 0);
  EXPECT_EQ(Int(u"+7"), 7);
}

TEST_F(Commands, IntegersStopAtTheFirstNonDigit) {
  EXPECT_EQ(Int(u"12.7"), 12);
  EXPECT_EQ(Int(u"255x"), 255);
  EXPECT_EQ(Int(u"-3.9"), -3);
  EXPECT_EQ(Int(u"1e5"), 1);
  EXPECT_EQ(Int(u"-"), std::nullopt);
  EXPECT_EQ(Int(u"+"), std::nullopt);
  EXPECT_EQ(Int(u"."), std::nullopt);
  EXPECT_EQ(Int(u".5"), std::nullopt);
  EXPECT_EQ(Int(u"x255"), std::nullopt);
}

// --- hx.sendserver -------------------------------------------------------------------------------

TEST_F(Commands, SendServerTakesItsColourFromTheLastThreeTokens) {
  const auto arguments = ReadSendServerArguments(Line(R"(hx.sendserver 0 "Hello" 255 0 0)"), json::object());
  EXPECT_EQ(arguments.PlayerId, 0U);
  EXPECT_EQ(arguments.Colour, Rgb(255, 0, 0));
  EXPECT_EQ(Text(arguments.Message), "Hello");
}

TEST_F(Commands, ColourTokensKeepTheirLowByte) {
  const auto arguments = ReadSendServerArguments(Line(R"(hx.sendserver 5 "Hi" 300 -1 12.9)"), json::object());
  EXPECT_EQ(arguments.PlayerId, 5U);
  EXPECT_EQ(arguments.Colour, Rgb(44, 255, 12));
}

TEST_F(Commands, SendServerFallsBackToTheConfiguredColourUnlessAllThreeAreNumbers) {
  const json config = {{"Heraldix", {{"ServerMessageColor", {{"R", 300}, {"G", -1}, {"B", 2.9}}}}}};
  // Token n-3 is the message's last word with its closing quote.
  const auto twoNumbers = ReadSendServerArguments(Line(R"(hx.sendserver 0 "Hello there" 0 255)"), config);
  EXPECT_EQ(twoNumbers.Colour, Rgb(44, 255, 2));
  EXPECT_EQ(Text(twoNumbers.Message), "Hello there");
  // Numbers in front of the message are not trailing values.
  const auto none = ReadSendServerArguments(Line(R"(hx.sendserver 1 2 3 "x")"), config);
  EXPECT_EQ(none.Colour, Rgb(44, 255, 2));
  EXPECT_EQ(none.PlayerId, 1U);
}

TEST_F(Commands, MissingConfiguredValuesAreBlack) {
  EXPECT_EQ(ReadSendServerArguments(Line(R"(hx.sendserver 0 "x")"), json::object()).Colour, Rgb(0, 0, 0));
  const json partial = {{"Heraldix", {{"ServerMessageColor", {{"G", 9}}}}}};
  EXPECT_EQ(ReadSendServerArguments(Line(R"(hx.sendserver 0 "x")"), partial).Colour, Rgb(0, 9, 0));
}

TEST_F(Commands, SendServerWithNothingAfterTheNameAddressesEveryoneWithNoMessage) {
  const auto arguments = ReadSendServerArguments(Line("hx.sendserver"), json::object());
  EXPECT_EQ(arguments.PlayerId, 0U);
  EXPECT_TRUE(arguments.Message.IsEmpty());
}

TEST_F(Commands, ATokenThatDoesNotConvertFailsTheCommand) {
  const json config = json::object();
  EXPECT_THROW(ReadSendServerArguments(Line(R"(hx.sendserver abc "x")"), config), ArgumentError);
  EXPECT_THROW(ReadSendServerArguments(Line(R"(hx.sendserver 18446744073709551616 "x")"), config), ArgumentError);
  EXPECT_THROW(ReadSendServerArguments(Line(R"(hx.sendserver 0 "x" 2147483648 0 0)"), config), ArgumentError);
  EXPECT_THROW(ReadSendServerArguments(Line(R"(hx.sendserver 0 "x" 0 - 0)"), config), ArgumentError);
  EXPECT_THROW(ReadSendServerArguments(Line(R"(hx.sendserver 0 "x" 0 0 .)"), config), ArgumentError);
  EXPECT_NO_THROW(ReadSendServerArguments(Line(R"(hx.sendserver 0 "x" 2147483647 0 0)"), config));
}

TEST_F(Commands, AConfiguredValueOfTheWrongTypeRaisesTheJsonError) {
  const FString line = Line(R"(hx.sendserver 0 "x")");
  EXPECT_THROW(ReadSendServerArguments(line, json{{"Heraldix", {{"ServerMessageColor", "red"}}}}), json::exception);
  EXPECT_THROW(ReadSendServerArguments(line, json{{"Heraldix", {{"ServerMessageColor", {1, 2, 3}}}}}),
               json::exception);
  EXPECT_THROW(ReadSendServerArguments(line, json{{"Heraldix", {{"ServerMessageColor", {{"R", "1"}}}}}}),
               json::exception);
  EXPECT_THROW(ReadSendServerArguments(line, json{{"Heraldix", 5}}), json::exception);
  EXPECT_THROW(ReadSendServerArguments(line, json::array()), json::exception);
  EXPECT_THROW(ReadSendServerArguments(line, json()), json::exception);
}

TEST_F(Commands, ConfigurationIsReadOnlyWhenTheLineLacksTheValues) {
  const auto arguments = ReadSendServerArguments(Line(R"(hx.sendserver 0 "x" 1 2 3)"), json::array());
  EXPECT_EQ(arguments.Colour, Rgb(1, 2, 3));
}

// --- hx.sendchat ---------------------------------------------------------------------------------

TEST_F(Commands, SendChatTakesASenderFromToken2) {
  const auto arguments =
      ReadSendChatArguments(Line(R"(hx.sendchat 0 Admin "Hi there" 255 255 0)"), json::object());
  EXPECT_EQ(arguments.PlayerId, 0U);
  EXPECT_EQ(Text(arguments.Sender), "Admin");
  EXPECT_EQ(arguments.Colour, Rgb(255, 255, 0));
  EXPECT_EQ(Text(arguments.Message), "Hi there");
}

TEST_F(Commands, SendChatWithTheMessageInToken2HasTheDefaultSender) {
  const json config = {{"Heraldix", {{"ClientChatColour", {{"R", 1}, {"G", 2}, {"B", 3}}}}}};
  const auto arguments = ReadSendChatArguments(Line(R"(hx.sendchat 0 "Hello world")"), config);
  EXPECT_EQ(Text(arguments.Sender), "Heraldix");
  EXPECT_EQ(Text(arguments.Message), "Hello world");
  EXPECT_EQ(arguments.Colour, Rgb(1, 2, 3));
}

TEST_F(Commands, SendChatWithFewTokensAddressesEveryoneFromTheDefaultSender) {
  const auto bare = ReadSendChatArguments(Line("hx.sendchat"), json::object());
  EXPECT_EQ(bare.PlayerId, 0U);
  EXPECT_EQ(Text(bare.Sender), "Heraldix");
  EXPECT_TRUE(bare.Message.IsEmpty());
  const auto idOnly = ReadSendChatArguments(Line("hx.sendchat 17"), json::object());
  EXPECT_EQ(idOnly.PlayerId, 17U);
  EXPECT_EQ(Text(idOnly.Sender), "Heraldix");
}

TEST_F(Commands, SendChatReadsItsOwnConfiguredColour) {
  const json config = {{"Heraldix",
                        {{"ClientChatColour", {{"R", 7}}}, {"ServerMessageColor", {{"R", 9}}}}}};
  EXPECT_EQ(ReadSendChatArguments(Line(R"(hx.sendchat 0 A "m")"), config).Colour, Rgb(7, 0, 0));
  EXPECT_THROW(ReadSendChatArguments(Line(R"(hx.sendchat 0 A "m")"), json{{"Heraldix", {{"ClientChatColour", 1}}}}),
               json::exception);
  EXPECT_THROW(ReadSendChatArguments(Line(R"(hx.sendchat x A "m")"), json::object()), ArgumentError);
}

// --- hx.sendnotification -------------------------------------------------------------------------

TEST_F(Commands, NotificationNumbersAndIconComeFromTheEndOfTheLine) {
  const auto arguments =
      ReadSendNotificationArguments(Line(R"(hx.sendnotification 0 "Msg" 2 10 255 255 0 x)"), json::object());
  EXPECT_EQ(arguments.PlayerId, 0U);
  EXPECT_EQ(arguments.DisplayScale, 2.0F);
  EXPECT_EQ(arguments.DisplayTime, 10.0F);
  EXPECT_EQ(arguments.Colour, Rgb(255, 255, 0));
  ASSERT_TRUE(arguments.IconPath.has_value());
  EXPECT_EQ(Text(*arguments.IconPath), "x");
  EXPECT_EQ(Text(arguments.Message), "Msg");
}

TEST_F(Commands, WithoutTheIconTheNumbersShiftAndComeFromConfiguration) {
  const json config = {{"Heraldix",
                        {{"NotificationDisplayScale", 3},
                         {"NotificationDisplayTime", 7.9},
                         {"NotificationColor", {{"R", 9}, {"B", 256}}}}}};
  const auto arguments = ReadSendNotificationArguments(Line(R"(hx.sendnotification 0 "Msg" 2 10 255 255 0)"), config);
  EXPECT_EQ(arguments.DisplayScale, 3.0F);
  EXPECT_EQ(arguments.DisplayTime, 7.0F);
  EXPECT_EQ(arguments.Colour, Rgb(9, 0, 0));
  EXPECT_FALSE(arguments.IconPath.has_value());
}

TEST_F(Commands, OnlyTheFirstAndLastOfTheFiveNumbersAreTested) {
  const json config = json::object();
  const auto letters = ReadSendNotificationArguments(Line(R"(hx.sendnotification 0 "M" 4 10abc 1 2 3 i)"), config);
  EXPECT_EQ(letters.DisplayTime, 10.0F);
  EXPECT_EQ(letters.Colour, Rgb(1, 2, 3));
  EXPECT_THROW(ReadSendNotificationArguments(Line(R"(hx.sendnotification 0 "M" 4 x 1 2 3 i)"), config), ArgumentError);
  EXPECT_THROW(ReadSendNotificationArguments(Line(R"(hx.sendnotification 0 "M" - 1 1 2 3 i)"), config), ArgumentError);
  EXPECT_THROW(ReadSendNotificationArguments(Line(R"(hx.sendnotification 0 "M" 1 1 1 2 2147483648 i)"), config),
               ArgumentError);
}

TEST_F(Commands, FewerThanSixTokensNeverCarryTheNotificationNumbers) {
  const json config = {{"Heraldix", {{"NotificationDisplayScale", 6}, {"NotificationDisplayTime", true}}}};
  const auto arguments = ReadSendNotificationArguments(Line("hx.sendnotification 2 3 4 5"), config);
  EXPECT_EQ(arguments.PlayerId, 2U);
  EXPECT_EQ(arguments.DisplayScale, 6.0F);
  EXPECT_EQ(arguments.DisplayTime, 1.0F);
  EXPECT_EQ(arguments.Colour, Rgb(0, 0, 0));
  EXPECT_FALSE(arguments.IconPath.has_value());
}

TEST_F(Commands, ABareNotificationCommandAsksForItsOwnNameAsIcon) {
  const auto arguments = ReadSendNotificationArguments(Line("hx.sendnotification"), json::object());
  EXPECT_EQ(arguments.PlayerId, 0U);
  EXPECT_EQ(arguments.DisplayScale, 0.0F);
  EXPECT_EQ(arguments.DisplayTime, 0.0F);
  ASSERT_TRUE(arguments.IconPath.has_value());
  EXPECT_EQ(Text(*arguments.IconPath), "hx.sendnotification");
  EXPECT_TRUE(arguments.Message.IsEmpty());
}

TEST_F(Commands, NotificationConfigurationOfTheWrongTypeRaisesTheJsonError) {
  const FString line = Line(R"(hx.sendnotification 0 "M")");
  EXPECT_THROW(ReadSendNotificationArguments(line, json{{"Heraldix", {{"NotificationDisplayScale", "big"}}}}),
               json::exception);
  EXPECT_THROW(ReadSendNotificationArguments(line, json{{"Heraldix", {{"NotificationDisplayTime", nullptr}}}}),
               json::exception);
  EXPECT_THROW(ReadSendNotificationArguments(line, json{{"Heraldix", {{"NotificationColor", "blue"}}}}),
               json::exception);
  EXPECT_THROW(ReadSendNotificationArguments(line, json::array()), json::exception);
}

// --- hx.chatasplayer -----------------------------------------------------------------------------

TEST_F(Commands, ChatAsPlayerReadsIdModeAndMessage) {
  const auto arguments = ReadChatAsPlayerArguments(Line(R"(hx.chatasplayer 76561198000000001 2 "hello all")"));
  EXPECT_EQ(arguments.PlayerId, 76561198000000001U);
  EXPECT_EQ(arguments.SendMode, EChatSendMode::LocalChat);
  EXPECT_EQ(Text(arguments.Message), "hello all");
}

TEST_F(Commands, ChatAsPlayerHandsOnAnySendModeUnchecked) {
  EXPECT_EQ(static_cast<std::int32_t>(ReadChatAsPlayerArguments(Line(R"(hx.chatasplayer 1 77 "x")")).SendMode), 77);
  EXPECT_EQ(static_cast<std::int32_t>(ReadChatAsPlayerArguments(Line(R"(hx.chatasplayer 1 -1 "x")")).SendMode), -1);
}

TEST_F(Commands, ChatAsPlayerWithoutAMessageLeavesItEmpty) {
  EXPECT_TRUE(ReadChatAsPlayerArguments(Line("hx.chatasplayer 1 0")).Message.IsEmpty());
}

TEST_F(Commands, ChatAsPlayerNeedsAConvertibleIdAndMode) {
  EXPECT_THROW(ReadChatAsPlayerArguments(Line("hx.chatasplayer 1")), ArgumentError);
  EXPECT_THROW(ReadChatAsPlayerArguments(Line("hx.chatasplayer")), ArgumentError);
  EXPECT_THROW(ReadChatAsPlayerArguments(Line(R"(hx.chatasplayer x 0 "m")")), ArgumentError);
  EXPECT_THROW(ReadChatAsPlayerArguments(Line(R"(hx.chatasplayer 1 x "m")")), ArgumentError);
  EXPECT_THROW(ReadChatAsPlayerArguments(Line(R"(hx.chatasplayer 1 2147483648 "m")")), ArgumentError);
}

// --- Handlers at the edges -----------------------------------------------------------------------

namespace {

// Anything a player or an RCON client could have been handed.
std::size_t Deliveries(const heraldix::test::LiveGame& game) {
  std::size_t count = 0;
  for (const char* event : {"server", "chat", "notification", "rcon", "say"}) count += game.Of(event).size();
  return count;
}

}  // namespace

TEST_F(Commands, HandlersWithoutALineOrSomeoneToAnswerDoNothing) {
  game.Line("join 1 Alice");
  AShooterPlayerController* alice = game.Player(1);
  FString line = Line(R"(hx.sendserver 0 "x" 1 2 3)");
  SendServerCmd(nullptr, &line, false);
  SendChatCmd(nullptr, &line, false);
  SendNotificationCmd(nullptr, &line, false);
  ChatAsPlayerCmd(nullptr, &line, false);
  SendServerCmd(alice, nullptr, false);
  SendChatCmd(alice, nullptr, false);
  SendNotificationCmd(alice, nullptr, false);
  ChatAsPlayerCmd(alice, nullptr, false);
  RCONPacket packet;
  packet.Id = 7;
  packet.Body = Line(R"(hx.chatasplayer 1 0 "x")");
  SendServerRcon(nullptr, &packet, nullptr);
  SendChatRcon(nullptr, &packet, nullptr);
  SendNotificationRcon(nullptr, &packet, nullptr);
  ChatAsPlayerRcon(nullptr, &packet, nullptr);
  EXPECT_EQ(Deliveries(game), 0U);
}

TEST_F(Commands, AReloadNobodyCanBeAnsweredStillTakesEffect) {
  game.Dir().WriteConfig(R"({"Heraldix": {"ServerMessageColor": {"R": 5}}})");
  ReloadCmd(nullptr, nullptr, false);
  EXPECT_EQ(Config(), json::parse(R"({"Heraldix": {"ServerMessageColor": {"R": 5}}})"));

  game.Dir().WriteConfig(R"({"Heraldix": {}})");
  ReloadRcon(nullptr, nullptr, nullptr);
  EXPECT_EQ(Config(), json::parse(R"({"Heraldix": {}})"));

  // A failed reload keeps what was there.
  game.Dir().WriteConfig(R"({"Heraldix": )");
  ReloadRcon(nullptr, nullptr, nullptr);
  game.Dir().RemoveConfig();
  ReloadCmd(nullptr, nullptr, false);
  EXPECT_EQ(Config(), json::parse(R"({"Heraldix": {}})"));
  EXPECT_EQ(Deliveries(game), 0U);
  ReplaceConfig(json());
}
