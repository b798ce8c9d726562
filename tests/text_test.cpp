// Unit tests of FString on the game allocator, the text conversions and operations, colours and markup.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/Support.h"
#include "text/Colour.h"
#include "text/FStringArray.h"
#include "text/RichColor.h"
#include "text/Text.h"

namespace {

using nlohmann::json;

// Every buffer lives on the game allocator, so each test runs with the game in place and must give back
// every block it took.
class Text : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(game.PluginBlocks(), 0) << "blocks left on the game allocator";
    for (const nlohmann::json& fault : game.Of("fault")) ADD_FAILURE() << "fault: " << fault.dump();
  }
  heraldix::test::LiveGame game;
};

FString Wide(std::u16string_view text) { return FString(text); }

std::string FormatError(std::u16string_view text) {
  try {
    FormatText(text);
  } catch (const fmt::format_error& error) {
    return error.what();
  }
  return "no error";
}

std::string JsonError(const json& value, ColourBytes (*read)(const json&)) {
  try {
    read(value);
  } catch (const json::exception& error) {
    return error.what();
  }
  return "no error";
}

ColourBytes Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return ColourBytes{r, g, b, 255}; }

}  // namespace

// --- FString and the game allocator ---------------------------------------------------------------

TEST_F(Text, EmptyTextHasNoBuffer) {
  const FString none;
  const FString fromEmpty(u"");
  for (const FString* text : {&none, &fromEmpty}) {
    EXPECT_EQ(text->Data, nullptr);
    EXPECT_EQ(text->ArrayNum, 0);
    EXPECT_EQ(text->ArrayMax, 0);
    EXPECT_TRUE(text->IsEmpty());
  }
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Text, TextCountsItsTerminatingZero) {
  const FString text(u"abc");
  ASSERT_NE(text.Data, nullptr);
  EXPECT_EQ(text.ArrayNum, 4);
  EXPECT_EQ(text.Data[3], u'\0');
  EXPECT_EQ(text.Len(), 3);
  EXPECT_EQ(text.View(), u"abc");
  EXPECT_EQ(game.PluginBlocks(), 1);
}

TEST_F(Text, CopyHasCapacityEqualToCount) {
  const FString original(u"hello");
  const FString copy(original);  // NOLINT(performance-unnecessary-copy-initialization): the copy is the test
  EXPECT_NE(copy.Data, original.Data);
  EXPECT_EQ(copy.View(), u"hello");
  EXPECT_EQ(copy.ArrayNum, 6);
  EXPECT_EQ(copy.ArrayMax, 6);
  EXPECT_EQ(game.PluginBlocks(), 2);
}

TEST_F(Text, CopyAssignmentResizesTheBlockItHasToTheExactCount) {
  FString target(u"a much longer text than the source");
  const FString source(u"short");
  target = source;
  EXPECT_EQ(target.View(), u"short");
  EXPECT_EQ(target.ArrayNum, 6);
  EXPECT_EQ(target.ArrayMax, 6);
  EXPECT_EQ(game.PluginBlocks(), 2);

  target = FString();
  EXPECT_EQ(target.Data, nullptr);
  EXPECT_EQ(game.PluginBlocks(), 1);

  const FString& alias = target;
  target = alias;
  EXPECT_TRUE(target.IsEmpty());
}

TEST_F(Text, MoveHandsTheBlockOver) {
  FString source(u"moved");
  const char16_t* block = source.Data;
  FString moved(std::move(source));
  EXPECT_EQ(moved.Data, block);
  EXPECT_EQ(source.Data, nullptr);  // NOLINT(bugprone-use-after-move): a moved-from text is empty
  EXPECT_EQ(source.ArrayNum, 0);

  FString other(u"other");
  other = std::move(moved);
  EXPECT_EQ(other.Data, block);
  EXPECT_EQ(other.View(), u"moved");
  EXPECT_EQ(game.PluginBlocks(), 1);
}

