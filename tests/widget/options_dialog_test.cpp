// The options dialog: editing and applying the URL, its close requests, and the way out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "platform/program/Application.h"
#include "platform/qt/Widgets.h"
#include "platform/services/Profile.h"
#include "widget/support/TickerHarness.h"

using platform::qt::WidgetOf;

namespace {

class OptionsTest : public testing::Test {
 protected:
  void SetUp() override {
    h.download.Put(FeedUrl("rss.php"), "<rss><item><title>Default feed</title></item></rss>");
    h.download.Put(FeedUrl("other.php"), "<rss><item><title>Other feed</title></item></rss>");
    h.WriteSettings(SettingsText(FeedUrl("rss.php")));
    h.Start();
  }

  void Open() { h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5); }
  int Requests() { return h.download.calls(); }
  std::string SavedUrl() {
    return platform::GetPrivateProfileString("Options", "Default URL", "<missing>",
                                             h.SettingsPath());
  }
  // Types text into the URL box as a user does.
  void Type(const std::string& text) {
    auto* combo = qobject_cast<QComboBox*>(WidgetOf(h.options().cboURL));
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), QString::fromStdString(text));
  }

  TickerHarness h;
};

TEST_F(OptionsTest, DefinitionAsTheUserSeesIt) {
  frmOptions& o = h.options();
  EXPECT_EQ(o.cmdClose.Caption(), "&Close this Window");
  EXPECT_EQ(o.cmdExit.Caption(), "&Exit Ticker");
  EXPECT_EQ(o.Label1.Caption(), "URL:");
  EXPECT_TRUE(o.cmdClose.Default() || o.cmdClose.Cancel());
  EXPECT_FALSE(o.cmdExit.Default());
  EXPECT_FALSE(o.cmdExit.Cancel());
  EXPECT_FALSE(o.Visible());
}

TEST_F(OptionsTest, OpeningAndClosingWithoutAnEditDoesNotReload) {
  const int before = Requests();
  Open();
  h.options().cmdClose.Click();
  EXPECT_EQ(Requests(), before);
  EXPECT_FALSE(h.options().Visible());
  EXPECT_FALSE(h.ticker().optionsOpen());
  EXPECT_TRUE(h.ticker().tmrScroll.Enabled());
}

TEST_F(OptionsTest, TypingFollowsIntoStrUrlAndClosingReloads) {
  Open();
  Type(FeedUrl("other.php"));
  EXPECT_TRUE(h.options().blnEdited);
  EXPECT_EQ(h.ticker().strUrl, FeedUrl("other.php"));
  h.options().cmdClose.Click();
  ASSERT_EQ(h.ticker().items().size(), 2u);
  EXPECT_EQ(h.ticker().items()[1].strTitle, "Other feed");
  EXPECT_FALSE(h.options().Visible());
}

TEST_F(OptionsTest, PickingAListEntryCountsAsAnEdit) {
  Open();
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(h.options().cboURL));
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 2);
  // What picking the first entry from the drop-down does: the entry becomes the text, then
  // the pick is announced.
  combo->setCurrentIndex(0);
  emit combo->activated(0);
  EXPECT_TRUE(h.options().blnEdited);
  EXPECT_EQ(h.ticker().strUrl, DEFAULT_FEED_URL);
}

TEST_F(OptionsTest, TheCloseBoxBehavesAsTheButton) {
  Open();
  Type(FeedUrl("other.php"));
  WidgetOf(h.options())->close();  // a close request from the window system
  EXPECT_FALSE(h.options().Visible());
  EXPECT_FALSE(h.options().Closed()) << "the dialog is hidden, never closed";
  EXPECT_EQ(h.ticker().items()[1].strTitle, "Other feed");
  EXPECT_TRUE(h.ticker().tmrScroll.Enabled());
  Open();
  EXPECT_TRUE(h.options().Visible());
}

