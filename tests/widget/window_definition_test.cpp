// The strip window as it stands before and after start-up: sizes, colours, pictures, the
// label template, the timers, and the title picture in front of the strip.
#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>

#include "platform/qt/SystemServiceClasses.h"
#include "widget/support/TickerHarness.h"

namespace {

// Until start-up has loaded the feed the strip is neither shown nor moving, and it holds only
// the label that the others are copied from.
TEST(WindowDefinition, BeforeStartUpTheStripIsHiddenAndStill) {
  TickerHarness h;
  h.Create();
  frmTicker& t = h.ticker();
  EXPECT_FALSE(t.Visible());
  EXPECT_FALSE(t.tmrScroll.Enabled());
  EXPECT_FALSE(t.tmrMouse.Enabled());
  EXPECT_EQ(t.lblItem.Count(), 1);
}

// The title picture shows the resting picture, not the one of a download, and tells the user
// where the options are.
TEST(WindowDefinition, TheTitlePictureRestsAndPointsToTheOptions) {
  TickerHarness h;
  h.Create();
  frmTicker& t = h.ticker();
  EXPECT_EQ(t.picTitle.Picture(), t.imgNormal.Picture());
  EXPECT_NE(t.picTitle.Picture(), t.imgDownloading.Picture());
  EXPECT_EQ(t.picTitle.ToolTipText(), "Tallowmere RSS Feed - rightclick to display options");
}

TEST(WindowDefinition, TimersStayOffUntilTheFirstLoadHasReturned) {
  TickerHarness h;
  h.download.Put(FeedUrl("rss.php"), "<rss><item><title>One</title></item></rss>");
  h.WriteSettings(SettingsText(FeedUrl("rss.php")));
  h.Create();
  bool sampled = false;
  bool scrollDuringLoad = true;
  bool mouseDuringLoad = true;
  bool visibleDuringLoad = true;
  h.download.StallNext([&] {
    sampled = true;
    scrollDuringLoad = h.ticker().tmrScroll.Enabled();
    mouseDuringLoad = h.ticker().tmrMouse.Enabled();
    visibleDuringLoad = h.ticker().Visible();
    h.download.Release();
  });
  h.ticker().Show();
  ASSERT_TRUE(sampled) << "the first fetch should still have been waiting";
  EXPECT_FALSE(scrollDuringLoad);
  EXPECT_FALSE(mouseDuringLoad);
  EXPECT_FALSE(visibleDuringLoad);
  EXPECT_TRUE(h.ticker().tmrScroll.Enabled());
  EXPECT_TRUE(h.ticker().Visible());
  ASSERT_EQ(h.ticker().items().size(), 2u);
  EXPECT_EQ(h.ticker().items()[1].strTitle, "One");
}

TEST(WindowDefinition, TheTitlePictureCoversTheStrip) {
  TickerHarness h;
  h.Start();
  frmTicker& t = h.ticker();
  EXPECT_EQ(t.Width(), 8175);
  t.picTicker.setWidth(8175);
  t.picTicker.setLeft(0);  // the strip now runs underneath the title picture
  const platform::PointApi overTitle{static_cast<int>(t.Left() / 15) + 10,
                                     static_cast<int>(t.Top() / 15) + 5};
  // The system's own pointer service, which the hover poll asks in the program.
  const platform::PointerCursor cursor{h.fakes.engine};
  EXPECT_EQ(cursor.WindowFromPoint(overTitle), t.picTitle.hWnd());
  const platform::PointApi overStrip{static_cast<int>(t.Left() / 15) + 100,
                                     static_cast<int>(t.Top() / 15) + 5};
  EXPECT_EQ(cursor.WindowFromPoint(overStrip), t.picTicker.hWnd());
}

}  // namespace
