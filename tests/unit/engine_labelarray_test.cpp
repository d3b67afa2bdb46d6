// The label control array: elements made as hidden copies of element 0, destroyed and
// counted; hit testing of long rows; pointer events routed to the label under the pointer,
// or to the label that was pressed until every button is up.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Form.h"
#include "platform/LabelArray.h"
#include "platform/PictureBox.h"
#include "platform/qt/Widgets.h"

using platform::qt::WidgetOf;

namespace platform {
namespace {

Form::Definition StripDefinition() {
  Form::Definition d;
  d.clientWidth = 8175;
  d.clientHeight = 375;
  return d;
}

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 255;
  s.caption = "TWgjp";
  return s;
}

class Labels : public testing::Test {
 protected:
  Form form{StripDefinition()};
  PictureBox box{form,
                 {"picTicker", 0, 0, 8175, 375, RGB(224, 224, 224), vbWindowText, {}, "", {}}};
  LabelArray lbl{box,
                 {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}, {":/images/hand.png"}}};

  // Label i visible at [left, left + width).
  void Place(int i, Twips left, Twips width) {
    if (!lbl.IsLoaded(i)) lbl.Load(i);
    auto label = lbl(i);
    label.setLeft(left);
    label.setWidth(width);
    label.setVisible(true);
  }
};

// --- Load and Unload ---------------------------------------------------------------------

TEST_F(Labels, LoadCopiesElementZeroAsItIsNowButHidden) {
  auto zero = lbl(0);
  zero.setTop(10);
  zero.setHeight(195);
  zero.setLeft(444);
  zero.setWidth(555);
  zero.setCaption("Zero & co");
  zero.setToolTipText("tip");
  zero.setForeColor(RGB(51, 51, 152));
  zero.setMousePointer(vbCustom);
  lbl.Load(1);
  auto one = lbl(1);
  EXPECT_FALSE(one.Visible());
  EXPECT_EQ(one.Top(), 10);
  EXPECT_EQ(one.Height(), 195);
  EXPECT_EQ(one.Left(), 444);
  EXPECT_EQ(one.Width(), 555);
  EXPECT_EQ(one.Caption(), "Zero & co");
  EXPECT_EQ(one.ToolTipText(), "tip");
  EXPECT_EQ(one.ForeColor(), RGB(51, 51, 152));
  EXPECT_EQ(one.MousePointer(), vbCustom);
  EXPECT_EQ(one.MouseIcon().resource, ":/images/hand.png");
  EXPECT_EQ(one.FontName(), "MS Sans Serif");
  EXPECT_TRUE(one.FontBold());
  EXPECT_EQ(one.FontSize(), 8.25f);
  EXPECT_EQ(one.Index(), 1);
  // A copy, not a link: later changes of element 0 stay there.
  zero.setCaption("changed");
  zero.setMousePointer(vbDefault);
  EXPECT_EQ(lbl(1).Caption(), "Zero & co");
  EXPECT_EQ(lbl(1).MousePointer(), vbCustom);
}

TEST_F(Labels, CountUBoundAndIsLoadedFollowLoadsAndUnloads) {
  EXPECT_EQ(lbl.Count(), 1);
  EXPECT_EQ(lbl.UBound(), 0);
  for (int i = 1; i <= 5; ++i) lbl.Load(i);
  EXPECT_EQ(lbl.Count(), 6);
  EXPECT_EQ(lbl.UBound(), 5);
  lbl.Unload(2);  // a hole: the bound stays
  EXPECT_FALSE(lbl.IsLoaded(2));
  EXPECT_EQ(lbl.Count(), 5);
  EXPECT_EQ(lbl.UBound(), 5);
  lbl.Unload(5);  // the last: the bound drops past the hole
  EXPECT_EQ(lbl.UBound(), 4);
  lbl.Unload(4);
  lbl.Unload(3);
  EXPECT_EQ(lbl.UBound(), 1);
  lbl.Load(2);  // an index can be loaded again, fresh from element 0
  EXPECT_EQ(lbl(2).Caption(), "TWgjp");
  EXPECT_FALSE(lbl.IsLoaded(-1));
  EXPECT_FALSE(lbl.IsLoaded(1000));
}

TEST_F(Labels, MisuseThrows) {
  lbl.Load(1);
  EXPECT_THROW(lbl.Load(1), std::invalid_argument);   // already loaded
  EXPECT_THROW(lbl.Load(0), std::invalid_argument);   // element 0 always is
  EXPECT_THROW(lbl.Load(-1), std::invalid_argument);  // negative
  EXPECT_THROW(lbl.Unload(0), std::invalid_argument);
  EXPECT_THROW(lbl.Unload(7), std::out_of_range);  // never loaded
  EXPECT_THROW(lbl(7), std::out_of_range);
  EXPECT_THROW(lbl(-1), std::out_of_range);
  auto one = lbl(1);
  lbl.Unload(1);
  // A reference kept across an Unload does not reach freed state.
  EXPECT_THROW(one.Caption(), std::out_of_range);
  EXPECT_THROW(one.setCaption("x"), std::out_of_range);
}

