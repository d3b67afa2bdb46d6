// What a screen reader is offered of a picture box: the labels inside the form, those under the
// title picture in front not showing; a press that is a left press and release; changes told
// to the window at most once an interval, and only while a reader is attached.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/engine/Accessibility.h"
#include "platform/engine/BoxCore.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

using Change = NativeBox::AccessibleChange;

class Reader : public EngineTest {
 protected:
  Form form{{.clientWidth = 8175, .clientHeight = 240}};  // 545 x 16 pixels
  PictureBox picTitle{form, {"picTitle", 0, 0, 495, 240, 0, 0, {}, "", {}}};
  PictureBox picTicker{form, {"picTicker", 0, 0, 30000, 240, 0, 0, {}, "", {}}};
  LabelArray lblItem{picTicker, {"lblItem", {.top = 0, .height = 240}, {}, {}}};
  FakeBox& ticker = surface.nativeOf(picTicker);
  std::vector<std::string> delivered;

  void SetUp() override {
    lblItem.MouseDown = [this](int i, int b, int, Twips, Twips) { Log("down", i, b); };
    lblItem.MouseUp = [this](int i, int b, int, Twips, Twips) { Log("up", i, b); };
  }

  void AddLabel(int i, Twips left, const std::string& caption, bool link = false) {
    if (!lblItem.IsLoaded(i)) lblItem.Load(i);
    auto label = lblItem(i);
    label.setCaption(caption);
    label.setToolTipText("tip " + caption);
    label.setLeft(left);
    label.setWidth(picTicker.TextWidth(caption) + 15);
    label.setMousePointer(link ? vbCustom : vbDefault);
    label.setVisible(true);
  }

  void Log(const char* what, int i, int b) {
    delivered.push_back(what + (" " + std::to_string(i)) + " " + std::to_string(b));
  }
  std::vector<AccessibleLabel> Offered() { return AccessibleLabels(CoreOf(picTicker)); }
};

struct Expected {
  int index;
  Pixels rect;
  bool link;
  bool showing;
};

// The row's window starts beside the 33-pixel title picture (the row's pixel 33 is the
// window's 0): a label wholly under the picture is offered but not showing, one partly under
// it shows; one beyond the form's right edge and one without a caption are not offered.
TEST_F(Reader, OffersTheLabelsInsideTheFormWithWhatShows) {
  AddLabel(1, 0, "Hid", true);  // row pixels 0..22
  AddLabel(2, 300, "Part");     // 20..49
  AddLabel(3, 1500, "Shown", true);
  AddLabel(4, 8175 + 150, "Beyond");
  AddLabel(5, 3000, "");
  const std::vector<Expected> expected{{1, {-33, 0, 22, 16}, true, false},
                                       {2, {-13, 0, 29, 16}, false, true},
                                       {3, {67, 0, 36, 16}, true, true}};
  const std::vector<AccessibleLabel> offered = Offered();
  ASSERT_EQ(offered.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const AccessibleLabel& seen = offered[i];
    EXPECT_TRUE(seen.labels == &lblItem && seen.index == expected[i].index &&
                seen.rect == expected[i].rect && seen.link == expected[i].link &&
                seen.showing == expected[i].showing && seen.name == lblItem(seen.index).Caption() &&
                seen.description == "tip " + lblItem(seen.index).Caption())
        << i;
  }
  // A press is one left press and release, of an offered label only.
  EXPECT_TRUE(PressAccessibleLabel(CoreOf(picTicker), &lblItem, 3));
  EXPECT_FALSE(PressAccessibleLabel(CoreOf(picTicker), &lblItem, 4));
  EXPECT_EQ(delivered, (std::vector<std::string>{"down 3 1", "up 3 1"}));
  picTicker.setLeft(8175 + 15);  // the whole row beyond the form: nothing shows
  EXPECT_TRUE(Offered().empty());
}

// A scrolling row changes its labels' bounds on every tick; the window hears of it once an
// interval, with labels coming or going told apart from labels moving.
TEST_F(Reader, ChangesAreToldOnceAnIntervalWhileAReaderIsAttached) {
  AddLabel(1, 1500, "Shown");
  picTicker.setLeft(-30);
  EXPECT_TRUE(surface.timers.empty()) << "no reader, no timer";
  ticker.reader = true;
  for (int tick = 0; tick < 5; ++tick) picTicker.setLeft(picTicker.Left() - 30);
  ASSERT_EQ(surface.timers.size(), 1u);
  FakeTimer& timer = *surface.timers[0];
  EXPECT_EQ(timer.interval, kAccessibleChangeInterval);
  EXPECT_TRUE(ticker.accessibleChanges.empty());
  timer.tick();  // the first report: everything is new
  EXPECT_EQ(ticker.accessibleChanges, (std::vector<Change>{Change::Children, Change::Bounds}));
  ticker.accessibleChanges.clear();
  for (int tick = 0; tick < 5; ++tick) picTicker.setLeft(picTicker.Left() - 30);
  timer.tick();  // five moves, one report
  EXPECT_EQ(ticker.accessibleChanges, (std::vector<Change>{Change::Bounds}));
  ticker.accessibleChanges.clear();
  AddLabel(2, 4500, "Arrives");
  lblItem(1).setCaption(std::string("Renamed"));
  timer.tick();
  EXPECT_EQ(ticker.accessibleChanges, (std::vector<Change>{Change::Children, Change::Bounds}));
  ticker.accessibleChanges.clear();
  timer.tick();  // nothing happened: quiet, and the timer stops until the next change
  EXPECT_TRUE(ticker.accessibleChanges.empty());
  EXPECT_EQ(timer.interval, 0);
  picTicker.setLeft(picTicker.Left() - 30);
  EXPECT_EQ(timer.interval, kAccessibleChangeInterval);
}

// A reader follows the keyboard: the labels that show can take the focus, the focused one says
// so, and each move of the focus is told at once, not at the next interval.
TEST_F(Reader, TheKeyboardFocusIsReadAndToldAsItMoves) {
  AddLabel(1, 0, "Hid");
  AddLabel(2, 1500, "First");
  AddLabel(3, 3000, "Second");
  ticker.reader = true;
  FakeForm& window = surface.nativeOf(form);
  const auto states = [this] {
    std::vector<std::pair<bool, bool>> seen;
    for (const AccessibleLabel& label : Offered())
      seen.emplace_back(label.focusable, label.focused);
    return seen;
  };
  window.events.key(Key::Tab, 0);
  EXPECT_EQ(states(),
            (std::vector<std::pair<bool, bool>>{{false, false}, {true, true}, {true, false}}));
  window.events.key(Key::Right, 0);
  EXPECT_EQ(states(),
            (std::vector<std::pair<bool, bool>>{{false, false}, {true, false}, {true, true}}));
  window.events.deactivated();
  EXPECT_EQ(states(),
            (std::vector<std::pair<bool, bool>>{{false, false}, {true, false}, {true, false}}));
  EXPECT_EQ(ticker.accessibleChanges, (std::vector<Change>(3, Change::Focus)));
}

}  // namespace
}  // namespace platform::engine::fake
