// Unit tests of FString on the game allocator, the text conversions and operations, colours and markup.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/Address.h"
#include "host/GameFunctions.h"
#include "sim/host/Host.h"
#include "tests/support/Expect.h"
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
  void TearDown() override { heraldix::test::ExpectNoFaults(game); }
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

ColourBytes Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return ColourBytes{r, g, b, 255}; }

}  // namespace

// --- FString and the game allocator ---------------------------------------------------------------

TEST_F(Text, TextCountsItsTerminatingZeroAndEmptyTextHasNoBuffer) {
  for (const FString& empty : {FString(), FString(u"")}) {
    EXPECT_EQ(empty.Data, nullptr);
    EXPECT_EQ(empty.ArrayNum, 0);
    EXPECT_EQ(empty.ArrayMax, 0);
    EXPECT_TRUE(empty.IsEmpty());
  }
  EXPECT_EQ(game.PluginBlocks(), 0);
  const FString text(u"abc");
  ASSERT_NE(text.Data, nullptr);
  EXPECT_EQ(text.ArrayNum, 4);
  EXPECT_EQ(text.Data[3], u'\0');
  EXPECT_EQ(text.Len(), 3);
  EXPECT_EQ(text.View(), u"abc");
  EXPECT_EQ(game.PluginBlocks(), 1);
}

TEST_F(Text, CopiesTakeABlockOfExactlyTheirCountAndMovesHandTheBlockOver) {
  FString target(u"a much longer text than the source");
  const FString source(u"short");
  const FString copy(source);  // NOLINT(performance-unnecessary-copy-initialization): the copy is the test
  target = source;
  for (const FString* each : {&copy, static_cast<const FString*>(&target)}) {
    EXPECT_NE(each->Data, source.Data);
    EXPECT_EQ(each->View(), u"short");
    EXPECT_EQ(each->ArrayNum, 6);
    EXPECT_EQ(each->ArrayMax, 6);
  }
  EXPECT_EQ(game.PluginBlocks(), 3);
  target = FString();
  EXPECT_EQ(target.Data, nullptr);
  EXPECT_EQ(game.PluginBlocks(), 2);
  const FString& alias = target;
  target = alias;
  EXPECT_TRUE(target.IsEmpty());

  FString moving(u"moved");
  const char16_t* block = moving.Data;
  FString moved(std::move(moving));
  EXPECT_EQ(moved.Data, block);
  EXPECT_EQ(moving.Data, nullptr);  // NOLINT(bugprone-use-after-move): a moved-from text is empty
  EXPECT_EQ(moving.ArrayNum, 0);
  target = std::move(moved);
  EXPECT_EQ(target.Data, block);
  EXPECT_EQ(target.View(), u"moved");
  EXPECT_EQ(game.PluginBlocks(), 3);
}