TEST_F(Labels, AHundredThousandLoadsAndUnloads) {
  for (int i = 1; i <= 100'000; ++i) lbl.Load(i);
  EXPECT_EQ(lbl.Count(), 100'001);
  EXPECT_EQ(lbl.UBound(), 100'000);
  const int m = lbl.Count() - 1;
  for (int k = 1; k <= m; ++k) lbl.Unload(k);
  EXPECT_EQ(lbl.Count(), 1);
  EXPECT_EQ(lbl.UBound(), 0);
}

// --- Hit testing -------------------------------------------------------------------------

struct HitCase {
  const char* what;
  Twips x;
  Twips y;
  int expected;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.what; }

class HitTesting : public Labels, public testing::WithParamInterface<HitCase> {};

TEST_P(HitTesting, FindsTheTopmostVisibleLabel) {
  Place(0, 0, 0);       // zero width: never hit
  Place(1, 100, 1000);  // [100, 1100)
  Place(2, 900, 500);   // [900, 1400), over 1 where they overlap
  Place(3, 2000, 500);
  lbl(3).setVisible(false);
  Place(4, 5000, 500);
  Place(5, 3000, 200);  // out of left order
  EXPECT_EQ(lbl.HitTest(GetParam().x, GetParam().y), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Points, HitTesting,
                         testing::Values(HitCase{"left edge belongs to the label", 100, 10, 1},
                                         HitCase{"just left of it", 99.5f, 10, -1},
                                         HitCase{"overlap: the later index is on top", 1000, 100,
                                                 2},
                                         HitCase{"right edge is outside", 1400, 100, -1},
                                         HitCase{"above the top (10)", 500, 9, -1},
                                         HitCase{"bottom edge is outside (10 + 255)", 500, 265, -1},
                                         HitCase{"a hidden label is not there", 2100, 100, -1},
                                         HitCase{"zero width at 0", 0, 100, -1},
                                         HitCase{"a label out of left order", 3100, 100, 5},
                                         HitCase{"the last", 5499, 100, 4}));

TEST_F(Labels, HitTestingALongRowAfterChanges) {
  for (int i = 1; i <= 100'000; ++i) Place(i, static_cast<Twips>(i) * 3000, 2000);
  // One very wide label early in the row still covers points far to its right.
  Place(1, 3000, 60000);
  for (const int i : {2, 17, 5000, 50'000, 99'999, 100'000}) {
    const Twips x = static_cast<Twips>(i) * 3000 + 10;
    EXPECT_EQ(lbl.HitTest(x, 100), i) << i;
    EXPECT_EQ(lbl.HitTest(x + 2500, 100), i < 20 ? 1 : -1) << i;  // in the gap after it
  }
  lbl.Unload(50'000);
  EXPECT_EQ(lbl.HitTest(50'000 * 3000.0f + 10, 100), -1);
  lbl(50'001).setLeft(50'000 * 3000.0f);
  EXPECT_EQ(lbl.HitTest(50'000 * 3000.0f + 10, 100), 50'001);
}

// --- Pointer events ----------------------------------------------------------------------

using Event = std::tuple<std::string, int, int, Twips, Twips>;  // who+kind, index, button, x, y

class Routing : public Labels {
 protected:
  std::vector<Event> events;

  void SetUp() override {
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
    Place(0, 0, 0);
    Place(1, 150, 1500);   // pixels 10..110
    Place(2, 3000, 1500);  // pixels 200..300
    lbl.MouseDown = [&](int i, int b, int, Twips x, Twips y) {
      events.emplace_back("LD", i, b, x, y);
    };
    lbl.MouseMove = [&](int i, int b, int, Twips x, Twips y) {
      events.emplace_back("LM", i, b, x, y);
    };
    lbl.MouseUp = [&](int i, int b, int, Twips x, Twips y) {
      events.emplace_back("LU", i, b, x, y);
    };
    box.MouseDown = [&](int b, int, Twips x, Twips y) { events.emplace_back("BD", -1, b, x, y); };
    box.MouseMove = [&](int b, int, Twips x, Twips y) { events.emplace_back("BM", -1, b, x, y); };
    box.MouseUp = [&](int b, int, Twips x, Twips y) { events.emplace_back("BU", -1, b, x, y); };
    box.DblClick = [&] { events.emplace_back("BC", -1, 0, 0, 0); };
  }

  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* w = WidgetOf(box);
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
};

TEST_F(Routing, OverALabelTheArrayGetsTheEventWithIndexAndLabelTwips) {
  Send(QEvent::MouseMove, {20, 5}, Qt::NoButton, Qt::NoButton);
  Send(QEvent::MouseMove, {150, 5}, Qt::NoButton, Qt::NoButton);
  Send(QEvent::MouseButtonPress, {210, 3}, Qt::MiddleButton, Qt::MiddleButton);
  Send(QEvent::MouseButtonRelease, {210, 3}, Qt::MiddleButton, Qt::NoButton);
  const std::vector<Event> expected = {
      {"LM", 1, 0, 20 * 15 - 150, 5 * 15 - 10},
      {"BM", -1, 0, 150 * 15, 5 * 15},
      {"LD", 2, 4, 10 * 15, 3 * 15 - 10},
      {"LU", 2, 4, 10 * 15, 3 * 15 - 10},
  };
  EXPECT_EQ(events, expected);
}

// A pressed label keeps the pointer until every button is up, wherever the pointer goes.
TEST_F(Routing, APressedLabelKeepsThePointerUntilAllButtonsAreUp) {
  Send(QEvent::MouseButtonPress, {20, 5}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseMove, {250, 5}, Qt::NoButton, Qt::LeftButton);  // over label 2
  Send(QEvent::MouseButtonPress, {150, 5}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  Send(QEvent::MouseMove, {-30, -40}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  Send(QEvent::MouseButtonRelease, {-30, -40}, Qt::LeftButton, Qt::RightButton);
  Send(QEvent::MouseMove, {150, 5}, Qt::NoButton, Qt::RightButton);
  Send(QEvent::MouseButtonRelease, {150, 5}, Qt::RightButton, Qt::NoButton);
  Send(QEvent::MouseMove, {250, 5}, Qt::NoButton, Qt::NoButton);  // free again
  const std::vector<Event> expected = {
      {"LD", 1, 1, 150, 65},
      {"LM", 1, 1, 250 * 15 - 150, 65},
      {"LD", 1, 2, 150 * 15 - 150, 65},  // a second button: still label 1
      {"LM", 1, 3, -30 * 15 - 150, -40 * 15 - 10},
      {"LU", 1, 1, -30 * 15 - 150, -40 * 15 - 10},
      {"LM", 1, 2, 150 * 15 - 150, 65},
      {"LU", 1, 2, 150 * 15 - 150, 65},
      {"LM", 2, 0, 250 * 15 - 3000, 65},
  };
  EXPECT_EQ(events, expected);
}

TEST_F(Routing, APressOnTheBoxKeepsThePointerOffTheLabels) {
  Send(QEvent::MouseButtonPress, {150, 5}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseMove, {20, 5}, Qt::NoButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, {20, 5}, Qt::LeftButton, Qt::NoButton);
  const std::vector<Event> expected = {
      {"BD", -1, 1, 150 * 15, 75}, {"BM", -1, 1, 20 * 15, 75}, {"BU", -1, 1, 20 * 15, 75}};
  EXPECT_EQ(events, expected);
}

// The second press of a double-click is a double-click, which labels do not have: one press.
TEST_F(Routing, ADoubleClickOnALabelIsDownUpUp) {
  Send(QEvent::MouseButtonPress, {20, 5}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, {20, 5}, Qt::LeftButton, Qt::NoButton);
  Send(QEvent::MouseButtonDblClick, {20, 5}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, {20, 5}, Qt::LeftButton, Qt::NoButton);
  std::string kinds;
  for (const Event& e : events) kinds += std::get<0>(e) + " ";
  EXPECT_EQ(kinds, "LD LU LU ");
}

// Handlers may rebuild the row: nothing stale is used afterwards.
TEST_F(Routing, AHandlerThatUnloadsThePressedLabelEndsItsEvents) {
  lbl.MouseDown = [&](int i, int, int, Twips, Twips) {
    events.emplace_back("LD", i, 0, 0, 0);
    lbl.Unload(i);
  };
  Send(QEvent::MouseButtonPress, {210, 5}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseMove, {220, 5}, Qt::NoButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, {220, 5}, Qt::LeftButton, Qt::NoButton);
  Send(QEvent::MouseMove, {220, 5}, Qt::NoButton, Qt::NoButton);
  const std::vector<Event> expected = {{"LD", 2, 0, 0, 0}, {"BM", -1, 0, 220 * 15, 75}};
  EXPECT_EQ(events, expected);
}

TEST_F(Routing, EmptyHandlersAreSkipped) {
  lbl.MouseDown = nullptr;
  box.MouseMove = nullptr;
  Send(QEvent::MouseButtonPress, {20, 5}, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, {20, 5}, Qt::LeftButton, Qt::NoButton);
  Send(QEvent::MouseMove, {150, 5}, Qt::NoButton, Qt::NoButton);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(std::get<0>(events[0]), "LU");
}

TEST_F(Routing, AHiddenLabelLetsTheEventsThroughToTheBox) {
  lbl(1).setVisible(false);
  Send(QEvent::MouseButtonPress, {20, 5}, Qt::RightButton, Qt::RightButton);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], Event("BD", -1, 2, 300, 75));
}

}  // namespace
}  // namespace platform
