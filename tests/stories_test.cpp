// Every story file under tests/stories, found there: a test per file, named after it.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/Stories.h"

namespace {

class Story : public testing::TestWithParam<std::string> {};

TEST_P(Story, ShowsWhatItsFileSays) { heraldix::test::TellStories(GetParam()); }

// "events/each-kind-of-greeting.story" runs as Story.ShowsWhatItsFileSays/events_each_kind_of_greeting.
std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = std::filesystem::path(info.param).replace_extension().generic_string();
  std::replace_if(
      name.begin(), name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(File, Story, testing::ValuesIn(heraldix::test::StoryFiles()), TestName);

// A file under tests/stories that is not a story would never run.
TEST(Stories, EveryFileInTheFolderIsAStory) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(HERALDIX_STORIES_DIR)) {
    if (entry.is_regular_file()) {
      EXPECT_EQ(entry.path().extension(), ".story") << entry.path();
    }
  }
}

}  // namespace