TEST_F(OptionsTest, ARefusedUrlWarnsOncePerReloadAndIsStillSavedAtExit) {
  Open();
  Type("http://elsewhere.example/rss.php");
  h.options().cmdClose.Click();
  EXPECT_EQ(h.messages.size(), 1u);
  EXPECT_EQ(h.ticker().items()[1].strTitle, "Default feed");
  h.ticker().picTitle.DblClick();
  EXPECT_EQ(h.messages.size(), 2u);
  Open();
  EXPECT_EQ(h.options().cboURL.Text(), "http://elsewhere.example/rss.php");
  h.options().cmdExit.Click();
  EXPECT_EQ(SavedUrl(), "http://elsewhere.example/rss.php");
  EXPECT_EQ(h.messages.size(), 2u) << "the exit loads nothing";
}

TEST_F(OptionsTest, AnEmptiedBoxStopsReloadsAndIsSavedEmpty) {
  Open();
  Type("x");
  QTest::keyClick(qobject_cast<QComboBox*>(WidgetOf(h.options().cboURL))->lineEdit(),
                  Qt::Key_Backspace);
  EXPECT_EQ(h.ticker().strUrl, "");
  const int before = Requests();
  h.options().cmdClose.Click();
  h.ticker().picTitle.DblClick();
  EXPECT_EQ(Requests(), before);
  EXPECT_TRUE(h.messages.empty());
  h.ticker().Unload();
  EXPECT_EQ(SavedUrl(), "");
}

TEST_F(OptionsTest, ExitAfterAnUnappliedEditSavesItWithoutLoading) {
  Open();
  Type(FeedUrl("other.php"));
  const int before = Requests();
  h.options().cmdExit.Click();
  EXPECT_EQ(Requests(), before);
  EXPECT_TRUE(h.ticker().Closed());
  EXPECT_EQ(h.programEnds, 1) << "the program ends once, when the strip window closes";
  EXPECT_EQ(h.ticker().strUrl, "");
  EXPECT_FALSE(h.ticker().tmrScroll.Enabled());
  EXPECT_EQ(SavedUrl(), FeedUrl("other.php"));
}

TEST_F(OptionsTest, TheListNeverGrowsPastItsStartUpEntries) {
  for (int i = 0; i < 3; ++i) {
    Open();
    Type(FeedUrl("other.php?n=" + std::to_string(i)));
    h.options().cmdClose.Click();
  }
  EXPECT_EQ(h.options().cboURL.ListCount(), 2);
}

TEST_F(OptionsTest, AFailedReloadFromTheDialogHidesItAndScrollsOn) {
  Open();
  Type(FeedUrl("missing.php"));
  h.options().cmdClose.Click();
  EXPECT_FALSE(h.options().Visible());
  EXPECT_TRUE(h.ticker().tmrScroll.Enabled());
  EXPECT_EQ(h.ticker().items()[1].strTitle, "Default feed");
  EXPECT_EQ(h.programEnds, 0);
}

TEST_F(OptionsTest, EnterInTheUrlBoxClosesTheDialog) {
  Open();
  Type(FeedUrl("other.php"));
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(h.options().cboURL));
  // The window manager activates a window that is shown; offscreen there is none to do it.
  QApplication::setActiveWindow(WidgetOf(h.options()));
  combo->lineEdit()->setFocus();
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  EXPECT_FALSE(h.options().Visible());
  EXPECT_EQ(h.ticker().items()[1].strTitle, "Other feed");
}

// The dialog on its own, reporting to a window that records what it is told.
class RecordingOwner final : public OptionsOwner {
 public:
  void Apply(const Settings& edited) override { applied.push_back(edited.url); }
  bool Resume(bool reload) override {
    resumes.push_back(reload);
    return !gone;
  }
  void Exit() override { ++exits; }

  std::vector<std::string> applied;
  std::vector<bool> resumes;
  int exits = 0;
  bool gone = false;
};

