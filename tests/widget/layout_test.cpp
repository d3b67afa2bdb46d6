// The row of labels that a load lays out: positions from measured widths, colours and
// pointers by link, heights from the label font, and lists of any length.
#include <gtest/gtest.h>

#include <string>

#include "widget/support/TickerHarness.h"

namespace {

std::string RssItem(const std::string& title, const std::string& link) {
  return "<item><title>" + title + "</title><link>" + link +
         "</link><author>a</author><pubDate>d</pubDate></item>";
}

class LayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    h.download.Put(FeedUrl("empty.php"), "<rss></rss>");
    h.WriteSettings(SettingsText(FeedUrl("empty.php")));
    h.Start();
  }

  void Load(const std::string& name, const std::string& document) {
    h.download.Put(FeedUrl(name), document);
    h.ticker().strUrl = FeedUrl(name);
    h.ticker().LoadPage();
  }

  float Measure(const std::string& caption) {
    h.ticker().picTicker.setFontBold(true);
    return h.ticker().picTicker.TextWidth(caption);
  }

  TickerHarness h;
};

TEST_F(LayoutTest, AnEmptyListLeavesOnlyTheEmptyTemplateLabel) {
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.lblItem.Count(), 1);
  EXPECT_EQ(t.lblItem(0).Caption(), "");
  EXPECT_EQ(t.lblItem(0).Width(), 0);
  EXPECT_EQ(t.lblItem(0).Left(), 0);
  EXPECT_EQ(t.lblItem(0).Top(), 10);
  EXPECT_EQ(t.lblItem(0).ForeColor(), 0u);
  EXPECT_EQ(t.picTicker.Width(), 240);
  EXPECT_GT(t.lblItem(0).Height(), 0);
  EXPECT_EQ(t.picTicker.Height(), t.lblItem(0).Height() + 60);
  EXPECT_EQ(t.Height(), t.picTicker.Height());
  EXPECT_EQ(t.picTitle.Height(), t.picTicker.Height());
}

TEST_F(LayoutTest, RssLabelsStand220TwipsApartAfterTheEmptyFirstOne) {
  Load("three.php", "<rss>" + RssItem("Alpha one", "http://www.tallowmere.example/a") +
                        RssItem("Beta & two", "") + RssItem("Gamma", "http://x.example/g") +
                        "</rss>");
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.lblItem.Count(), 4);
  float left = 0;
  for (int i = 1; i <= 3; ++i) {
    left += (i == 1 ? 0 : t.lblItem(i - 1).Width()) + 220;
    EXPECT_EQ(t.lblItem(i).Left(), left) << i;
    EXPECT_EQ(t.lblItem(i).Top(), 10);
    EXPECT_EQ(t.lblItem(i).Height(), t.lblItem(0).Height());
    EXPECT_TRUE(t.lblItem(i).Visible());
  }
  EXPECT_EQ(t.lblItem(2).Caption(), "Beta & two");
  EXPECT_EQ(t.lblItem(2).Width(), Measure("Beta & two"));
  EXPECT_EQ(t.lblItem(1).ToolTipText(), "Post by a on d");
  EXPECT_EQ(t.picTicker.Width(), t.lblItem(3).Left() + t.lblItem(3).Width() + 240);
  // 220 per label after the first, every width, and the trailing 240.
  EXPECT_EQ(t.picTicker.Width(),
            220 * 3 + Measure("Alpha one") + Measure("Beta & two") + Measure("Gamma") + 240);
}

TEST_F(LayoutTest, LinkedItemsAreBlueWithTheHandAndOthersBlackWithTheArrow) {
  Load("links.php", "<rss>" + RssItem("Linked", "http://www.tallowmere.example/a") +
                        RssItem("Plain", "") + "</rss>");
  frmTicker& t = h.ticker();
  EXPECT_EQ(t.lblItem(1).ForeColor(), 0x00983333u);
  EXPECT_EQ(t.lblItem(1).MousePointer(), 99);
  EXPECT_EQ(t.lblItem(2).ForeColor(), 0u);
  EXPECT_EQ(t.lblItem(2).MousePointer(), 0);
  EXPECT_EQ(t.lblItem(0).MousePointer(), 0);
}

