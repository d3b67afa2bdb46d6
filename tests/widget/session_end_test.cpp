// The end of the desktop session: the strip window saves as any close does and the program
// ends once; the options dialog, open and edited, neither refuses nor loads anything.
#include <gtest/gtest.h>

#include "platform/services/Profile.h"
#include "widget/support/SessionForTest.h"
#include "widget/support/TickerHarness.h"

namespace {

TEST(SessionEnd, SavesAndEndsWithoutTheDialogHoldingItUp) {
  TickerHarness h;
  SessionForTest session{h.fakes.engine};
  h.UseSession(session);
  h.download.Put(FeedUrl("rss.php"), "<rss><item><title>One</title></item></rss>");
  h.WriteSettings(SettingsText(FeedUrl("rss.php"), "300", "450"));
  h.Start();
  session.OnEnd([&h] {
    if (!h.ticker().Closed()) h.ticker().Unload();
  });
  h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
  h.options().cboURL.setText(FeedUrl("typed.php"));
  ASSERT_TRUE(h.options().blnEdited);
  const int requests = h.download.calls();

  session.EndSession();
  session.EndSession();

  EXPECT_TRUE(h.ticker().Closed());
  EXPECT_TRUE(h.options().Closed());
  EXPECT_EQ(session.exits, 1) << "the program ends once";
  EXPECT_TRUE(session.Ending());
  EXPECT_TRUE(h.fakes.engine.ending()) << "the form engine knows the program is ending";
  EXPECT_EQ(h.download.calls(), requests) << "nothing is loaded at the session's end";
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "Default URL", "", h.SettingsPath()),
            FeedUrl("typed.php"));
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowX", "", h.SettingsPath()), "300");
}

// The end of one session object is not the end of the next: tests (and a program that made a
// new one) start afresh.
TEST(SessionEnd, TheEndBelongsToTheSessionThatEnded) {
  {
    SessionForTest ended;
    ended.EndProgram();
    ASSERT_TRUE(ended.Ending());
  }
  SessionForTest fresh;
  EXPECT_FALSE(fresh.Ending());
}

}  // namespace
