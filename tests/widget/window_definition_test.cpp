// The strip window as it stands before and after start-up: sizes, colours, pictures, the
// label template, the timers, and the title picture in front of the strip.
#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>

#include "platform/qt/SystemServiceClasses.h"
#include "widget/support/TickerHarness.h"

namespace {

TEST(WindowDefinition, ControlsStartAsDefined) {
  TickerHarness h;
  h.Create();
  frmTicker& t = h.ticker();

  EXPECT_EQ(t.picTitle.Left(), 0);
  EXPECT_EQ(t.picTitle.Top(), 0);
  EXPECT_EQ(t.picTitle.Width(), 495);
  EXPECT_EQ(t.picTitle.Height(), 240);
  EXPECT_EQ(t.picTitle.BackColor(), 0x000080FFu);
  EXPECT_EQ(t.picTitle.Picture(), t.imgNormal.Picture());
  EXPECT_EQ(t.picTitle.ToolTipText(), "Tallowmere RSS Feed - rightclick to display options");

  EXPECT_EQ(t.picTicker.Left(), 960);
  EXPECT_EQ(t.picTicker.Width(), 8175);
  EXPECT_EQ(t.picTicker.Height(), 375);
  EXPECT_EQ(t.picTicker.BackColor(), 0x00E0E0E0u);
  EXPECT_EQ(t.picTicker.FontName(), "MS Sans Serif");
  EXPECT_FALSE(t.picTicker.FontBold());

  ASSERT_EQ(t.lblItem.Count(), 1);
  auto label = t.lblItem(0);
  EXPECT_EQ(label.Caption(), "TWgjp");
  EXPECT_EQ(label.Left(), 300);
  EXPECT_EQ(label.Top(), 60);
  EXPECT_EQ(label.FontName(), "MS Sans Serif");
  EXPECT_FLOAT_EQ(label.FontSize(), 8.25f);
  EXPECT_TRUE(label.FontBold());

  EXPECT_EQ(t.tmrScroll.Interval(), 100);
  EXPECT_EQ(t.tmrMouse.Interval(), 500);
  EXPECT_FALSE(t.tmrScroll.Enabled());
  EXPECT_FALSE(t.tmrMouse.Enabled());

  EXPECT_EQ(t.imgNormal.Top(), 2280);
  EXPECT_EQ(t.imgDownloading.Left(), 1920);
  EXPECT_NE(t.imgNormal.Picture(), t.imgDownloading.Picture());
  EXPECT_FALSE(t.Visible());
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
  const platform::PointerCursor cursor;
  EXPECT_EQ(cursor.WindowFromPoint(overTitle), t.picTitle.hWnd());
  const platform::PointApi overStrip{static_cast<int>(t.Left() / 15) + 100,
                                     static_cast<int>(t.Top() / 15) + 5};
  EXPECT_EQ(cursor.WindowFromPoint(overStrip), t.picTicker.hWnd());
}

}  // namespace