// A game allocator that gives nothing fails every growth path alike, and each owner keeps what it had.
TEST_F(Text, AnAllocatorThatGivesNothingRaisesBadAllocOnEveryGrowthPath) {
  FString held(u"held");
  const FString longer(u"a longer text");
  FStringArray list;
  for (const char16_t* text : {u"a", u"b", u"c", u"d"}) list.Add(FString(text));  // full at four

  const std::string malloc(Game::FMemory_Malloc::Key());
  const std::string realloc(Game::FMemory_Realloc::Key());
  void* const realMalloc = GetAddress(malloc);
  void* const realRealloc = GetAddress(realloc);
  sim::RegisterGameFunction(malloc,
                            reinterpret_cast<void*>(+[](std::size_t, std::uint32_t) -> void* { return nullptr; }));
  sim::RegisterGameFunction(realloc, reinterpret_cast<void*>(+[](void*, std::size_t) -> void* { return nullptr; }));
  EXPECT_THROW(FString(u"new"), std::bad_alloc);
  EXPECT_THROW(WidenAscii("new"), std::bad_alloc);
  EXPECT_THROW(held = longer, std::bad_alloc);
  EXPECT_THROW(list.Add(FString()), std::bad_alloc);
  sim::RegisterGameFunction(malloc, realMalloc);
  sim::RegisterGameFunction(realloc, realRealloc);

  EXPECT_EQ(held.View(), u"held");
  ASSERT_EQ(list.Num(), 4);
  EXPECT_EQ(list[3].View(), u"d");
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

TEST_F(Text, ConversionsToTheGamesTextAreExactlyAsLongAsTheirTextAndTerminated) {
  struct Row {
    const char* name;
    FString converted;
    std::u16string_view text;
  };
  const Row rows[] = {
      {"ASCII widened", WidenAscii("hx.reload"), u"hx.reload"},
      {"every byte above ASCII a question mark", WidenAscii("a\x7F\x80z\xC3\xA9"), u"a\x7F?z??"},
      {"UTF-8 decoded", FromUtf8("caf\xC3\xA9 \xE2\x9C\x93"), u"café ✓"},
      {"a pair for a code point beyond the first plane", FromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600"},
      {"a malformed byte replaced", FromUtf8("a\xFF\x7F"), u"a\uFFFD\x7F"},
      // What follows a zero never matters, whatever it holds; what comes before it is decoded in full.
      {"cut at a zero", FromUtf8(std::string("ab\0cd", 5)), u"ab"},
      {"cut at a zero before a sequence", FromUtf8(std::string("ab\0\xC3\xA9", 5)), u"ab"},
      {"decoded in full before a zero", FromUtf8(std::string("\xC3\xA9\0x", 4)), u"é"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.converted.View(), row.text);
    ASSERT_NE(row.converted.Data, nullptr);
    EXPECT_EQ(row.converted.ArrayNum, row.converted.ArrayMax);
    EXPECT_EQ(row.converted.ArrayNum, static_cast<std::int32_t>(row.text.size() + 1));
    EXPECT_EQ(row.converted.Data[row.text.size()], u'\0');
  }
  for (const FString& empty : {WidenAscii(""), FromUtf8(""), FromUtf8(std::string("\0x", 2))}) {
    EXPECT_EQ(empty.Data, nullptr);
  }
}

TEST_F(Text, ToUtf8RoundTripsEveryPlaneAndReplacesUnpairedSurrogates) {
  for (const std::u16string sample :
       {u"plain", u"café", u"€ and ✓", u"\U0001F600 pair", u"\U0010FFFF", u"\u07FF\u0800"}) {
    EXPECT_EQ(FromUtf8(ToUtf8(FString(sample))).View(), sample);
  }
  const std::string replacement = "\xEF\xBF\xBD";
  const std::pair<std::u16string_view, std::string> rows[] = {
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"\u00E9", "\xC3\xA9"},
      {u"", ""},
      {std::u16string_view(u"a\0b", 3), std::string("a\0b", 3)},  // zeros inside the text are kept
      {u"a\xD800"
       u"b",
       "a" + replacement + "b"},
      {u"a\xDC00", "a" + replacement},
      {u"\xD83D", replacement},
      {u"\xDE00\xD83D", replacement + replacement},  // a reversed pair
      {u"\xD83D\xD83D\xDE00", replacement + "\xF0\x9F\x98\x80"},
  };
  for (const auto& [text, utf8] : rows) EXPECT_EQ(ToUtf8(FString(text)), utf8);
  EXPECT_EQ(ToUtf8(FString()), "");
}

// --- FormatText -----------------------------------------------------------------------------------

TEST_F(Text, FormatTextUndoublesBracesAndRaisesTheFormattersOwnErrors) {
  const std::pair<std::u16string_view, std::string> rows[] = {
      {u"50%", "50%"},
      {u"{{x}}", "{x}"},
      {u"a}}b{{", "a}b{"},
      {u"ünïcödé \U0001F600", "ünïcödé \U0001F600"},
      {u"{x}", "argument not found"},
      {u"{}", "argument not found"},
      {u"{0}", "argument not found"},
      {u"}", "unmatched '}' in format string"},
      {u"a{{b}}c}", "unmatched '}' in format string"},
      {u"{", "invalid format string"},
      {u"{ }", "invalid format string"},
      {u"trailing {", "invalid format string"},
  };
  for (const auto& [text, result] : rows) {
    const std::string error = FormatError(text);
    EXPECT_EQ(error == "no error" ? ToUtf8(FormatText(text)) : error, result) << ToUtf8(text);
  }
  EXPECT_EQ(FormatText(u"").Data, nullptr);
  EXPECT_EQ(FormatText(u"{{}}").ArrayMax, 3);
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
  EXPECT_FALSE(
      IsNumeric(FString(std::u16string_view(u"1\0"
                                            u"2",
                                            3))));
}

TEST_F(Text, SplitDropsEmptyPiecesAndMatchesWholeDelimitersCaseSensitively) {
  struct Row {
    std::u16string_view source;
    std::u16string_view delimiter;
    std::string pieces;  // joined by "|"
  };
  const Row rows[] = {
      {u"a  b", u" ", "a|b"},
      {u" ", u" ", ""},
      {u"  lead and trail  ", u" ", "lead|and|trail"},
      {u"no delimiter here", u"|", "no delimiter here"},
      {u"a::b:::c::", u"::", "a|b|:c"},
      {u"oneANDtwoandthree", u"AND", "one|twoandthree"},
      {u"abc", u"", ""},
      {u"", u" ", ""},  // nothing for an empty source or delimiter
  };
  for (const Row& row : rows) {
    FStringArray pieces;
    SplitIntoArray(Wide(u"x y"), u" ", pieces);  // what was there before is replaced
    const std::int32_t count = SplitIntoArray(Wide(row.source), row.delimiter, pieces);
    std::string joined;
    for (std::int32_t i = 0; i < pieces.Num(); ++i) joined += (i == 0 ? "" : "|") + ToUtf8(pieces[i]);
    EXPECT_EQ(joined, row.pieces) << ToUtf8(row.source);
    EXPECT_EQ(count, pieces.Num());
  }
  // The source may be a piece of the array being filled.
  FStringArray pieces;
  SplitIntoArray(Wide(u"x,y;z"), u";", pieces);
  EXPECT_EQ(SplitIntoArray(pieces[0], u",", pieces), 2);
  EXPECT_EQ(pieces[1].View(), u"y");
}

// --- Colours --------------------------------------------------------------------------------------

TEST_F(Text, SrgbDecodingMeetsItsAnchorsAndRisesWithEveryByte) {
  EXPECT_EQ(SrgbToLinear(ColourBytes{0, 0, 0, 0}).R, 0.0F);
  EXPECT_EQ(SrgbToLinear(ColourBytes{255, 255, 255, 255}).R, 1.0F);
  const LinearColour mid = SrgbToLinear(ColourBytes{128, 10, 11, 128});
  EXPECT_FLOAT_EQ(mid.R, 0.2158605F);
  EXPECT_EQ(mid.G, static_cast<float>(10.0 / 255.0 / 12.92));                           // linear segment
  EXPECT_EQ(mid.B, static_cast<float>(std::pow((11.0 / 255.0 + 0.055) / 1.055, 2.4)));  // curve
  EXPECT_EQ(mid.A, 128.0F * 0.003921569F);                                              // alpha stays linear
  float previous = -1.0F;
  for (int i = 0; i < 256; ++i) {
    const float value = SrgbToLinear(ColourBytes{static_cast<std::uint8_t>(i), 0, 0, 255}).R;
    EXPECT_GT(value, previous) << i;
    previous = value;
  }
}

// --- RichColor markup -------------------------------------------------------------------------------

TEST_F(Text, MarkupScalesBytesToUnitChannelsUnlessAllAreAtMostOne) {
  struct Row {
    ColourBytes colour;
    bool multiline;
    FString line;
    std::string markup;
  };
  const Row rows[] = {
      {Rgb(255, 0, 0), false, Wide(u"Hi"), "<RichColor Color=\"1, 0, 0, 1\">Hi</>"},
      {Rgb(2, 0, 0), false, Wide(u"Hi"), "<RichColor Color=\"0.00784314, 0, 0, 1\">Hi</>"},
      {Rgb(100, 200, 50), false, Wide(u"x"), "<RichColor Color=\"0.392157, 0.784314, 0.196078, 1\">x</>"},
      {ColourBytes{255, 255, 255, 0}, false, Wide(u"x"), "<RichColor Color=\"1, 1, 1, 0\">x</>"},
      // Channels that are all at most one are kept as they are.
      {Rgb(1, 0, 0), false, Wide(u"Hi"), "<RichColor Color=\"1, 0, 0, 255\">Hi</>"},
      {Rgb(1, 1, 1), false, Wide(u"Hi"), "<RichColor Color=\"1, 1, 1, 255\">Hi</>"},
      {ColourBytes{0, 0, 0, 7}, false, Wide(u"Hi"), "<RichColor Color=\"0, 0, 0, 7\">Hi</>"},
      // A line of a message of several ends with a line feed; the line itself goes unchanged, as UTF-8.
      {Rgb(0, 255, 0), true, Wide(u"one"), "<RichColor Color=\"0, 1, 0, 1\">one</>\n"},
      {Rgb(0, 255, 0), false, FString(), "<RichColor Color=\"0, 1, 0, 1\"></>"},
      {Rgb(255, 0, 0), false, Wide(u"<b>{x}</b> é"), "<RichColor Color=\"1, 0, 0, 1\"><b>{x}</b> \xC3\xA9</>"},
  };
  for (const Row& row : rows) EXPECT_EQ(RichColorMarkup(row.line, row.colour, row.multiline), row.markup);
}
