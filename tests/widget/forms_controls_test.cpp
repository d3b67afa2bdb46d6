// The dialog controls (combo box, push buttons, plain label), and the system's message box,
// screens and cursor.
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/ComboBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/program/Application.h"
#include "platform/qt/SystemServiceClasses.h"
#include "platform/qt/Widgets.h"
#include "platform/services/MsgBox.h"
#include "support/TestEngine.h"
#include "widget/support/SessionForTest.h"
#include "widget/support/WaitFor.h"

using platform::qt::WidgetOf;

namespace platform {
namespace {

Form::Definition DialogDefinition() {
  Form::Definition d;
  d.name = "frmOptions";
  d.caption = "Ticker : Options";
  d.borderStyle = BorderStyle::FixedToolWindow;
  d.clientWidth = 4680;
  d.clientHeight = 1320;
  d.startUpPosition = StartUpPosition::CenterScreen;
  return d;
}

class Dialog : public testing::Test {
 protected:
  Form form{TestEngine(), DialogDefinition()};
  ComboBox cboURL{form, {"cboURL", 120, 360, 4455, 315, 0}};
  CommandButton cmdClose{form, {"cmdClose", "&Close this Window", 120, 840, 1575, 375, 1, true}};
  CommandButton cmdExit{form, {"cmdExit", "&Exit Ticker", 3240, 840, 1335, 375, 2}};
  Label Label1{form, {"Label1", "URL:", 120, 120, 1335, 255, 3}};
  std::vector<std::string> events;

  void SetUp() override {
    cboURL.Change = [&] { events.push_back("Change " + cboURL.Text()); };
    cboURL.Click = [&] { events.push_back("Click " + cboURL.Text()); };
    cmdClose.Click = [&] { events.push_back("Close"); };
    cmdExit.Click = [&] { events.push_back("Exit"); };
  }

  void ShowActive() {
    form.Show();
    WidgetOf(form)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(form)));
  }

  QComboBox* combo() { return static_cast<QComboBox*>(WidgetOf(cboURL)); }
};

// --- Combo box ---------------------------------------------------------------------------

TEST_F(Dialog, SettingTheTextRaisesOneChangeAndOnlyWhenItDiffers) {
  cboURL.setText("http://one.example/");
  cboURL.setText("http://one.example/");
  cboURL.setText("");
  const std::vector<std::string> expected = {"Change http://one.example/", "Change "};
  EXPECT_EQ(events, expected);
}

TEST_F(Dialog, AddingEntriesLeavesTheTextAlone) {
  cboURL.AddItem("http://www.tallowmere.example/rss.php");
  cboURL.AddItem("http://feeds.tallowmere.example/ticker");
  EXPECT_EQ(cboURL.Text(), "");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(cboURL.ListCount(), 2);
  EXPECT_EQ(cboURL.List(1), "http://feeds.tallowmere.example/ticker");
  EXPECT_EQ(cboURL.List(2), "");
  EXPECT_EQ(cboURL.List(-1), "");
  cboURL.setText("typed");
  cboURL.AddItem("third");
  EXPECT_EQ(cboURL.Text(), "typed");
}

TEST_F(Dialog, TypingRaisesAChangePerEditWithoutCompletingOrAddingToTheList) {
  cboURL.AddItem("http://www.tallowmere.example/rss.php");
  ShowActive();
  combo()->setFocus();
  QTest::keyClicks(combo()->lineEdit(), "htt");
  const std::vector<std::string> expected = {"Change h", "Change ht", "Change htt"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(cboURL.Text(), "htt");
  QTest::keyClick(combo()->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(cboURL.ListCount(), 1);
}

TEST_F(Dialog, PickingAnEntryPutsItInTheFieldThenRaisesClick) {
  cboURL.AddItem("http://a.tallowmere.example/");
  cboURL.AddItem("http://b.tallowmere.example/");
  ShowActive();
  combo()->setFocus();
  QTest::keyClick(combo(), Qt::Key_Down);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "Click " + cboURL.Text());
  EXPECT_EQ(cboURL.Text().rfind("http://", 0), 0u);
  // The pick also changed the text: Change comes first, with the entry already in place.
  EXPECT_EQ(events.front(), "Change " + cboURL.Text());
}

// --- Buttons and keys --------------------------------------------------------------------

TEST_F(Dialog, EnterPressesTheDefaultButtonOrTheFocusedOne) {
  ShowActive();
  combo()->setFocus();
  QTest::keyClick(combo()->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(events, std::vector<std::string>{"Close"});
  events.clear();
  WidgetOf(cmdExit)->setFocus();
  QTest::keyClick(WidgetOf(cmdExit), Qt::Key_Enter);
  EXPECT_EQ(events, std::vector<std::string>{"Exit"});
  EXPECT_TRUE(cmdClose.Default());
  EXPECT_FALSE(cmdExit.Default());
}

TEST_F(Dialog, EscapePressesNothingWithoutACancelButton) {
  ShowActive();
  combo()->setFocus();
  QTest::keyClick(combo()->lineEdit(), Qt::Key_Escape);
  EXPECT_TRUE(events.empty());
}

TEST(DialogKeys, EscapeAnywhereOnTheFormPressesTheCancelButton) {
  Form form(TestEngine(), DialogDefinition());
  ComboBox combo(form, {"cbo", 120, 360, 4455, 315, 0});
  CommandButton cancel(form, {"cmdClose", "&Close", 120, 840, 1575, 375, 1, false, true});
  CommandButton other(form, {"cmdExit", "&Exit", 3240, 840, 1335, 375, 2});
  int cancels = 0, others = 0;
  cancel.Click = [&] { ++cancels; };
  other.Click = [&] { ++others; };
  form.Show();
  WidgetOf(form)->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(form)));
  WidgetOf(combo)->setFocus();
  QTest::keyClick(static_cast<QComboBox*>(WidgetOf(combo))->lineEdit(), Qt::Key_Escape);
  WidgetOf(other)->setFocus();
  QTest::keyClick(WidgetOf(other), Qt::Key_Escape);
  EXPECT_EQ(cancels, 2);
  EXPECT_EQ(others, 0);
  EXPECT_TRUE(cancel.Cancel());
}

