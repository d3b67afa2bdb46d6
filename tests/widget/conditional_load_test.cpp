// A reload of a feed that did not change: the server answered "304 Not Modified", the download
// gives the document it held, and the strip shows exactly what a second copy of the same body
// would have given.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "widget/support/TickerHarness.h"

namespace {

const std::string kRss =
    "<rss><channel><title>Channel</title>"
    "<item><title>Harbour footbridge reopens</title><link>http://www.tallowmere.example/1</link>"
    "<author>Desk</author><pubDate>Mon, 07 Dec 2026 09:00:00 GMT</pubDate></item>"
    "<item><title>Ferry timetable changes</title><link>http://www.tallowmere.example/2</link>"
    "</item><item><title>No link here</title></item></channel></rss>";

// Everything the row of labels shows, label by label, and the strip's size.
using LabelView = std::tuple<std::string, std::string, float, float, float, float, unsigned, int,
                             bool, std::string>;

std::vector<LabelView> Row(frmTicker& t) {
  std::vector<LabelView> row;
  for (int i = 0; i < t.lblItem.Count(); ++i) {
    const auto label = t.lblItem(i);
    row.emplace_back(label.Caption(), label.ToolTipText(), label.Left(), label.Top(), label.Width(),
                     label.Height(), label.ForeColor(), label.MousePointer(), label.Visible(),
                     t.items()[static_cast<std::size_t>(i)].strLink);
  }
  row.emplace_back("strip", "", t.picTicker.Left(), t.picTicker.Top(), t.picTicker.Width(),
                   t.picTicker.Height(), 0u, 0, true, "");
  return row;
}

TEST(ConditionalLoad, A304LeavesTheStripAsTheSameBodyWould) {
  const std::string url = "http://www.tallowmere.example/rss.php";
  TickerHarness h;
  h.download.Queue(FakeDownload::Document(kRss, 200));
  h.download.Queue(FakeDownload::Document(kRss, 304));
  h.download.Queue(FakeDownload::Document(kRss, 200));
  h.WriteSettings(SettingsText(url));
  h.Start();
  frmTicker& t = h.ticker();
  // The strip stands still, so that only the loads could change what it shows.
  t.tmrScroll.setEnabled(false);
  t.tmrMouse.setEnabled(false);
  const std::vector<LabelView> first = Row(t);
  ASSERT_EQ(t.lblItem.Count(), 4);
  EXPECT_EQ(t.lblItem(1).Caption(), "Harbour footbridge reopens");
  const std::string tooltip = t.picTitle.ToolTipText();

  t.LoadPage();
  EXPECT_EQ(h.download.calls(), 2);
  EXPECT_EQ(Row(t), first);
  EXPECT_EQ(t.picTitle.ToolTipText(), tooltip) << "a 304 is no failure";
  EXPECT_EQ(t.picTitle.Picture(), t.imgNormal.Picture());
  EXPECT_EQ(t.picTitle.BackColor(), 0x80FFu);

  // The same body again, asked for in full, lays out the same row.
  t.LoadPage();
  EXPECT_EQ(h.download.calls(), 3);
  EXPECT_EQ(Row(t), first);
}

}  // namespace
