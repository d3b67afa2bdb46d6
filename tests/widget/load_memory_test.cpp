// What a load costs in memory: labels share their item's texts (and element 0's, when made),
// and a feed that memory cannot hold is a failed load that leaves the row as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "widget/support/StripDefinition.h"
#include "widget/support/TickerHarness.h"

#include "../support/RefuseAllocations.h"
#include "support/TestEngine.h"

namespace {

const std::string kRss =
    "<rss><channel><title>Channel</title>"
    "<item><title>First</title><link>http://www.tallowmere.example/1</link></item>"
    "<item><title>Second</title><link>http://www.tallowmere.example/2</link></item>"
    "</channel></rss>";

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

class LoadMemoryTest : public testing::Test {
 protected:
  void SetUp() override {
    h.download.Put(FeedUrl("rss.php"), kRss);
    h.WriteSettings(SettingsText(FeedUrl("rss.php")));
    h.Start();
    ASSERT_EQ(h.ticker().items().size(), 3u);
  }

  TickerHarness h;
};

// 200,000 items: the list alone needs more than the 4 MiB that can be had.
TEST_F(LoadMemoryTest, AFeedThatCannotBeHeldIsAFailedLoadAndTheRowStays) {
  h.download.Put(FeedUrl("many.php"),
                 "<rss><channel>" + Repeat("<item></item>", 200000) + "</channel></rss>");
  const platform::Twips widthBefore = h.ticker().picTicker.Width();
  h.ticker().strUrl = FeedUrl("many.php");
  {
    const RefuseAllocationsOver refuse(4 * 1024 * 1024);
    h.ticker().LoadPage();
  }
  ASSERT_EQ(h.ticker().items().size(), 3u);
  EXPECT_EQ(h.ticker().items()[2].strTitle, "Second");
  EXPECT_EQ(h.ticker().lblItem.Count(), 3);
  EXPECT_EQ(h.ticker().lblItem(1).Caption(), "First");
  EXPECT_EQ(h.ticker().picTicker.Width(), widthBefore);
  EXPECT_EQ(h.ticker().picTitle.Picture(), h.ticker().imgNormal.Picture());
  const std::string tip = h.ticker().picTitle.ToolTipText();
  EXPECT_NE(tip.find("Last update failed at "), std::string::npos) << tip;
  EXPECT_TRUE(tip.ends_with(": not enough memory to hold the feed")) << tip;

  // With the memory there, the same feed loads.
  h.ticker().LoadPage();
  EXPECT_EQ(h.ticker().items().size(), 200001u);
  EXPECT_EQ(h.ticker().lblItem.Count(), 200001);
  EXPECT_EQ(h.ticker().picTitle.ToolTipText().find("failed"), std::string::npos);
}

// Every label shows its item's texts without a copy of them; a title too long to show whole
// shows a cut copy of at most a thousand characters, not a copy of the whole.
TEST_F(LoadMemoryTest, LabelsHoldTheirItemsTextsWithoutCopies) {
  const std::string headline(1 << 20, 'h');
  std::string stories = "STORY \nHEADLINE " + headline + "\nURL http://www.tallowmere.example/\n";
  for (int i = 0; i < 500; ++i) {
    stories += "HEADLINE Story " + std::to_string(i) + "\nURL http://www.tallowmere.example/\n";
  }
  h.download.Put(FeedUrl("Ticker.txt"), stories);
  h.ticker().strUrl = FeedUrl("Ticker.txt");
  h.ticker().LoadPage();
  const ItemList& items = h.ticker().items();
  ASSERT_EQ(items.size(), 502u);
  ASSERT_EQ(items[0].strTitle.size(), headline.size());
  for (int i = 0; i < 502; ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (i == 0) {
      EXPECT_LE(h.ticker().lblItem(0).Caption().size(), 1000u + 2);
    } else {
      ASSERT_EQ(&h.ticker().lblItem(i).Caption(), &items[at].strTitle.str()) << "label " << i;
    }
    ASSERT_EQ(&h.ticker().lblItem(i).ToolTipText(), &items[at].strToolTip.str()) << i;
  }
}

// A new element starts with element 0's texts: the same buffers, not copies of them.
TEST(LabelCopies, ANewLabelSharesElementZerosTexts) {
  platform::Form form{TestEngine(), StripDefinition()};
  platform::PictureBox box{form, StripBoxDefinition(0)};
  platform::LabelArray labels{box, {"lblItem", {}, {"MS Sans Serif", 8.25f, true}, {}}};
  labels(0).setCaption(std::string(1 << 20, 'c'));
  labels(0).setToolTipText("Post by A on D");
  for (int i = 1; i <= 1000; ++i) labels.Load(i);
  for (int i = 1; i <= 1000; ++i) {
    ASSERT_EQ(&labels(i).Caption(), &labels(0).Caption()) << "label " << i;
    ASSERT_EQ(&labels(i).ToolTipText(), &labels(0).ToolTipText()) << "label " << i;
  }
  // A caption set later is the label's own; element 0 keeps its text.
  labels(7).setCaption("seven");
  EXPECT_EQ(labels(7).Caption(), "seven");
  EXPECT_EQ(labels(0).Caption().size(), std::size_t{1} << 20);
}

}  // namespace
