// The label control array: elements made as hidden copies of element 0, destroyed and
// counted; hit testing of long rows.
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "unit/support/FakeSurface.h"

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

class Labels : public engine::fake::EngineTest {
 protected:
  Form form{engine, StripDefinition()};
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

}  // namespace
}  // namespace platform
