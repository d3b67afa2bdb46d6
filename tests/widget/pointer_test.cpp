// The mouse on the strip: links, the drag by the title picture, the double-click reload and
// the options dialog, with the handlers' own button values.
#include <gtest/gtest.h>

#include "widget/support/TickerHarness.h"

namespace {

using platform::vbLeftButton;
using platform::vbMiddleButton;
using platform::vbRightButton;

class PointerTest : public testing::Test {
 protected:
  void SetUp() override {
    h.download.Put(FeedUrl("rss.php"),
                   "<rss><item><title>Linked</title><link>http://www.tallowmere.example/a?b=1"
                   "</link></item><item><title>Plain</title><link></link></item></rss>");
    h.download.Put(FeedUrl("ticker.txt"),
                   "STORY \nHEADLINE First story\nURL https://www.tallowmere.example/s1\n");
    h.WriteSettings(SettingsText(FeedUrl("rss.php"), "1500", "1500"));
    h.Start();
    ASSERT_EQ(h.ticker().items().size(), 3u);
  }

  TickerHarness h;
};

TEST_F(PointerTest, LeftAndMiddlePressesOpenTheLinkAndTheRightOneOpensTheDialog) {
  const std::vector<std::string>& links = h.fakes.opener.links;
  h.ticker().lblItem.MouseDown(1, vbLeftButton, 0, 5, 5);
  h.ticker().lblItem.MouseDown(1, vbMiddleButton, 0, 5, 5);
  EXPECT_EQ(links, (std::vector<std::string>{"http://www.tallowmere.example/a?b=1",
                                             "http://www.tallowmere.example/a?b=1"}));

  h.ticker().lblItem.MouseDown(1, vbRightButton, 0, 5, 5);
  EXPECT_TRUE(h.options().Visible());
  EXPECT_TRUE(h.ticker().optionsOpen());
  EXPECT_EQ(links.size(), 2u) << "a right press never opens the link";
}

TEST_F(PointerTest, PressesOnLabelsWithoutALinkDoNothing) {
  h.ticker().lblItem.MouseDown(0, vbLeftButton, 0, 5, 5);  // the empty element of an RSS feed
  h.ticker().lblItem.MouseDown(2, vbLeftButton, 0, 5, 5);
  EXPECT_TRUE(h.fakes.opener.links.empty());
  EXPECT_FALSE(h.options().Visible());
}

TEST_F(PointerTest, AfterAStoryListTheFirstLabelOpensTheFirstStory) {
  h.ticker().strUrl = FeedUrl("ticker.txt");
  h.ticker().LoadPage();
  h.ticker().lblItem.MouseDown(0, vbLeftButton, 0, 5, 5);
  EXPECT_EQ(h.fakes.opener.links, std::vector<std::string>{"https://www.tallowmere.example/s1"});
}

TEST_F(PointerTest, DraggingTheTitleKeepsThePressedPointUnderThePointer) {
  frmTicker& t = h.ticker();
  ASSERT_EQ(t.Left(), 1500);
  t.picTitle.MouseDown(vbLeftButton, 0, 100, 60);
  t.picTitle.MouseMove(vbLeftButton, 0, 400, 90);  // 300 right, 30 down
  EXPECT_EQ(t.Left(), 1800);
  EXPECT_EQ(t.Top(), 1530);
  // Both buttons held: no move. A right press stores a new point.
  t.picTitle.MouseDown(vbRightButton, 0, 50, 50);
  t.picTitle.MouseMove(vbLeftButton + vbRightButton, 0, 500, 500);
  EXPECT_EQ(t.Left(), 1800);
  EXPECT_EQ(t.Top(), 1530);
  // Releasing the right button opens the dialog; the left drag then goes on from the new point.
  t.picTitle.MouseUp(vbRightButton, 0, 50, 50);
  EXPECT_TRUE(h.options().Visible());
  t.picTitle.MouseMove(vbLeftButton, 0, 20, 80);
  EXPECT_EQ(t.Left(), 1770);
  EXPECT_EQ(t.Top(), 1560);
  // Off the screen is allowed.
  t.picTitle.MouseMove(vbLeftButton, 0, -100000, 50);
  EXPECT_EQ(t.Left(), 1770 - 100050);
}

TEST_F(PointerTest, ADoubleClickOnTheTitleReloadsAtOnceAlsoWithTheDialogOpen) {
  const int before = h.download.calls();
  h.ticker().picTitle.DblClick();
  EXPECT_EQ(h.download.calls(), before + 1);
  h.ticker().picTicker.MouseDown(vbRightButton, 0, 5, 5);
  h.ticker().picTitle.DblClick();
  EXPECT_EQ(h.download.calls(), before + 2);
  EXPECT_TRUE(h.ticker().optionsOpen());
}

TEST_F(PointerTest, RightButtonRowsOpenTheDialogOnlyOnTheirOwnEvent) {
  frmTicker& t = h.ticker();
  t.picTitle.MouseDown(vbRightButton, 0, 5, 5);  // stores a press point only
  EXPECT_FALSE(h.options().Visible());
  // A press on the window's own surface and a release on the strip or a label do nothing.
  EXPECT_FALSE(t.MouseDown);
  EXPECT_FALSE(t.picTicker.MouseUp);
  EXPECT_FALSE(t.lblItem.MouseUp);
  t.MouseUp(vbRightButton, 0, 5, 5);
  EXPECT_TRUE(h.options().Visible());
}

TEST_F(PointerTest, ShowOptionsFillsTheBoxWithoutCountingAnEdit) {
  h.ticker().strUrl = FeedUrl("typed.php");
  h.options().blnEdited = true;
  h.ticker().picTicker.MouseDown(vbRightButton, 0, 5, 5);
  EXPECT_EQ(h.options().cboURL.Text(), FeedUrl("typed.php"));
  EXPECT_FALSE(h.options().blnEdited);
  EXPECT_FALSE(h.options().blnEditingUrl);
}

TEST_F(PointerTest, AHostileLinkIsNeverHandedOnAndAWebLinkGoesAsOneUnchangedArgument) {
  h.download.Put(FeedUrl("hostile.php"),
                 "<rss><item><title>a</title><link>--help</link></item>"
                 "<item><title>b</title><link>file:///etc/passwd</link></item>"
                 "<item><title>c</title><link>http://www.tallowmere.example/a b;$(x)</link></item>"
                 "</rss>");
  h.ticker().strUrl = FeedUrl("hostile.php");
  h.ticker().LoadPage();
  for (int i = 1; i <= 3; ++i) h.ticker().lblItem.MouseDown(i, vbLeftButton, 0, 1, 1);
  EXPECT_EQ(h.fakes.opener.links,
            std::vector<std::string>{"http://www.tallowmere.example/a b;$(x)"});
}

// Feeds spread <link> over several lines; the blanks around the address are layout.
TEST_F(PointerTest, BlanksAroundALinkAreNotPartOfIt) {
  h.download.Put(FeedUrl("pretty.php"),
                 "<rss><item><title>a</title><link>\n    http://www.tallowmere.example/p1\n  "
                 "</link></item>"
                 "<item><title>b</title><link>\t https://www.tallowmere.example/p2 \r\n</link>"
                 "</item>"
                 "<item><title>c</title><link>\n   \n</link></item></rss>");
  frmTicker& t = h.ticker();
  t.strUrl = FeedUrl("pretty.php");
  t.LoadPage();
  ASSERT_EQ(t.lblItem.Count(), 4);
  const platform::Color linkColor = platform::RGB(51, 51, 152);
  EXPECT_EQ(t.lblItem(1).ForeColor(), linkColor);
  EXPECT_EQ(t.lblItem(1).MousePointer(), platform::vbCustom);
  EXPECT_EQ(t.lblItem(2).ForeColor(), linkColor);
  EXPECT_EQ(t.lblItem(2).MousePointer(), platform::vbCustom);
  // Blanks alone are no link: drawn and pointed at as plain text.
  EXPECT_EQ(t.lblItem(3).ForeColor(), 0u);
  EXPECT_EQ(t.lblItem(3).MousePointer(), platform::vbDefault);

  for (int i = 1; i <= 3; ++i) t.lblItem.MouseDown(i, vbLeftButton, 0, 1, 1);
  EXPECT_EQ(h.fakes.opener.links, (std::vector<std::string>{"http://www.tallowmere.example/p1",
                                                            "https://www.tallowmere.example/p2"}));
}

}  // namespace