TEST_F(Text, ResizeTakesANewBlockOrGrowsTheOneGiven) {
  void* block = GameMemory::Resize(nullptr, 8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(game.PluginBlocks(), 1);
  block = GameMemory::Resize(block, 4096);
  EXPECT_EQ(game.PluginBlocks(), 1);
  GameMemory::Free(block);
  GameMemory::Free(nullptr);
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Text, GrowthRuleStartsAtFourThenAddsThreeEighthsAndSixteen) {
  EXPECT_EQ(GameMemory::GrowCapacity(0, 1), 4);
  EXPECT_EQ(GameMemory::GrowCapacity(0, 4), 4);
  EXPECT_EQ(GameMemory::GrowCapacity(0, 5), 5 + 1 + 16);
  EXPECT_EQ(GameMemory::GrowCapacity(4, 5), 22);
  EXPECT_EQ(GameMemory::GrowCapacity(22, 23), 23 + 8 + 16);
  EXPECT_EQ(GameMemory::GrowCapacity(2, 3), 3 + 1 + 16);  // the small start only applies from nothing
  EXPECT_EQ(GameMemory::GrowCapacity(100, 80), 100);      // room enough: unchanged
  EXPECT_EQ(GameMemory::GrowCapacity(0, 2'000'000'000), 2'147'483'647);
}

TEST_F(Text, ArrayGrowsByTheRuleAndFreesEverythingWhenEmptied) {
  FStringArray array;
  array.Add(FString(u"one"));
  EXPECT_EQ(array.Raw().ArrayMax, 4);
  for (int i = 0; i < 4; ++i) array.Add(FString(u"more"));
  EXPECT_EQ(array.Num(), 5);
  EXPECT_EQ(array.Raw().ArrayMax, 22);
  EXPECT_EQ(array[0].View(), u"one");
  EXPECT_EQ(array[4].View(), u"more");
  EXPECT_EQ(game.PluginBlocks(), 6);  // the element block and five texts

  array.Empty();
  EXPECT_EQ(array.Num(), 0);
  EXPECT_EQ(array.Raw().Data, nullptr);
  EXPECT_EQ(game.PluginBlocks(), 0);
  array.Add(FString());
  EXPECT_EQ(array.Num(), 1);
  EXPECT_EQ(array.Raw().ArrayMax, 4);
}

// --- Conversions ----------------------------------------------------------------------------------

TEST_F(Text, WidenAsciiTurnsEveryByteAboveAsciiIntoAQuestionMark) {
  EXPECT_EQ(WidenAscii("hx.reload").View(), u"hx.reload");
  EXPECT_EQ(WidenAscii("\xC3\xA9").View(), u"??");  // é in UTF-8
  EXPECT_EQ(WidenAscii("a\x7F\x80z").View(), u"a\x7F?z");
  const FString empty = WidenAscii("");
  EXPECT_EQ(empty.Data, nullptr);
  EXPECT_EQ(WidenAscii("abc").ArrayNum, 4);
}

TEST_F(Text, FromUtf8DecodesAndStopsAtTheFirstZero) {
  EXPECT_EQ(FromUtf8("caf\xC3\xA9 \xE2\x9C\x93").View(), u"café ✓");
  EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80").View(), u"\U0001F600");
  EXPECT_EQ(FromUtf8(std::string("ab\0cd", 5)).View(), u"ab");
  EXPECT_EQ(FromUtf8(std::string("\0x", 2)).Data, nullptr);
  EXPECT_EQ(FromUtf8("").Data, nullptr);
  // What follows the zero never matters, whatever it holds; what comes before it is decoded in full.
  EXPECT_EQ(FromUtf8(std::string("ab\0\xC3\xA9", 5)).View(), u"ab");
  EXPECT_EQ(FromUtf8(std::string("\xC3\xA9\0x", 4)).View(), u"é");
  EXPECT_EQ(FromUtf8("a\xFF\x7F").View(), u"a\uFFFD\x7F");
}

TEST_F(Text, ConvertedStringsAreExactlyAsLongAsTheirTextAndTerminated) {
  for (const FString& text : {WidenAscii("plain"), FromUtf8("plain"), FromUtf8("caf\xC3\xA9!")}) {
    ASSERT_NE(text.Data, nullptr);
    EXPECT_EQ(text.ArrayNum, text.ArrayMax);
    EXPECT_EQ(text.Data[text.Len()], u'\0');
    EXPECT_EQ(text.View().find(u'\0'), std::u16string_view::npos);
  }
}

TEST_F(Text, ToUtf8RoundTripsEveryPlane) {
  const std::u16string samples[] = {u"plain", u"café", u"€ and ✓", u"\U0001F600 pair", u"\U0010FFFF", u"\u07FF\u0800"};
  for (const std::u16string& sample : samples) {
    const FString text(sample);
    EXPECT_EQ(FromUtf8(ToUtf8(text)).View(), sample);
  }
  EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(u"\u00E9"), "\xC3\xA9");
  EXPECT_EQ(ToUtf8(FString()), "");
}

TEST_F(Text, ToUtf8ReplacesUnpairedSurrogates) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(ToUtf8(std::u16string_view(u"a\xD800" u"b")), "a" + replacement + "b");
  EXPECT_EQ(ToUtf8(std::u16string_view(u"a\xDC00")), "a" + replacement);
  EXPECT_EQ(ToUtf8(std::u16string_view(u"\xD83D")), replacement);
  EXPECT_EQ(ToUtf8(std::u16string_view(u"\xDE00\xD83D")), replacement + replacement);  // reversed pair
  EXPECT_EQ(ToUtf8(std::u16string_view(u"\xD83D\xD83D\xDE00")), replacement + "\xF0\x9F\x98\x80");
}

