// What a person meets with the pointer on a strip that is not the active window: tooltips
// that show on hover and show their text as it stands.
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

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/qt/Widgets.h"
#include "support/TestEngine.h"
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
  Form form{TestEngine(), StripDefinition()};
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

  // The pointer comes to rest at the point: it moved there first.
  void ShowToolTipAt(QWidget* widget, QPoint at) {
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
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

}  // namespace
}  // namespace platform
