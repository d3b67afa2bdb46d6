// What a person meets with the pointer on a strip that is not the active window: tooltips
// that show on hover and show their text as it stands, one press per double-click on a
// label, and a label that moves under a resting pointer getting the move it would get had
// the pointer moved onto it.
#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Form.h"
#include "platform/LabelArray.h"
#include "platform/PictureBox.h"
#include "platform/qt/Widgets.h"
#include "widget/support/StripDefinition.h"

using platform::qt::WidgetOf;

namespace platform {
namespace {

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 255;
  return s;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// The text the tooltip shows, as a reader sees it.
QString ShownToolTip() {
  QTextDocument document;
  document.setHtml(QToolTip::text());
  return document.toPlainText();
}

class StripEvents : public testing::Test {
 protected:
  Form form{StripDefinition()};
  PictureBox picTitle{form, {"picTitle", 0, 0, 495, 375, 0x000080FF, vbWindowText, {}, "", {}}};
  PictureBox picTicker{form, StripBoxDefinition(960)};
  LabelArray lblItem{picTicker, {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}, {}}};

  struct Call {
    int index;
    int button;
  };
  std::vector<Call> downs, moves;
  int boxMoves = 0;
  int titleDoubleClicks = 0;

  void SetUp() override {
    form.Move(1500, 1500);  // client area at 100, 100 pixels
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
    lblItem.MouseDown = [this](int i, int b, int, Twips, Twips) { downs.push_back({i, b}); };
    lblItem.MouseMove = [this](int i, int b, int, Twips, Twips) { moves.push_back({i, b}); };
    picTicker.MouseMove = [this](int, int, Twips, Twips) { ++boxMoves; };
    picTitle.DblClick = [this] { ++titleDoubleClicks; };
  }

  void TearDown() override { QToolTip::hideText(); }

  void AddLabel(int i, Twips left, const std::string& caption, const std::string& tip = "") {
    if (i > 0) lblItem.Load(i);
    auto label = lblItem(i);
    label.setVisible(true);
    label.setLeft(left);
    label.setCaption(caption);
    label.setToolTipText(tip);
    label.setWidth(picTicker.TextWidth(caption));
  }

