// What a screen reader finds on the two windows: every headline that shows on the strip as an
// object named by its caption, described by its tooltip and a link when it has one; the title
// picture named by its tooltip; the dialog's URL box named by the label above it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/qt/Widgets.h"
#include "widget/support/TickerHarness.h"

using platform::qt::WidgetOf;

namespace {

struct Seen {
  std::string name;
  std::string description;
  QAccessible::Role role;
};

std::vector<Seen> Headlines(QWidget* strip) {
  std::vector<Seen> seen;
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(strip);
  if (box == nullptr) return seen;
  for (int i = 0; i < box->childCount(); ++i) {
    QAccessibleInterface* label = box->child(i);
    if (label == nullptr || !label->isValid()) continue;
    EXPECT_EQ(label->parent(), box);
    EXPECT_EQ(box->indexOfChild(label), i);
    seen.push_back({label->text(QAccessible::Name).toStdString(),
                    label->text(QAccessible::Description).toStdString(), label->role()});
  }
  return seen;
}

class AccessibilityTest : public testing::Test {
 protected:
  void SetUp() override {
    h.download.Put(FeedUrl("rss.php"),
                   "<rss><item><title>Council &amp; budget</title>"
                   "<link>http://www.tallowmere.example/1</link><author>Ann</author>"
                   "<pubDate>Mon</pubDate></item>"
                   "<item><title>No link here</title><link></link><author>Bob</author>"
                   "<pubDate>Tue</pubDate></item></rss>");
    h.WriteSettings(SettingsText(FeedUrl("rss.php")));
    h.Start();
  }

  TickerHarness h;
};

TEST_F(AccessibilityTest, EachShownHeadlineIsANamedObjectWithItsTooltipAndLinkRole) {
  const std::vector<Seen> seen = Headlines(WidgetOf(h.ticker().picTicker));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].name, "Council & budget");
  EXPECT_EQ(seen[0].role, QAccessible::Link);
  EXPECT_EQ(seen[0].description, h.ticker().lblItem(1).ToolTipText());
  EXPECT_NE(seen[0].description.find("Ann"), std::string::npos);
  EXPECT_EQ(seen[1].name, "No link here");
  EXPECT_EQ(seen[1].role, QAccessible::StaticText);
}

TEST_F(AccessibilityTest, HeadlinesScrolledOutOfTheStripAreNotOffered) {
  frmTicker& t = h.ticker();
  // Far to the left: the whole row has passed the title picture.
  t.picTicker.setLeft(-t.picTicker.Width() - 1000);
  EXPECT_TRUE(Headlines(WidgetOf(t.picTicker)).empty());
  t.picTicker.setLeft(960);
  EXPECT_EQ(Headlines(WidgetOf(t.picTicker)).size(), 2u);
}

TEST_F(AccessibilityTest, AReloadReplacesTheObjectsTexts) {
  h.download.Put(FeedUrl("rss.php"),
                 "<rss><item><title>Only story</title><link></link></item></rss>");
  h.ticker().LoadPage();
  const std::vector<Seen> seen = Headlines(WidgetOf(h.ticker().picTicker));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].name, "Only story");
}

TEST_F(AccessibilityTest, TheTitlePictureIsNamedByItsTooltip) {
  QAccessibleInterface* title =
      QAccessible::queryAccessibleInterface(WidgetOf(h.ticker().picTitle));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(QAccessible::Name).toStdString(), h.ticker().picTitle.ToolTipText());
  EXPECT_FALSE(title->text(QAccessible::Name).isEmpty());
}

TEST_F(AccessibilityTest, TheUrlBoxIsNamedUrl) {
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(WidgetOf(h.options().cboURL));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(QAccessible::Name).toStdString(), "URL");
}

}  // namespace