TEST_F(Text, ToUtf8KeepsZerosInsideTheText) {
  const FString text(std::u16string_view(u"a\0b", 3));
  EXPECT_EQ(ToUtf8(text), std::string("a\0b", 3));
}

// --- FormatText -----------------------------------------------------------------------------------

TEST_F(Text, FormatTextUndoublesBracesAndKeepsEverythingElse) {
  EXPECT_EQ(FormatText(u"50%").View(), u"50%");
  EXPECT_EQ(FormatText(u"{{x}}").View(), u"{x}");
  EXPECT_EQ(FormatText(u"a}}b{{").View(), u"a}b{");
  EXPECT_EQ(FormatText(u"ünïcödé \U0001F600").View(), u"ünïcödé \U0001F600");
  const FString empty = FormatText(u"");
  EXPECT_EQ(empty.Data, nullptr);
  EXPECT_EQ(FormatText(u"{{}}").ArrayMax, 3);
}

TEST_F(Text, FormatTextRaisesTheFormattersOwnErrors) {
  EXPECT_EQ(FormatError(u"{x}"), "argument not found");
  EXPECT_EQ(FormatError(u"{}"), "argument not found");
  EXPECT_EQ(FormatError(u"{0}"), "argument not found");
  EXPECT_EQ(FormatError(u"}"), "unmatched '}' in format string");
  EXPECT_EQ(FormatError(u"a{{b}}c}"), "unmatched '}' in format string");
  EXPECT_EQ(FormatError(u"{"), "invalid format string");
  EXPECT_EQ(FormatError(u"{ }"), "invalid format string");
  EXPECT_EQ(FormatError(u"trailing {"), "invalid format string");
  EXPECT_EQ(game.PluginBlocks(), 0);
}

// --- IsNumeric and SplitIntoArray ------------------------------------------------------------------

TEST_F(Text, IsNumericTakesOneSignDigitsAndAtMostOnePoint) {
  for (const char16_t* yes : {u"0", u"12", u"-3", u"+3", u"1.5", u"12.", u".5", u"-", u"+", u".", u"-.", u"0123"}) {
    EXPECT_TRUE(IsNumeric(Wide(yes))) << ToUtf8(std::u16string_view(yes));
  }
  for (const char16_t* no : {u"1.2.3", u"1e5", u" 1", u"1 ", u"1,5", u"--1", u"+-1", u"1-", u"abc", u"٣", u"１"}) {
    EXPECT_FALSE(IsNumeric(Wide(no))) << ToUtf8(std::u16string_view(no));
  }
  EXPECT_FALSE(IsNumeric(FString()));
  EXPECT_FALSE(IsNumeric(FString(std::u16string_view(u"1\0" u"2", 3))));
}

TEST_F(Text, SplitDropsEmptyPieces) {
  FStringArray pieces;
  EXPECT_EQ(SplitIntoArray(Wide(u"a  b"), u" ", pieces), 2);
  EXPECT_EQ(pieces[0].View(), u"a");
  EXPECT_EQ(pieces[1].View(), u"b");

  EXPECT_EQ(SplitIntoArray(Wide(u" "), u" ", pieces), 0);
  EXPECT_EQ(pieces.Num(), 0);

  EXPECT_EQ(SplitIntoArray(Wide(u"  lead and trail  "), u" ", pieces), 3);
  EXPECT_EQ(pieces[2].View(), u"trail");

  EXPECT_EQ(SplitIntoArray(Wide(u"no delimiter here"), u"|", pieces), 1);
  EXPECT_EQ(pieces[0].View(), u"no delimiter here");
}

