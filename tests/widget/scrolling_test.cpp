// Scrolling and the hover pause, driving the tick handlers directly.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/qt/Widgets.h"
#include "widget/support/FeedServer.h"
#include "widget/support/TickerHarness.h"

using platform::qt::WidgetOf;

namespace {

enum class State { Stopped, Scrolling, HoverPause, OptionsOpen, Invalid };

State StateOf(frmTicker& t) {
  const bool scroll = t.tmrScroll.Enabled();
  const bool mouse = t.tmrMouse.Enabled();
  const bool options = t.optionsOpen();
  if (!scroll && !mouse && !options) return State::Stopped;
  if (scroll && !mouse && !options) return State::Scrolling;
  if (!scroll && mouse && !options) return State::HoverPause;
  if (!scroll && !mouse && options) return State::OptionsOpen;
  return State::Invalid;
}

class ScrollingTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    server.AddFile("tallowmere.example/rss.php",
                   "<rss><item><title>Scrolling item</title><link>http://www.tallowmere.example/"
                   "a</link></item></rss>");
    h.WriteSettings(SettingsText(server.Url("tallowmere.example/rss.php")));
    h.Start();
    ASSERT_EQ(StateOf(h.ticker()), State::Scrolling);
  }

  int Requests() { return static_cast<int>(server.RequestedPaths().size()); }

  FeedServer server;
  TickerHarness h;
};

TEST_F(ScrollingTest, TheFirstRunStartsFromTheDesignedLeftEdge) {
  frmTicker& t = h.ticker();
  EXPECT_EQ(t.picTicker.Left(), 960);
  t.tmrScroll_Timer();
  EXPECT_EQ(t.picTicker.Left(), 930);
}

TEST_F(ScrollingTest, ARunEndsOnTheFirstTickBelowZeroNotAtZero) {
  frmTicker& t = h.ticker();
  t.picTicker.setWidth(4200);  // the 4200-twip row of the worked example
  t.picTicker.setLeft(t.Width() + 30);
  ASSERT_EQ(t.picTicker.Left(), 8205);
  const int before = Requests();
  for (int tick = 1; tick <= 397; ++tick) t.tmrScroll_Timer();
  EXPECT_EQ(t.picTicker.Left(), -3705);  // t is exactly 0: the run goes on
  EXPECT_EQ(Requests(), before);
  t.tmrScroll_Timer();  // t = -30: reload and start over beyond the right edge
  EXPECT_EQ(Requests(), before + 1);
  EXPECT_EQ(t.picTicker.Left(), 8205);
  EXPECT_EQ(StateOf(t), State::Scrolling);
}

TEST_F(ScrollingTest, ARowTooShortToReachTheTitleEndsTheRunAtOnce) {
  frmTicker& t = h.ticker();
  t.picTicker.setLeft(-t.picTicker.Width() + 500);  // a reload left a short row here
  const int before = Requests();
  t.tmrScroll_Timer();
  EXPECT_EQ(Requests(), before + 1);
  EXPECT_EQ(t.picTicker.Left(), t.Width() + 30);
}

TEST_F(ScrollingTest, ARefusedReloadStartsTheOldRowOverAfterTheWarning) {
  frmTicker& t = h.ticker();
  t.strUrl = "http://elsewhere.example/rss.php";
  t.picTicker.setLeft(-100000);
  t.tmrScroll_Timer();
  EXPECT_EQ(h.messages.size(), 1u);
  EXPECT_EQ(t.picTicker.Left(), t.Width() + 30);
  EXPECT_EQ(t.items().size(), 2u);
  EXPECT_EQ(StateOf(t), State::Scrolling);
}

TEST_F(ScrollingTest, TransitionsFollowTheStateTable) {
  frmTicker& t = h.ticker();
  // Pointer over a label: hover pause, from scrolling and from the pause itself.
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  EXPECT_EQ(StateOf(t), State::HoverPause);
  t.lblItem.MouseMove(1, 0, 0, 12, 10);
  EXPECT_EQ(StateOf(t), State::HoverPause);
  // Over the strip between labels, the bare window or the title: scrolling again.
  t.picTicker.MouseMove(0, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::Scrolling);
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  t.MouseMove(0, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::Scrolling);
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  t.picTitle.MouseMove(0, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::Scrolling);
  // Right-click: options open; nothing the pointer does there starts anything.
  t.picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::OptionsOpen);
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  t.picTicker.MouseMove(0, 0, 5, 5);
  t.picTitle.MouseMove(0, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::OptionsOpen);
  // A second right-click while open keeps it open.
  t.lblItem.MouseDown(1, platform::vbRightButton, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::OptionsOpen);
  // Closing the dialog scrolls again, even with the pointer resting on a label.
  t.RestartTicker();
  EXPECT_EQ(StateOf(t), State::Scrolling);
  // Right-click from a hover pause.
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  t.picTitle.MouseUp(platform::vbRightButton, 0, 5, 5);
  EXPECT_EQ(StateOf(t), State::OptionsOpen);
}