TEST_F(LayoutTest, AStoryListPutsItsEmptyLabelLast) {
  Load("ticker.txt", "STORY \nHEADLINE Only story\nURL http://www.tallowmere.example/s\n");
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.lblItem.Count(), 2);
  const float w = Measure("Only story");
  EXPECT_EQ(t.lblItem(0).Left(), 0);
  EXPECT_EQ(t.lblItem(0).Width(), w);
  EXPECT_EQ(t.lblItem(1).Left(), w + 220);
  EXPECT_EQ(t.lblItem(1).Width(), 0);
  EXPECT_EQ(t.picTicker.Width(), w + 460);
  EXPECT_EQ(t.lblItem(0).MousePointer(), 99);
}

TEST_F(LayoutTest, EveryLabelTakesItsPointerFromItsOwnItemAfterAStoryList) {
  Load("ticker.txt", "STORY \nHEADLINE Linked\nURL http://www.tallowmere.example/s\n");
  ASSERT_EQ(h.ticker().lblItem(0).MousePointer(), 99);
  Load("after.php", "<rss>" + RssItem("No link", "") +
                        RssItem("Link", "http://www.tallowmere.example/l") + "</rss>");
  EXPECT_EQ(h.ticker().lblItem(0).MousePointer(), 0);
  EXPECT_EQ(h.ticker().lblItem(1).MousePointer(), 0);
  EXPECT_EQ(h.ticker().lblItem(2).MousePointer(), 99);
}

TEST_F(LayoutTest, AShorterListRemovesEveryLabelOfTheLongerOne) {
  std::string many = "<rss>";
  for (int i = 0; i < 50; ++i) many += RssItem("Item " + std::to_string(i), "");
  Load("many.php", many + "</rss>");
  ASSERT_EQ(h.ticker().lblItem.Count(), 51);
  Load("two.php", "<rss>" + RssItem("A", "") + RssItem("B", "") + "</rss>");
  EXPECT_EQ(h.ticker().lblItem.Count(), 3);
  EXPECT_EQ(h.ticker().lblItem.UBound(), 2);
  EXPECT_FALSE(h.ticker().lblItem.IsLoaded(3));
}

TEST_F(LayoutTest, ALayoutLeavesTheStripWhereItWas) {
  h.ticker().picTicker.setLeft(-1234);
  Load("one.php", "<rss>" + RssItem("One", "") + "</rss>");
  EXPECT_EQ(h.ticker().picTicker.Left(), -1234);
}

TEST_F(LayoutTest, ListsLongerThan32767ItemsAreLaidOutWhole) {
  std::string document = "<rss>";
  document.reserve(40000 * 40);
  for (int i = 0; i < 40000; ++i)
    document += "<item><title>t" + std::to_string(i) + "</title></item>";
  Load("long.php", document + "</rss>");
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.lblItem.Count(), 40001);
  EXPECT_EQ(t.lblItem(40000).Caption(), "t39999");
  EXPECT_GT(t.lblItem(40000).Left(), t.lblItem(39999).Left());
  EXPECT_EQ(t.picTicker.Width(), t.lblItem(40000).Left() + t.lblItem(40000).Width() + 240);
}

// 3,000 empty items borrow a title of a million two-byte characters: each label shows its first
// 999 characters and an ellipsis, the item keeps the whole title, and the row stays short of
// 2^29 twips, beyond which a 30-twip scroll step is lost in single-float rounding.
TEST_F(LayoutTest, AMillionCharacterTitleShowsCutAndTheRowStaysScrollable) {
  std::string title;
  for (int i = 0; i < 1'000'000; ++i) title += "\xC3\xA9";
  std::string document = "<rss>";
  for (int i = 0; i < 3000; ++i) document += "<item></item>";
  Load("huge.php", document + RssItem(title, "") + "</rss>");
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.lblItem.Count(), 3002);
  EXPECT_EQ(t.items()[1].strTitle, title);
  std::string shown;
  for (int i = 0; i < 999; ++i) shown += "\xC3\xA9";
  shown += "\xE2\x80\xA6";
  for (const int i : {1, 3001}) EXPECT_EQ(t.lblItem(i).Caption(), shown) << i;
  EXPECT_EQ(t.lblItem(3001).Width(), Measure(shown));
  EXPECT_GT(t.lblItem(3001).Left(), t.lblItem(3000).Left());
  EXPECT_LT(t.picTicker.Width(), 536870912.0f);
}

}  // namespace