  void ShowToolTipAt(QWidget* widget, QPoint at) {
    QHelpEvent event(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
  }

  // A double-click as the window system delivers it: press, release, double-click, release.
  void DoubleClick(QWidget* widget, QPoint at) {
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  }
};

// --- Tooltips ----------------------------------------------------------------------------

struct TipCase {
  const char* name;
  std::string tip;
  std::string shown;  // what the reader sees
};

void PrintTo(const TipCase& c, std::ostream* out) { *out << c.name; }

class TooltipText : public StripEvents, public testing::WithParamInterface<TipCase> {};

TEST_P(TooltipText, ShowsTheTextAsItStands) {
  const TipCase& c = GetParam();
  AddLabel(0, 150, "Story", c.tip);
  picTitle.setToolTipText(c.tip);
  ShowToolTipAt(WidgetOf(picTicker), {15, 8});
  ASSERT_TRUE(QToolTip::isVisible()) << c.name;
  EXPECT_EQ(ShownToolTip().toStdString(), c.shown) << "label: " << c.name;
  QToolTip::hideText();
  ShowToolTipAt(WidgetOf(picTitle), {5, 5});
  ASSERT_TRUE(QToolTip::isVisible()) << c.name;
  EXPECT_EQ(ShownToolTip().toStdString(), c.shown) << "title picture: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TooltipText,
    testing::Values(TipCase{"plain", "Post by Desk on Mon", "Post by Desk on Mon"},
                    // Feed text that looks like markup is drawn as it stands, never as markup.
                    TipCase{"tags", "Post by <b>Desk</b> & <i>Co</i>",
                            "Post by <b>Desk</b> & <i>Co</i>"},
                    TipCase{"picture", "<img src=\"/etc/hosts\" width=\"4000\" height=\"4000\">",
                            "<img src=\"/etc/hosts\" width=\"4000\" height=\"4000\">"},
                    TipCase{"entity", "Tom &amp; Jerry &lt;3", "Tom &amp; Jerry &lt;3"},
                    // The reason of a failed update stands on a line of its own.
                    TipCase{"two lines", "Title tip\nLast update failed: <html>",
                            "Title tip\nLast update failed: <html>"},
                    TipCase{"windows line break", "one\r\ntwo", "one\ntwo"}),
    [](const testing::TestParamInfo<TipCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

// The text of a long tooltip, without the line breaks it is shown in.
QString Unwrapped(const QString& shown) {
  for (const QString& line : shown.split(QLatin1Char('\n'))) {
    EXPECT_LE(line.size(), 100) << "a tooltip line of " << line.size() << " characters";
  }
  return QString(shown).remove(QLatin1Char('\n'));
}

TEST_F(StripEvents, AVeryLongTooltipIsCutToFiveHundredCharactersInLinesOfAHundred) {
  const std::string huge(1 << 20, 'x');
  AddLabel(0, 150, "Story", huge);
  ShowToolTipAt(WidgetOf(picTicker), {15, 8});
  EXPECT_EQ(Unwrapped(ShownToolTip()), QString(499, QLatin1Char('x')) + QChar(0x2026));

  // 500 characters fit as they are; the cut never splits a character in two.
  const std::string fits(500, 'y');
  AddLabel(0, 150, "Story", fits);
  ShowToolTipAt(WidgetOf(picTicker), {15, 8});
  EXPECT_EQ(Unwrapped(ShownToolTip()).toStdString(), fits);
  std::string astral = std::string(498, 'z');
  for (int i = 0; i < 10; ++i) astral += "\xF0\x9F\x98\x80";  // each two UTF-16 units
  AddLabel(0, 150, "Story", astral);
  ShowToolTipAt(WidgetOf(picTicker), {15, 8});
  EXPECT_EQ(Unwrapped(ShownToolTip()), QString(498, QLatin1Char('z')) + QChar(0x2026));

  // Words are not cut where a blank allows.
  std::string words;
  while (words.size() < 300) words += "headline ";
  AddLabel(0, 150, "Story", words);
  ShowToolTipAt(WidgetOf(picTicker), {15, 8});
  for (const QString& line : ShownToolTip().split(QLatin1Char('\n'))) {
    EXPECT_TRUE(line.isEmpty() || line.endsWith(QLatin1Char(' ')) ||
                line.endsWith(QLatin1String("headline")))
        << line.toStdString();
  }
}

// The toolkit sends tooltip requests only to the active window unless the window asks for
// them whatever is active: a strip is almost never the active window.
TEST_F(StripEvents, TooltipsShowWhileAnotherWindowIsActive) {
  AddLabel(0, 150, "Story", "Post by Desk");
  QWidget other;
  other.setGeometry(700, 500, 200, 100);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  QApplication::setActiveWindow(&other);
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_FALSE(WidgetOf(form)->isActiveWindow());

  QToolTip::hideText();
  QWidget* box = WidgetOf(picTicker);
  const QPoint at(15, 8);
  QCursor::setPos(box->mapToGlobal(at));
  QTest::mouseMove(box, at);
  SendMouse(box, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000))
      << "the tooltip of a label on an inactive strip";
  EXPECT_EQ(ShownToolTip(), "Post by Desk");
}

// --- Double-click ------------------------------------------------------------------------

TEST_F(StripEvents, ADoubleClickOnALabelIsOnePressAndOnTheBoxStillADoubleClick) {
  AddLabel(0, 150, "First");
  DoubleClick(WidgetOf(picTicker), {15, 8});
  ASSERT_EQ(downs.size(), 1u) << "the second press of a double-click is not a press";
  EXPECT_EQ(downs[0].index, 0);
  EXPECT_EQ(downs[0].button, vbLeftButton);

  DoubleClick(WidgetOf(picTitle), {5, 5});
  EXPECT_EQ(titleDoubleClicks, 1);
}

// The window system pairs two presses by time and place alone. When the first press opened a
// dialog and the person then minimised or closed it before pressing again, the second press
// is a press of its own, though it comes within the double-click time: the label gets it.
struct BetweenCase {
  const char* name;
  void (*between)(QWidget* dialog);
  std::size_t downs;
};

void PrintTo(const BetweenCase& c, std::ostream* out) { *out << c.name; }

class PressAfterTheDialog : public StripEvents, public testing::WithParamInterface<BetweenCase> {
 protected:
  Form dialog{{.name = "frmDialog",
               .caption = "Dialog",
               .borderStyle = BorderStyle::FixedToolWindow,
               .clientWidth = 4680,
               .clientHeight = 1320}};
};

TEST_P(PressAfterTheDialog, IsAPressUnlessNothingHappenedBetween) {
  const BetweenCase& c = GetParam();
  AddLabel(0, 150, "First");
  lblItem.MouseDown = [this](int i, int b, int, Twips, Twips) {
    downs.push_back({i, b});
    dialog.Show();
  };
  QWidget* box = WidgetOf(picTicker);
  const QPoint at(15, 8);
  SendMouse(box, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
  SendMouse(box, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(dialog)));
  c.between(WidgetOf(dialog));
  SendMouse(box, QEvent::MouseButtonDblClick, at, Qt::RightButton, Qt::RightButton);
  SendMouse(box, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
  ASSERT_EQ(downs.size(), c.downs) << c.name;
  EXPECT_EQ(downs.back().button, vbRightButton);
  EXPECT_FALSE(WidgetOf(dialog)->windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(dialog.Visible());
}

INSTANTIATE_TEST_SUITE_P(
    Between, PressAfterTheDialog,
    testing::Values(
        // A quick second press at a dialog still open is the second half of a double-click.
        BetweenCase{"Nothing", [](QWidget*) {}, 1},
        // Minimised from its title bar: a click that reaches the window manager only.
        BetweenCase{"Minimised", [](QWidget* d) { d->setWindowState(Qt::WindowMinimized); }, 2},
        BetweenCase{"Closed", [](QWidget* d) { d->hide(); }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- A label that comes under a resting pointer ------------------------------------------

class RestingPointer : public StripEvents {
 protected:
  void SetUp() override {
    StripEvents::SetUp();
    // Labels at box pixels 10..~50 and 200..~240; the box starts at form pixel 64.
    AddLabel(0, 150, "First");
    AddLabel(1, 3000, "Second");
    picTicker.setWidth(6000);
    // The pointer rests at form pixel 150, over the strip between the two labels.
    rest = WidgetOf(picTicker)->mapToGlobal(QPoint(150 - 64, 8));
    QCursor::setPos(rest);
    SendMouse(WidgetOf(picTicker), QEvent::MouseMove, QPoint(150 - 64, 8), Qt::NoButton,
              Qt::NoButton);
    QApplication::processEvents();
    moves.clear();
    boxMoves = 0;
  }

  // Scrolls the strip left by whole steps of 2 pixels, as the scroll timer does.
  void Scroll(int pixels) {
    for (int moved = 0; moved < pixels; moved += 2) {
      picTicker.setLeft(picTicker.Left() - 30);
      QApplication::processEvents();
    }
  }

  QPoint rest;
};

TEST_F(RestingPointer, ALabelThatScrollsUnderThePointerGetsAMove) {
  ASSERT_EQ(QApplication::widgetAt(rest), WidgetOf(picTicker));
  Scroll(40);  // label 1 (box pixel 200) now at form pixel 224
  EXPECT_TRUE(moves.empty()) << "nothing changes under the pointer yet";
  Scroll(80);  // label 1 reaches form pixel 150
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].index, 1);
  EXPECT_EQ(moves[0].button, 0);
  // It stays under the pointer: no more moves until something else comes under it.
  Scroll(4);
  EXPECT_EQ(moves.size(), 1u);
  // When the label has passed, the strip under the pointer gets the move.
  const int before = boxMoves;
  Scroll(60);
  EXPECT_GT(boxMoves, before);
  EXPECT_EQ(moves.size(), 1u);
}

TEST_F(RestingPointer, NothingIsMadeUpWhenThePointerIsElsewhere) {
  // Over another window of the program that covers the strip.
  Form cover(StripDefinition());
  cover.Move(1500 + 120 * 15, 1500);
  cover.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(cover)));
  WidgetOf(cover)->raise();
  QApplication::processEvents();
  if (QApplication::widgetAt(rest) != WidgetOf(picTicker)) {
    Scroll(120);
    EXPECT_TRUE(moves.empty()) << "the pointer is over the window in front";
  }
  cover.Hide();
  QApplication::processEvents();
  // Over the title picture in front of the strip.
  moves.clear();
  QCursor::setPos(WidgetOf(form)->mapToGlobal(QPoint(10, 8)));
  picTicker.setLeft(0);
  QApplication::processEvents();
  for (int i = 0; i < 40; ++i) {
    picTicker.setLeft(picTicker.Left() - 30);
    QApplication::processEvents();
  }
  EXPECT_TRUE(moves.empty()) << "the pointer is over the title picture";
  // Off the strip altogether.
  QCursor::setPos(WidgetOf(form)->mapToGlobal(QPoint(300, 200)));
  Scroll(200);
  EXPECT_TRUE(moves.empty()) << "the pointer is off the strip";
}

TEST_F(RestingPointer, AHeldButtonKeepsTheEventsWithThePressedControl) {
  SendMouse(WidgetOf(picTicker), QEvent::MouseButtonPress, QPoint(150 - 64, 8), Qt::LeftButton,
            Qt::LeftButton);
  Scroll(120);
  EXPECT_TRUE(moves.empty());
  SendMouse(WidgetOf(picTicker), QEvent::MouseButtonRelease, QPoint(150 - 64, 8), Qt::LeftButton,
            Qt::NoButton);
}

}  // namespace
}  // namespace platform