TEST_F(ScrollingTest, ThePollKeepsThePauseOverTheStripAndEndsItElsewhere) {
  frmTicker& t = h.ticker();
  QWidget* strip = WidgetOf(t.picTicker);
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  ASSERT_EQ(StateOf(t), State::HoverPause);

  QCursor::setPos(strip->mapToGlobal(QPoint(strip->width() - 5, 3)));
  t.tmrMouse_Timer();
  EXPECT_EQ(StateOf(t), State::HoverPause) << "over picTicker (or a label on it)";

  // Over the title picture the pause ends at the next poll.
  QWidget* title = WidgetOf(t.picTitle);
  QCursor::setPos(title->mapToGlobal(QPoint(3, 3)));
  t.tmrMouse_Timer();
  EXPECT_EQ(StateOf(t), State::Scrolling);

  // Away from every window of ours.
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  QCursor::setPos(strip->mapToGlobal(QPoint(0, 0)) + QPoint(0, 5000));
  t.tmrMouse_Timer();
  EXPECT_EQ(StateOf(t), State::Scrolling);
}

TEST_F(ScrollingTest, MovesOverTheStripWhileScrollingLeaveTheTimerAlone) {
  frmTicker& t = h.ticker();
  t.picTicker.MouseMove(0, 0, 5, 5);
  t.picTicker.MouseMove(0, 0, 6, 5);
  EXPECT_EQ(StateOf(t), State::Scrolling);
  EXPECT_FALSE(t.tmrMouse.Enabled());
}

TEST_F(ScrollingTest, AnEmptyListMakesShortRunsThatReloadEachTime) {
  server.AddFile("tallowmere.example/empty.php", "<rss></rss>");
  frmTicker& t = h.ticker();
  t.strUrl = server.Url("tallowmere.example/empty.php");
  t.picTicker.setLeft(-100000);
  t.tmrScroll_Timer();
  ASSERT_EQ(t.picTicker.Width(), 240);
  const int before = Requests();
  int ticks = 0;
  while (Requests() == before && ticks < 1000) {
    t.tmrScroll_Timer();
    ++ticks;
  }
  // From 8205 the 240-twip strip passes the 495-twip title after (8205 + 240 - 495) / 30 + 1.
  EXPECT_EQ(ticks, 266);
}

// What the user does while the end-of-run reload waits for the feed. The old row stays
// still until the strip is back at the right edge; the state asked for applies then.
struct DuringReloadCase {
  const char* name;
  std::function<void(frmTicker&, frmOptions&)> act;
  State after;
};

void PrintTo(const DuringReloadCase& c, std::ostream* os) { *os << c.name; }

class DuringTheEndOfRunReload : public ScrollingTest,
                                public testing::WithParamInterface<DuringReloadCase> {};

TEST_P(DuringTheEndOfRunReload, TheOldRowStaysStillUntilTheStripIsBackAtTheRightEdge) {
  frmTicker& t = h.ticker();
  t.strUrl = server.Url("tallowmere.example/rss.php?delay=1");
  const platform::Twips lastLeft = -t.picTicker.Width() + 500 - 30;
  t.picTicker.setLeft(lastLeft + 30);  // the next tick ends the run
  platform::Twips leftLater = 0;
  bool scrollingAfterEvent = true;
  bool scrollingLater = true;
  bool acted = false;
  QTimer::singleShot(100, [&] {
    acted = true;
    GetParam().act(t, h.options());
    scrollingAfterEvent = t.tmrScroll.Enabled();
  });
  QTimer::singleShot(400, [&] {
    scrollingLater = t.tmrScroll.Enabled();
    leftLater = t.picTicker.Left();
  });
  t.tmrScroll_Timer();
  ASSERT_TRUE(acted);
  EXPECT_FALSE(scrollingAfterEvent);
  EXPECT_FALSE(scrollingLater);
  EXPECT_EQ(leftLater, lastLeft) << "the old row moved under the busy picture";
  EXPECT_EQ(t.picTicker.Left(), t.Width() + 30);
  EXPECT_EQ(StateOf(t), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuringTheEndOfRunReload,
    testing::Values(
        DuringReloadCase{"MoveOverTheStrip",
                         [](frmTicker& t, frmOptions&) { t.picTicker.MouseMove(0, 0, 5, 5); },
                         State::Scrolling},
        DuringReloadCase{"MoveOverTheWindow",
                         [](frmTicker& t, frmOptions&) { t.MouseMove(0, 0, 5, 5); },
                         State::Scrolling},
        DuringReloadCase{"MoveOverTheTitle",
                         [](frmTicker& t, frmOptions&) { t.picTitle.MouseMove(0, 0, 5, 5); },
                         State::Scrolling},
        // The pointer comes to rest on the window (its move arrives first), then on a label
        // as the row passes: the pause's poll keeps it.
        DuringReloadCase{"RestOnALabel",
                         [](frmTicker& t, frmOptions&) {
                           QWidget* window = WidgetOf(t);
                           QCursor::setPos(window->mapToGlobal(QPoint(window->width() - 5, 3)));
                           QCoreApplication::processEvents();
                           t.lblItem.MouseMove(1, 0, 0, 5, 5);
                         },
                         State::HoverPause},
        DuringReloadCase{"RestOnALabelThenLeave",
                         [](frmTicker& t, frmOptions&) {
                           t.lblItem.MouseMove(1, 0, 0, 5, 5);
                           t.picTicker.MouseMove(0, 0, 5, 5);
                         },
                         State::Scrolling},
        DuringReloadCase{"OpenTheDialogAndCloseIt",
                         [](frmTicker& t, frmOptions& options) {
                           t.picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
                           options.cmdClose_Click();
                         },
                         State::Scrolling},
        DuringReloadCase{"OpenTheDialog",
                         [](frmTicker& t, frmOptions&) {
                           t.picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
                         },
                         State::OptionsOpen}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
