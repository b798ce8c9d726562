// Placeholders in configured texts, through the real plug-in on the simulated server: what each player is
// shown, with the key on, off, or of the wrong type.
#include <gtest/gtest.h>

#include "tests/support/Stories.h"

TEST(Placeholders, EachPlayerIsShownTheValuesAsTheyAreWhenOnAndTodaysTextWhenOff) {
  heraldix::test::TellStories("placeholders/each-player-is-shown-the-values-as-they-are");
}