TEST_F(Text, SplitGivesNothingForAnEmptySourceOrDelimiter) {
  FStringArray pieces;
  SplitIntoArray(Wide(u"x y"), u" ", pieces);
  EXPECT_EQ(SplitIntoArray(Wide(u"abc"), u"", pieces), 0);
  EXPECT_EQ(pieces.Num(), 0);  // emptied even so
  EXPECT_EQ(SplitIntoArray(FString(), u" ", pieces), 0);
  EXPECT_EQ(game.PluginBlocks(), 0);
}

TEST_F(Text, SplitMatchesMultiUnitDelimitersCaseSensitively) {
  FStringArray pieces;
  EXPECT_EQ(SplitIntoArray(Wide(u"a::b:::c::"), u"::", pieces), 3);
  EXPECT_EQ(pieces[0].View(), u"a");
  EXPECT_EQ(pieces[1].View(), u"b");
  EXPECT_EQ(pieces[2].View(), u":c");
  EXPECT_EQ(SplitIntoArray(Wide(u"oneANDtwoandthree"), u"AND", pieces), 2);
  EXPECT_EQ(pieces[1].View(), u"twoandthree");
}

TEST_F(Text, SplitCanTakeItsSourceFromTheArrayItFills) {
  FStringArray pieces;
  SplitIntoArray(Wide(u"x,y;z"), u";", pieces);
  EXPECT_EQ(SplitIntoArray(pieces[0], u",", pieces), 2);
  EXPECT_EQ(pieces[0].View(), u"x");
  EXPECT_EQ(pieces[1].View(), u"y");
}

// --- Colours --------------------------------------------------------------------------------------

TEST_F(Text, SrgbDecodingMeetsItsAnchors) {
  const LinearColour black = SrgbToLinear(ColourBytes{0, 0, 0, 0});
  EXPECT_EQ(black.R, 0.0F);
  EXPECT_EQ(black.A, 0.0F);
  const LinearColour white = SrgbToLinear(ColourBytes{255, 255, 255, 255});
  EXPECT_EQ(white.R, 1.0F);
  EXPECT_EQ(white.A, 255.0F * 0.003921569F);
  const LinearColour mid = SrgbToLinear(ColourBytes{128, 10, 11, 128});
  EXPECT_FLOAT_EQ(mid.R, 0.2158605F);
  EXPECT_EQ(mid.G, static_cast<float>(10.0 / 255.0 / 12.92));                           // linear segment
  EXPECT_EQ(mid.B, static_cast<float>(std::pow((11.0 / 255.0 + 0.055) / 1.055, 2.4)));  // curve
  EXPECT_EQ(mid.A, 128.0F * 0.003921569F);
}

TEST_F(Text, SrgbDecodingRisesWithEveryByte) {
  float previous = -1.0F;
  for (int i = 0; i < 256; ++i) {
    const float value = SrgbToLinear(ColourBytes{static_cast<std::uint8_t>(i), 0, 0, 255}).R;
    EXPECT_GT(value, previous) << i;
    previous = value;
  }
}

TEST_F(Text, ColourObjectIsCutToBytesWithAlphaOpaque) {
  EXPECT_EQ(ColourFromObject(json::parse(R"({"R": 300, "G": -1, "B": 2.9})")), Rgb(44, 255, 2));
  EXPECT_EQ(ColourFromObject(json::parse(R"({"R": 256, "G": 255, "B": 0})")), Rgb(0, 255, 0));
  EXPECT_EQ(ColourFromObject(json::parse(R"({"G": 7})")), Rgb(0, 7, 0));
  EXPECT_EQ(ColourFromObject(json::object()), Rgb(0, 0, 0));
}

TEST_F(Text, ColourObjectReadsBlueFirst) {
  EXPECT_NE(JsonError(json::parse(R"({"R": "red", "B": [1]})"), ColourFromObject).find("must be number, but is array"),
            std::string::npos);
  EXPECT_NE(JsonError(json::array(), ColourFromObject).find("cannot use value() with array"), std::string::npos);
}

