// Scrolling and the hover pause, driving the tick handlers directly.
#include <gtest/gtest.h>

#include <functional>

#include "platform/qt/Widgets.h"
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
    h.download.Put(FeedUrl("rss.php"),
                   "<rss><item><title>Scrolling item</title><link>http://www.tallowmere.example/"
                   "a</link></item></rss>");
    h.WriteSettings(SettingsText(FeedUrl("rss.php")));
    h.Start();
    ASSERT_EQ(StateOf(h.ticker()), State::Scrolling);
  }

  int Requests() { return h.download.calls(); }

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

// Where the pointer is when the hover pause polls, and whether the pause holds.
struct PollCase {
  const char* name;
  std::function<platform::WindowHandle(frmTicker&)> under;
  State after;
};

void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

class HoverPoll : public ScrollingTest, public testing::WithParamInterface<PollCase> {};

TEST_P(HoverPoll, KeepsThePauseOnlyOverTheStripOrTheWindow) {
  frmTicker& t = h.ticker();
  t.lblItem.MouseMove(1, 0, 0, 10, 10);
  ASSERT_EQ(StateOf(t), State::HoverPause);
  h.fakes.cursor.point = {400, 300};
  h.fakes.cursor.window = GetParam().under(t);
  t.tmrMouse_Timer();
  EXPECT_EQ(StateOf(t), GetParam().after);
  // The poll asks about the point it has just read.
  EXPECT_EQ(t.tmrMouse.Enabled(), GetParam().after == State::HoverPause);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HoverPoll,
    testing::Values(
        // picTicker stands for a label on it too: labels own no window.
        PollCase{"OverTheStrip", [](frmTicker& t) { return t.picTicker.hWnd(); },
                 State::HoverPause},
        PollCase{"OverTheWindow", [](frmTicker& t) { return t.hWnd(); }, State::HoverPause},
        PollCase{"OverTheTitle", [](frmTicker& t) { return t.picTitle.hWnd(); }, State::Scrolling},
        PollCase{"OverAnotherProgram",
                 [](frmTicker& t) { return t.hWnd() + t.picTicker.hWnd() + 1; }, State::Scrolling},
        PollCase{"OverNoWindow", [](frmTicker&) { return platform::WindowHandle{0}; },
                 State::Scrolling}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScrollingTest, MovesOverTheStripWhileScrollingLeaveTheTimerAlone) {
  frmTicker& t = h.ticker();
  t.picTicker.MouseMove(0, 0, 5, 5);
  t.picTicker.MouseMove(0, 0, 6, 5);
  EXPECT_EQ(StateOf(t), State::Scrolling);
  EXPECT_FALSE(t.tmrMouse.Enabled());
}

TEST_F(ScrollingTest, AnEmptyListMakesShortRunsThatReloadEachTime) {
  h.download.Put(FeedUrl("empty.php"), "<rss></rss>");
  frmTicker& t = h.ticker();
  t.strUrl = FeedUrl("empty.php");
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
  std::function<void(TickerHarness&)> act;
  State after;
};

void PrintTo(const DuringReloadCase& c, std::ostream* os) { *os << c.name; }

class DuringTheEndOfRunReload : public ScrollingTest,
                                public testing::WithParamInterface<DuringReloadCase> {};

TEST_P(DuringTheEndOfRunReload, TheOldRowStaysStillUntilTheStripIsBackAtTheRightEdge) {
  frmTicker& t = h.ticker();
  const platform::Twips lastLeft = -t.picTicker.Width() + 500 - 30;
  t.picTicker.setLeft(lastLeft + 30);  // the next tick ends the run
  platform::Twips leftLater = 0;
  bool scrollingAfterEvent = true;
  bool scrollingLater = true;
  bool acted = false;
  h.download.StallNext([&] {
    acted = true;
    GetParam().act(h);
    scrollingAfterEvent = t.tmrScroll.Enabled();
    // Time passes while the feed loads: each timer that is on ticks.
    for (int tick = 0; tick < 5; ++tick) {
      if (t.tmrScroll.Enabled()) t.tmrScroll_Timer();
      if (t.tmrMouse.Enabled()) t.tmrMouse_Timer();
    }
    scrollingLater = t.tmrScroll.Enabled();
    leftLater = t.picTicker.Left();
    h.download.Release();
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
                         [](TickerHarness& h) { h.ticker().picTicker.MouseMove(0, 0, 5, 5); },
                         State::Scrolling},
        DuringReloadCase{"MoveOverTheWindow",
                         [](TickerHarness& h) { h.ticker().MouseMove(0, 0, 5, 5); },
                         State::Scrolling},
        DuringReloadCase{"MoveOverTheTitle",
                         [](TickerHarness& h) { h.ticker().picTitle.MouseMove(0, 0, 5, 5); },
                         State::Scrolling},
        // The pointer comes to rest on the window (its move arrives first), then on a label
        // as the row passes: the pause's poll keeps it.
        DuringReloadCase{"RestOnALabel",
                         [](TickerHarness& h) {
                           h.fakes.cursor.window = h.ticker().hWnd();
                           h.ticker().lblItem.MouseMove(1, 0, 0, 5, 5);
                         },
                         State::HoverPause},
        DuringReloadCase{"RestOnALabelThenLeave",
                         [](TickerHarness& h) {
                           h.ticker().lblItem.MouseMove(1, 0, 0, 5, 5);
                           h.ticker().picTicker.MouseMove(0, 0, 5, 5);
                         },
                         State::Scrolling},
        DuringReloadCase{"OpenTheDialogAndCloseIt",
                         [](TickerHarness& h) {
                           h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
                           h.options().cmdClose_Click();
                         },
                         State::Scrolling},
        DuringReloadCase{"OpenTheDialog",
                         [](TickerHarness& h) {
                           h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
                         },
                         State::OptionsOpen}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
