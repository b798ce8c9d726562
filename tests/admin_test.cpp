// The administrator commands, on the console and over RCON, through the real plug-in: the stories of
// tests/stories/admin/.
#include <gtest/gtest.h>

#include "tests/support/Stories.h"

using heraldix::test::TellStories;

// --- Replies --------------------------------------------------------------------------------------

TEST(Admin, ConsoleAnswersAreGreenOrRedServerMessagesToTheIssuerAlone) {
  TellStories("admin/console-answers-go-to-the-issuer-alone");
}

TEST(Admin, RconAnswersCarryTheRequestIdAndType0) { TellStories("admin/rcon-answers-carry-the-request-id"); }

// --- The send commands and hx.chatasplayer -------------------------------------------------------

TEST(Admin, SendCommandsDeliverWhatTheLineAndTheConfigurationSay) { TellStories("admin/send-commands-deliver"); }

TEST(Admin, SendCommandsRefuseWhatTheyCannotDeliverWithOneAnswer) { TellStories("admin/send-commands-refuse"); }

// --- hx.reload -----------------------------------------------------------------------------------

TEST(Admin, ReloadReplacesTheDocumentAndTheChatCommands) { TellStories("admin/reload-replaces-the-document"); }

TEST(Admin, AFailedReloadChangesNothingAndLogsWhy) { TellStories("admin/a-failed-reload-changes-nothing"); }