TEST_F(Dialog, TheAccessKeyPressesItsButton) {
  ShowActive();
  combo()->setFocus();
  QTest::keyClick(combo()->lineEdit(), Qt::Key_E, Qt::AltModifier);
  // The button shows itself pressed for a moment before it clicks.
  EXPECT_TRUE(WaitFor([&] { return !events.empty(); }));
  EXPECT_EQ(events, std::vector<std::string>{"Exit"});
  EXPECT_EQ(cmdExit.Caption(), "&Exit Ticker");
  EXPECT_EQ(static_cast<QPushButton*>(WidgetOf(cmdExit))->text(), "&Exit Ticker");
}

TEST_F(Dialog, ControlsStandAtTheirTwipsInPixels) {
  EXPECT_EQ(WidgetOf(cboURL)->geometry(), QRect(8, 24, 297, 21));
  EXPECT_EQ(WidgetOf(cmdClose)->geometry(), QRect(8, 56, 105, 25));
  EXPECT_EQ(WidgetOf(Label1)->geometry(), QRect(8, 8, 89, 17));
}

TEST(PlainLabel, ShowsAnAmpersandAsItStands) {
  Form form(TestEngine(), DialogDefinition());
  Label label(form, {"Label1", "Tom & Jerry", 0, 0, 1500, 255, 0});
  auto* qlabel = static_cast<QLabel*>(WidgetOf(label));
  EXPECT_EQ(qlabel->textFormat(), Qt::PlainText);
  EXPECT_EQ(qlabel->text(), "Tom & Jerry");
  EXPECT_EQ(label.Caption(), "Tom & Jerry");
}

// --- Message box -------------------------------------------------------------------------

struct BoxCase {
  int style;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton press;
  int answer;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << "style " << c.style; }

class RealMessageBox : public testing::TestWithParam<BoxCase> {};

TEST_P(RealMessageBox, HasTheCaptionIconAndButtonsOfItsStyle) {
  const BoxCase& c = GetParam();
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->button(c.press)->click();
  });
  SessionForTest session;
  BoxMsgBox msgBox(session);
  EXPECT_EQ(msgBox.Show("Line & <b>not markup</b>", c.style), c.answer);
  EXPECT_EQ(title, "Tallowmere Ticker");
  EXPECT_EQ(text, "Line & <b>not markup</b>");
  EXPECT_EQ(icon, c.icon);
  EXPECT_EQ(buttons, c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, RealMessageBox,
    testing::Values(
        BoxCase{vbOKOnly, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, vbOK},
        BoxCase{vbCritical, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, vbOK},
        BoxCase{32 + 4, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                7},
        BoxCase{vbExclamation, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, vbOK},
        BoxCase{64 + 1, QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel,
                QMessageBox::Cancel, 2}));

// While the program ends no box is shown: code still running on the way out never blocks.
TEST(MessageBox, IsNotShownWhileTheProgramEnds) {
  SessionForTest session;
  BoxMsgBox msgBox(session);
  session.EndProgram();
  bool boxShown = false;
  // A box that did show is closed at once (the timer goes with the test: no box, no tick).
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      boxShown = true;
      box->close();
    }
  });
  closer.start(0);
  EXPECT_EQ(msgBox.Show("Error", vbCritical), vbOK);
  EXPECT_EQ(msgBox.Show("Sure?", 32 + 4), 6) << "the default button of Yes/No is Yes";
  EXPECT_FALSE(boxShown);
}

// --- Screens, cursor, program folder -----------------------------------------------------

TEST(Screens, AreasAreThoseOfTheScreensInTwips) {
  const DesktopScreens screens;
  const std::vector<RectTwips> areas = screens.ScreenAreas();
  ASSERT_EQ(areas.size(), static_cast<std::size_t>(QGuiApplication::screens().size()));
  const QRect primary = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(areas[0].width, primary.width() * 15.0f);
  EXPECT_EQ(areas[0].height, primary.height() * 15.0f);
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  const RectTwips area = screens.PrimaryWorkArea();
  EXPECT_EQ(area.left, work.x() * 15.0f);
  EXPECT_EQ(area.top, work.y() * 15.0f);
  EXPECT_EQ(area.width, work.width() * 15.0f);
}

TEST(CursorPosition, IsReadInScreenPixels) {
  QCursor::setPos(123, 45);
  PointApi pt{-1, -1};
  ASSERT_TRUE(PointerCursor(TestEngine()).GetCursorPos(pt));
  EXPECT_EQ(pt.x, 123);
  EXPECT_EQ(pt.y, 45);
}

TEST(ProgramFolder, IsTheExecutablesFolderUnlessSet) {
  const std::string executables = QCoreApplication::applicationDirPath().toStdString();
  SetAppPath("");
  EXPECT_EQ(AppPath(), executables);
  SetAppPath("/tmp/ticker-test/");
  EXPECT_EQ(AppPath(), "/tmp/ticker-test");
  SetAppPath("/");
  EXPECT_EQ(AppPath(), "/");
  SetAppPath("");
  EXPECT_EQ(AppPath(), executables);
  EXPECT_EQ(PathSeparator(), '/');
}

}  // namespace
}  // namespace platform
