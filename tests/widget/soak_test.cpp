// Thousands of reloads of the real windows, as a long-running ticker does them: the end of a
// run, the double-click on the title, the options dialog opened and closed, failed fetches.
// The sanitizer build of this test is the leak and memory-error soak; in every build the
// windows must stay in step with the feed and hold no more objects at the end than after the
// first cycles (objects owned by a window are freed with it, so a leak sanitizer at exit
// would never see labels or timers piling up during the run).
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <string>

#include "widget/support/TickerHarness.h"

namespace {

constexpr int kCycles = 2000;
constexpr int kSmallItems = 5;
constexpr int kStories = 3;

std::string SmallFeed() {
  std::string feed = "<rss><channel><title>Small</title>";
  for (int i = 1; i <= kSmallItems; ++i) {
    const std::string n = std::to_string(i);
    feed += "<item><title>Headline number " + n + " &amp; more</title><link>" +
            "http://www.tallowmere.example/n/" + n + "</link><author>Desk " + n +
            "</author><pubDate>Mon, 07 Dec 2026 08:00:00 GMT</pubDate></item>";
  }
  return feed + "</channel></rss>";
}

std::string StoryList() {
  std::string list = "STORY \n";
  for (int i = 1; i <= kStories; ++i) {
    list += "HEADLINE Story " + std::to_string(i) + "\nURL http://www.tallowmere.example/s/" +
            std::to_string(i) + "\n";
  }
  return list;
}

// Every object that lives under a top-level window of the program.
std::size_t ObjectCount() {
  std::size_t count = 0;
  for (QWidget* window : QApplication::topLevelWidgets())
    count += 1 + static_cast<std::size_t>(window->findChildren<QObject*>().size());
  return count;
}

enum class Feed { Empty, Small, Stories, Missing };

struct Cycle {
  Feed feed;
  bool doubleClick;  // otherwise the end-of-run tick reloads
  bool options;      // the dialog is opened and closed after the reload
};

// Empty and small feeds take turns; every seventh cycle reads a story list, every
// thirteenth fails (the items of the cycle before stay), every third reloads by a
// double-click and every fiftieth also opens and closes the options dialog.
Cycle CycleAt(int i) {
  Feed feed = i % 2 == 0 ? Feed::Empty : Feed::Small;
  if (i % 7 == 3) feed = Feed::Stories;
  if (i % 13 == 5) feed = Feed::Missing;
  return {feed, i % 3 == 0, i % 50 == 49};
}

TEST(Soak, TwoThousandReloadsKeepTheWindowsInStepAndGrowNothing) {
  TickerHarness h;
  h.download.Put(FeedUrl("empty.php"), "<rss><channel><title>Empty</title></channel></rss>");
  h.download.Put(FeedUrl("small.php"), SmallFeed());
  h.download.Put(FeedUrl("ticker.txt"), StoryList());
  const std::string urls[] = {FeedUrl("empty.php"), FeedUrl("small.php"), FeedUrl("ticker.txt"),
                              FeedUrl("missing.php")};

  h.WriteSettings(SettingsText(urls[1]));
  h.Start();
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.items().size(), std::size_t{kSmallItems + 1});

  std::size_t expectedItems = t.items().size();
  std::size_t objectsEarly = 0;
  int failures = 0;
  for (int i = 0; i < kCycles && failures < 5; ++i) {
    const Cycle c = CycleAt(i);
    t.strUrl = urls[static_cast<int>(c.feed)];
    if (c.doubleClick) {
      const platform::Twips left = t.picTicker.Left();
      t.picTitle.DblClick();
      if (t.picTicker.Left() != left) ++failures, ADD_FAILURE() << "cycle " << i << ": moved";
    } else {
      // The row has run past the title picture: the next tick ends the run.
      t.picTicker.setLeft(-t.picTicker.Width());
      t.tmrScroll_Timer();
      if (t.picTicker.Left() != t.Width() + 30 || !t.tmrScroll.Enabled())
        ++failures, ADD_FAILURE() << "cycle " << i << ": the new run did not start";
    }
    if (c.feed == Feed::Empty) expectedItems = 1;
    if (c.feed == Feed::Small) expectedItems = kSmallItems + 1;
    if (c.feed == Feed::Stories) expectedItems = kStories + 1;
    if (t.items().size() != expectedItems || t.lblItem.Count() != static_cast<int>(expectedItems) ||
        t.lblItem.elements().size() > std::size_t{kSmallItems + 1}) {
      ++failures;
      ADD_FAILURE() << "cycle " << i << ": " << t.items().size() << " items, " << t.lblItem.Count()
                    << " labels, " << t.lblItem.elements().size() << " label slots";
    }
    // The pointer passes over the strip: pause on the last label, resume between them.
    t.lblItem.MouseMove(t.lblItem.UBound(), 0, 0, 10, 10);
    t.picTicker.MouseMove(0, 0, 10, 10);
    if (c.options) {
      t.picTicker.MouseDown(platform::vbRightButton, 0, 10, 10);
      h.options().cmdClose_Click();
      if (t.optionsOpen() || h.options().Visible())
        ++failures, ADD_FAILURE() << "cycle " << i << ": the dialog stayed open";
    }
    QApplication::processEvents();
    // The first cycles have used every kind of reload and the dialog has been shown once.
    if (i == 100) objectsEarly = ObjectCount();
  }
  ASSERT_EQ(failures, 0);
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(ObjectCount(), objectsEarly) << "objects piled up under the windows";

  // Every cycle really fetched (the start-up load is the first request).
  EXPECT_EQ(h.download.calls(), kCycles + 1);

  // The program still closes and saves as on its first day.
  EXPECT_TRUE(t.Unload());
  EXPECT_NE(h.ReadSettings().find("WindowX="), std::string::npos);
}

}  // namespace
