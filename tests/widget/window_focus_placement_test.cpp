// Who takes the keyboard when the two windows show, and where the strip is put back when its
// saved place is out of reach.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "platform/qt/Widgets.h"
#include "widget/support/TickerHarness.h"

using platform::qt::WidgetOf;

namespace {

// Nothing answers on this port: the start-up fetch fails at once and the strip still gets
// its laid-out height.
const std::string kDeadHomeUrl = "http://127.0.0.1:9/tallowmere.example/feed.php";

struct AboveCase {
  const char* name;
  const char* savedTop;  // twips
  bool broughtBack;
};

class SavedAboveTheScreen : public testing::TestWithParam<AboveCase> {};

// The strip is one line of text high (about 16 pixels); as designed, before its layout, the
// window is 3090 twips (206 pixels) high. Only the height it shows with decides.
TEST_P(SavedAboveTheScreen, IsJudgedByTheStripsRealHeight) {
  const AboveCase& c = GetParam();
  TickerHarness h;
  h.WriteSettings(SettingsText(kDeadHomeUrl, "1500", c.savedTop));
  h.Start();
  const auto area = h.fakes.screens.workArea;
  // The cases stand for a strip at most 40 pixels high.
  ASSERT_LE(h.ticker().Height(), 600) << "the strip is laid out before the check";
  if (c.broughtBack) {
    EXPECT_EQ(h.ticker().Left(), area.left);
    EXPECT_EQ(h.ticker().Top(), area.top);
  } else {
    EXPECT_EQ(h.ticker().Left(), 1500);
    EXPECT_EQ(h.ticker().Top(), std::stof(c.savedTop));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SavedAboveTheScreen,
    testing::Values(
        // Partly visible: the user's choice, kept.
        AboveCase{"TwoPixelsAbove", "-30", false},
        // Wholly above the screen, though within the height it was designed at.
        AboveCase{"FortyPixelsAbove", "-600", true}, AboveCase{"HundredPixelsAbove", "-1500", true},
        AboveCase{"TwoHundredPixelsAbove", "-3000", true},
        // Beyond even the designed height: brought back before as now.
        AboveCase{"FarAbove", "-9000", true}),
    [](const auto& info) { return std::string(info.param.name); });

class WindowFocus : public testing::Test {
 protected:
  void SetUp() override {
    h.WriteSettings(SettingsText(kDeadHomeUrl, "1500", "1500"));
    h.Start();
  }
  // A right-click on the strip.
  void Open() {
    h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
    ASSERT_TRUE(h.options().Visible());
  }
  bool DialogBecomesActive() {
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog(); });
  }
  QWidget* dialog() { return WidgetOf(h.options()); }
  // Another program's window becomes the active one.
  void ActivateOther() {
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }));
  }
  QWidget* urlBox() { return WidgetOf(h.options().cboURL); }

  TickerHarness h;
  QWidget other;
};

// The offscreen platform activates every window it shows; the window manager is the one to
// honour the request (the end-to-end tests check that it does).
TEST_F(WindowFocus, TheStripAsksToShowWithoutTakingTheKeyboard) {
  EXPECT_TRUE(WidgetOf(h.ticker())->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_FALSE(dialog()->testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST_F(WindowFocus, EveryShowingOfTheDialogMakesItActiveWithTheUrlBoxFocused) {
  Open();
  EXPECT_TRUE(DialogBecomesActive());
  EXPECT_EQ(dialog()->focusWidget(), urlBox());
  // The whole URL is selected: typing replaces it.
  QLineEdit* edit = static_cast<QComboBox*>(urlBox())->lineEdit();
  ASSERT_FALSE(edit->text().isEmpty());
  EXPECT_EQ(edit->selectedText(), edit->text());

  // The user tabs to another control and closes the dialog; the next showing starts over.
  edit->deselect();
  WidgetOf(h.options().cmdExit)->setFocus();
  h.options().cmdClose.Click();
  ASSERT_FALSE(h.options().Visible());
  ActivateOther();
  Open();
  EXPECT_TRUE(DialogBecomesActive());
  EXPECT_EQ(dialog()->focusWidget(), urlBox());
  EXPECT_EQ(edit->selectedText(), edit->text());

  // A right-click while it is open but another window is active brings it to the front again.
  ActivateOther();
  Open();
  EXPECT_TRUE(DialogBecomesActive());
}

TEST_F(WindowFocus, AMinimisedOrMaximisedDialogComesBackRestored) {
  for (const Qt::WindowState left : {Qt::WindowMinimized, Qt::WindowMaximized}) {
    SCOPED_TRACE(static_cast<int>(left));
    Open();
    dialog()->setWindowState(left);
    ActivateOther();
    Open();
    EXPECT_EQ(dialog()->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
              Qt::WindowNoState);
    EXPECT_TRUE(DialogBecomesActive());
    h.options().cmdClose.Click();
  }
  // Left minimised and then hidden (closed from the window manager's list): shown restored.
  Open();
  dialog()->setWindowState(Qt::WindowMinimized);
  h.options().cmdClose.Click();
  Open();
  EXPECT_FALSE(dialog()->windowState() & Qt::WindowMinimized);
}

}  // namespace