class OptionsReportTest : public testing::Test {
 protected:
  void SetUp() override {
    dialog.Attach(owner);
    dialog.EnsureLoaded();
  }
  void Type(const std::string& text) {
    auto* combo = qobject_cast<QComboBox*>(WidgetOf(dialog.cboURL));
    ASSERT_NE(combo, nullptr);
    QTest::keyClicks(combo->lineEdit(), QString::fromStdString(text));
  }

  FakeServices fakes{TestEngine().surface()};
  RecordingOwner owner;
  frmOptions dialog{fakes.services()};
};

TEST_F(OptionsReportTest, OpeningFillsTheBoxAndReportsNothing) {
  dialog.blnEdited = true;
  dialog.Open({.url = "http://tallowmere.example/rss.php"});
  EXPECT_TRUE(dialog.Visible());
  EXPECT_EQ(dialog.Edited().url, "http://tallowmere.example/rss.php");
  EXPECT_FALSE(dialog.blnEdited);
  EXPECT_FALSE(dialog.blnEditingUrl);
  EXPECT_TRUE(owner.applied.empty());
}

TEST_F(OptionsReportTest, EveryKeystrokeIsAppliedAsItStands) {
  dialog.Open({.url = ""});
  Type("ab");
  EXPECT_EQ(owner.applied, (std::vector<std::string>{"a", "ab"}));
  EXPECT_TRUE(dialog.blnEdited);
}

struct CloseCase {
  const char* name;
  bool edit;
  bool ownerGone;
  std::vector<bool> resumes;
  bool hidden;
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class OptionsCloseTest : public OptionsReportTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(OptionsCloseTest, ClosingResumesAndReloadsOnlyAfterAnEdit) {
  const CloseCase& c = GetParam();
  dialog.Open({.url = "http://tallowmere.example/rss.php"});
  if (c.edit) Type("x");
  owner.gone = c.ownerGone;
  int cancel = 0;
  dialog.Form_QueryUnload(cancel, 0);
  EXPECT_EQ(owner.resumes, c.resumes);
  EXPECT_EQ(cancel != 0, c.hidden) << "a hidden dialog refuses the close";
  EXPECT_EQ(dialog.Visible(), !c.hidden);
  EXPECT_EQ(owner.exits, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionsCloseTest,
                         testing::Values(CloseCase{"Unedited", false, false, {false}, true},
                                         CloseCase{"Edited", true, false, {true}, true},
                                         // The strip window has closed: the dialog goes too.
                                         CloseCase{"OwnerGone", true, true, {true}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionsReportTest, TheSessionsEndClosesWithoutResumingOrExiting) {
  dialog.Open({.url = "http://tallowmere.example/rss.php"});
  Type("x");
  int cancel = 0;
  dialog.Form_QueryUnload(cancel, platform::vbAppWindows);
  EXPECT_EQ(cancel, 0);
  EXPECT_TRUE(owner.resumes.empty());
  EXPECT_EQ(owner.exits, 0);
}

// The program is ending (a run-time error, say) while the dialog is open: its close goes
// through without asking the strip to resume or load.
TEST_F(OptionsReportTest, WhileTheProgramEndsACloseNeitherResumesNorRefuses) {
  dialog.Open({.url = "http://tallowmere.example/rss.php"});
  Type("x");
  fakes.session.EndProgram();
  int cancel = 0;
  dialog.Form_QueryUnload(cancel, platform::vbFormControlMenu);
  EXPECT_EQ(cancel, 0);
  EXPECT_TRUE(owner.resumes.empty());
  EXPECT_EQ(owner.exits, 0);
}

TEST_F(OptionsReportTest, ExitIsReportedOnceAndNothingElse) {
  dialog.Open({.url = "http://tallowmere.example/rss.php"});
  Type("x");
  owner.applied.clear();
  dialog.cmdExit.Click();
  EXPECT_EQ(owner.exits, 1);
  EXPECT_TRUE(owner.resumes.empty());
  EXPECT_TRUE(owner.applied.empty());
}

}  // namespace
