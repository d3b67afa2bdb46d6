// The end of the desktop session: the strip window saves as any close does and the program
// ends; the options dialog, open and edited, neither refuses nor loads anything.
#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Profile.h"
#include "platform/SessionEnd.h"
#include "widget/support/FeedServer.h"
#include "widget/support/TickerHarness.h"

namespace {

TEST(SessionEnd, SavesAndEndsWithoutTheDialogHoldingItUp) {
  FeedServer server;
  ASSERT_TRUE(server.running());
  server.AddFile("tallowmere.example/rss.php", "<rss><item><title>One</title></item></rss>");
  TickerHarness h;
  h.WriteSettings(SettingsText(server.Url("tallowmere.example/rss.php"), "300", "450"));
  h.Start();
  platform::OnSessionEnd([&h] {
    if (!h.ticker().Closed()) h.ticker().Unload();
  });
  h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
  h.options().cboURL.setText(server.Url("tallowmere.example/typed.php"));
  ASSERT_TRUE(h.options().blnEdited);
  const auto requests = server.RequestedPaths().size();

  platform::EndSession();

  EXPECT_TRUE(h.ticker().Closed());
  EXPECT_TRUE(h.options().Closed());
  EXPECT_EQ(h.programEnds, 1);
  EXPECT_EQ(server.RequestedPaths().size(), requests) << "nothing is loaded at the session's end";
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "Default URL", "", h.SettingsPath()),
            server.Url("tallowmere.example/typed.php"));
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowX", "", h.SettingsPath()), "300");
}

}  // namespace
