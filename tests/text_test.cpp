// Unit tests of FString on the game allocator, the text conversions and operations, colours and markup.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "host/Address.h"
#include "host/GameFunctions.h"
#include "sim/host/Host.h"
#include "tests/support/Expect.h"
#include "text/Colour.h"
#include "text/FStringArray.h"
#include "text/RichColor.h"
#include "text/Text.h"

namespace {

// Every buffer lives on the game allocator, so each test runs with the game in place and must give back
// every block it took.
class Text : public ::testing::Test {
 protected:
  void TearDown() override { heraldix::test::ExpectNoFaults(game); }
  heraldix::test::LiveGame game;
};

// A text as its fields hold it: "abc 4/4" (count/capacity), "null 0/0" without a buffer, and
// "unterminated" when the unit after the last is not a zero.
std::string Shape(const FString& text) {
  const std::string counts = std::to_string(text.ArrayNum) + "/" + std::to_string(text.ArrayMax);
  if (text.Data == nullptr) return "null " + counts;
  if (text.ArrayNum < 1 || text.Data[text.ArrayNum - 1] != u'\0') return "unterminated";
  return ToUtf8(text) + " " + counts;
}

ColourBytes Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return ColourBytes{r, g, b, 255}; }

}  // namespace

TEST_F(Text, TextsCountTheirZeroCopiesTakeExactBlocksAndMovesHandTheBlockOver) {
  EXPECT_EQ(Shape(FString()) + ", " + Shape(FString(u"")), "null 0/0, null 0/0");
  EXPECT_TRUE(FString().IsEmpty());
  EXPECT_EQ(game.PluginBlocks(), 0);
  FString target(u"a much longer text than the source");
  const FString source(u"short");
  const FString copy(source);  // NOLINT(performance-unnecessary-copy-initialization): the copy is the test
  target = source;
  EXPECT_EQ(Shape(source) + ", " + Shape(copy) + ", " + Shape(target), "short 6/6, short 6/6, short 6/6");
  EXPECT_NE(copy.Data, source.Data);
  EXPECT_NE(target.Data, source.Data);
  EXPECT_EQ(game.PluginBlocks(), 3);
  target = FString();
  EXPECT_EQ(Shape(target), "null 0/0");
  EXPECT_EQ(game.PluginBlocks(), 2);
  const FString& alias = target;
  target = alias;
  EXPECT_TRUE(target.IsEmpty());

  FString moving(u"moved");
  const char16_t* block = moving.Data;
  FString moved(std::move(moving));
  EXPECT_EQ(Shape(moving), "null 0/0");  // NOLINT(bugprone-use-after-move): a moved-from text is empty
  target = std::move(moved);
  EXPECT_EQ(Shape(moved), "null 0/0");  // NOLINT(bugprone-use-after-move): a moved-from text is empty
  EXPECT_EQ(target.Data, block);
  EXPECT_EQ(Shape(target), "moved 6/6");
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

TEST_F(Text, ArraysGrowFromFourByThreeEighthsAndSixteenAndFreeEverythingWhenEmptied) {
  // {capacity, count needed, capacity after}: the small start only applies from nothing.
  for (const auto& [from, needed, grown] : {std::array{0, 1, 4},
                                            {0, 4, 4},
                                            {0, 5, 22},
                                            {4, 5, 22},
                                            {22, 23, 47},
                                            {2, 3, 20},
                                            {100, 80, 100},
                                            {0, 2'000'000'000, 2'147'483'647}}) {
    EXPECT_EQ(text::GrowCapacity(from, needed), grown) << from << " " << needed;
  }
  FStringArray array;
  array.Add(FString(u"one"));
  EXPECT_EQ(array.Raw().ArrayMax, 4);
  for (int i = 0; i < 4; ++i) array.Add(FString(u"more"));
  EXPECT_EQ(array.Num(), 5);
  EXPECT_EQ(array.Raw().ArrayMax, 22);
  EXPECT_EQ(ToUtf8(array[0]) + " " + ToUtf8(array[4]), "one more");
  EXPECT_EQ(game.PluginBlocks(), 6);  // the element block and five texts
  array.Empty();
  EXPECT_EQ(array.Num(), 0);
  EXPECT_EQ(array.Raw().Data, nullptr);
  EXPECT_EQ(game.PluginBlocks(), 0);
  array.Add(FString());
  EXPECT_EQ(array.Num(), 1);
  EXPECT_EQ(array.Raw().ArrayMax, 4);
}

TEST_F(Text, ConversionsToTheGamesTextAreExactlyAsLongAsTheirTextAndTerminated) {
  // What follows a zero never matters, whatever it holds; what comes before it is decoded in full.
  const std::pair<FString, std::string> rows[] = {
      {WidenAscii("hx.reload"), "hx.reload 10/10"},
      {WidenAscii("a\x7F\x80z\xC3\xA9"), "a\x7F?z?? 7/7"},  // every byte above ASCII a question mark
      {FromUtf8("caf\xC3\xA9 \xE2\x9C\x93"), "café ✓ 7/7"},
      {FromUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80 3/3"},  // a pair beyond the first plane
      {FromUtf8("a\xFF\x7F"), "a\uFFFD\x7F 4/4"},              // a malformed byte replaced
      {FromUtf8(std::string("ab\0cd", 5)), "ab 3/3"},
      {FromUtf8(std::string("\xC3\xA9\0x", 4)), "é 2/2"},
      {WidenAscii(""), "null 0/0"},
      {FromUtf8(std::string("\0x", 2)), "null 0/0"}};
  for (const auto& [converted, shape] : rows) EXPECT_EQ(Shape(converted), shape);
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
      {std::u16string_view(u"a\0b", 3), std::string("a\0b", 3)},  // zeros inside the text are kept
      {u"a\xD800z", "a" + replacement + "z"},
      {u"a\xDC00", "a" + replacement},
      {u"\xD83D", replacement},
      {u"\xDE00\xD83D", replacement + replacement},  // a reversed pair
      {u"\xD83D\xD83D\xDE00", replacement + "\xF0\x9F\x98\x80"}};
  for (const auto& [text, utf8] : rows) EXPECT_EQ(ToUtf8(FString(text)), utf8);
  EXPECT_EQ(ToUtf8(FString()), "");
}

TEST_F(Text, IsNumericTakesOneSignDigitsAndAtMostOnePoint) {
  for (const char16_t* yes : {u"0", u"12", u"-3", u"+3", u"1.5", u"12.", u".5", u"-", u"+", u".", u"-.", u"0123"}) {
    EXPECT_TRUE(IsNumeric(FString(yes))) << ToUtf8(std::u16string_view(yes));
  }
  for (const char16_t* no : {u"1.2.3", u"1e5", u" 1", u"1 ", u"1,5", u"--1", u"+-1", u"1-", u"abc", u"٣", u"１"}) {
    EXPECT_FALSE(IsNumeric(FString(no))) << ToUtf8(std::u16string_view(no));
  }
  EXPECT_FALSE(IsNumeric(FString()));
  EXPECT_FALSE(IsNumeric(FString(std::u16string{u'1', 0, u'2'})));  // a zero inside
}

TEST_F(Text, SplitDropsEmptyPiecesAndMatchesWholeDelimitersCaseSensitively) {
  // {source, delimiter, pieces joined by "|"}; nothing for an empty source or delimiter.
  const std::array<std::u16string_view, 3> rows[] = {
      {u"a  b", u" ", u"a|b"},
      {u" ", u" ", u""},
      {u"a b", u"|", u"a b"},
      {u"a::b:::c::", u"::", u"a|b|:c"},
      {u"aANDbandc", u"AND", u"a|bandc"},
      {u"abc", u"", u""},
      {u"", u" ", u""},
  };
  for (const auto& [source, delimiter, expected] : rows) {
    FStringArray pieces;
    SplitIntoArray(FString(u"x y"), u" ", pieces);  // what was there before is replaced
    const std::int32_t count = SplitIntoArray(FString(source), delimiter, pieces);
    std::u16string joined;
    for (std::int32_t i = 0; i < pieces.Num(); ++i) joined += (i == 0 ? u"" : u"|") + std::u16string(pieces[i].View());
    EXPECT_EQ(ToUtf8(joined), ToUtf8(expected)) << ToUtf8(source);
    EXPECT_EQ(count, pieces.Num());
  }
  // The source may be a piece of the array being filled.
  FStringArray pieces;
  SplitIntoArray(FString(u"x,y;z"), u";", pieces);
  EXPECT_EQ(SplitIntoArray(pieces[0], u",", pieces), 2);
  EXPECT_EQ(pieces[1].View(), u"y");
}

TEST_F(Text, MarkupScalesBytesToUnitChannelsUnlessAllAreAtMostOne) {
  // The line goes unchanged, as UTF-8; the line feeds of a message of several lines are the stories'.
  const struct {
    ColourBytes colour;
    std::u16string_view line;
    std::string markup;
  } rows[] = {{Rgb(2, 0, 0), u"Hi", R"(<RichColor Color="0.00784314, 0, 0, 1">Hi</>)"},
              {ColourBytes{255, 255, 255, 0}, u"x", R"(<RichColor Color="1, 1, 1, 0">x</>)"},
              {Rgb(1, 0, 0), u"Hi", R"(<RichColor Color="1, 0, 0, 255">Hi</>)"},  // all at most one: kept
              {Rgb(0, 255, 0), u"", R"(<RichColor Color="0, 1, 0, 1"></>)"},
              {Rgb(255, 0, 0), u"<b>{x}</b> é", "<RichColor Color=\"1, 0, 0, 1\"><b>{x}</b> \xC3\xA9</>"}};
  for (const auto& row : rows) EXPECT_EQ(RichColorMarkup(FString(row.line), row.colour, false), row.markup);
}