TEST_F(Text, ColourArrayTruncatesFloatsAndCutsToBytes) {
  EXPECT_EQ(ColourFromArray(json::parse("[255, 128.9, -1]")), Rgb(255, 128, 255));
  EXPECT_EQ(ColourFromArray(json::parse("[300, -0.5, 511.99]")), Rgb(44, 0, 255));
  EXPECT_EQ(ColourFromArray(json::parse("[1, 2, 3, \"ignored\", {}]")), Rgb(1, 2, 3));
  EXPECT_EQ(ColourFromArray(json::parse("[true, false, 0]")), Rgb(1, 0, 0));
}

TEST_F(Text, ColourArrayTakesMissingChannelsAsZero) {
  EXPECT_EQ(ColourFromArray(json::parse("[9, 8]")), Rgb(9, 8, 0));
  EXPECT_EQ(ColourFromArray(json::array()), Rgb(0, 0, 0));
}

TEST_F(Text, ColourArraySaturatesPastTheIntegerRange) {
  // As colour objects' integer reads do: the largest int32 is 255 in its low byte, the smallest 0.
  EXPECT_EQ(ColourFromArray(json::parse("[1e300, -1e300, 3e9]")), Rgb(255, 0, 255));
  EXPECT_EQ(ColourFromArray(json::parse("[2147483520, -2147483648, 1e-30]")), Rgb(0x80, 0, 0));
}

TEST_F(Text, ColourArrayRaisesTheJsonTypeErrors) {
  EXPECT_EQ(JsonError(json::object(), ColourFromArray), "[json.exception.type_error.302] type must be array, but is object");
  EXPECT_EQ(JsonError(json(5), ColourFromArray), "[json.exception.type_error.302] type must be array, but is number");
  EXPECT_EQ(JsonError(json(), ColourFromArray), "[json.exception.type_error.302] type must be array, but is null");
  EXPECT_EQ(JsonError(json::parse(R"([1, "2", 3])"), ColourFromArray),
            "[json.exception.type_error.302] type must be number, but is string");
  EXPECT_EQ(JsonError(json::parse("[1, 2, null]"), ColourFromArray),
            "[json.exception.type_error.302] type must be number, but is null");
}

// --- RichColor markup -------------------------------------------------------------------------------

TEST_F(Text, MarkupScalesBytesToUnitChannels) {
  EXPECT_EQ(RichColorMarkup(Wide(u"Hi"), Rgb(255, 0, 0), false), "<RichColor Color=\"1, 0, 0, 1\">Hi</>");
  EXPECT_EQ(RichColorMarkup(Wide(u"Hi"), Rgb(2, 0, 0), false), "<RichColor Color=\"0.00784314, 0, 0, 1\">Hi</>");
  EXPECT_EQ(RichColorMarkup(Wide(u"x"), Rgb(100, 200, 50), false),
            "<RichColor Color=\"0.392157, 0.784314, 0.196078, 1\">x</>");
  EXPECT_EQ(RichColorMarkup(Wide(u"x"), ColourBytes{255, 255, 255, 0}, false), "<RichColor Color=\"1, 1, 1, 0\">x</>");
}

TEST_F(Text, MarkupKeepsChannelsThatAreAllAtMostOne) {
  EXPECT_EQ(RichColorMarkup(Wide(u"Hi"), Rgb(1, 0, 0), false), "<RichColor Color=\"1, 0, 0, 255\">Hi</>");
  EXPECT_EQ(RichColorMarkup(Wide(u"Hi"), Rgb(1, 1, 1), false), "<RichColor Color=\"1, 1, 1, 255\">Hi</>");
  EXPECT_EQ(RichColorMarkup(Wide(u"Hi"), ColourBytes{0, 0, 0, 7}, false), "<RichColor Color=\"0, 0, 0, 7\">Hi</>");
}

TEST_F(Text, MarkupEndsWithALineFeedOnlyForMultilineMessages) {
  EXPECT_EQ(RichColorMarkup(Wide(u"one"), Rgb(0, 255, 0), true), "<RichColor Color=\"0, 1, 0, 1\">one</>\n");
  EXPECT_EQ(RichColorMarkup(FString(), Rgb(0, 255, 0), false), "<RichColor Color=\"0, 1, 0, 1\"></>");
}

TEST_F(Text, MarkupCarriesTheLineUnchangedAsUtf8) {
  EXPECT_EQ(RichColorMarkup(Wide(u"<b>{x}</b> é"), Rgb(255, 0, 0), false),
            "<RichColor Color=\"1, 0, 0, 1\"><b>{x}</b> \xC3\xA9</>");
}
