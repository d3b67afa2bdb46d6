// What a screen reader is offered of a picture box: the labels inside the form, those under the
// title picture in front not showing; a link's press that is a left press and release after
// the call; what is at a point; changes told to the window at most once an interval, only
// while a reader is attached, the keyboard's focus at once.
#include <string>
#include <utility>
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

using Kind = AccessibleEvent::Kind;

class Reader : public EngineTest {
 protected:
  Form form{engine, {.clientWidth = 8175, .clientHeight = 240}};  // 545 x 16 pixels
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
  AccessibleModel& model = CoreOf(picTicker).reader();
  std::vector<AccessibleNode> Offered() { return model.nodes(); }
  AccessibleKey Key(int i) const { return {&lblItem, i}; }
  std::vector<AccessibleEvent> Told() { return std::exchange(ticker.accessibleEvents, {}); }
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
  const std::vector<AccessibleNode> offered = Offered();
  ASSERT_EQ(offered.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const AccessibleNode& seen = offered[i];
    const bool link = expected[i].link;
    EXPECT_TRUE(seen.key == Key(expected[i].index) && seen.rect == expected[i].rect &&
                seen.link == link && seen.showing == expected[i].showing &&
                seen.role == (link ? AccessibleRole::Link : AccessibleRole::StaticText) &&
                seen.action == (link ? AccessibleAction::Jump : AccessibleAction::None) &&
                seen.name == lblItem(expected[i].index).Caption() &&
                seen.description == "tip " + lblItem(expected[i].index).Caption())
        << i;
  }
  EXPECT_EQ(model.role(), AccessibleRole::Pane);
  // What is at a point: a label that shows, never one under the title picture.
  EXPECT_EQ(model.nodeAt(70, 5)->key, Key(3));
  EXPECT_EQ(model.nodeAt(5, 5)->key, Key(2));
  EXPECT_FALSE(model.nodeAt(110, 5));
  EXPECT_FALSE(model.inWindow(-1, 5));
  // A label loaded but not offered is still known, neither showing nor focusable.
  EXPECT_FALSE(model.node(Key(4))->showing);
  EXPECT_FALSE(model.node(Key(9)));
  // A press is one left press and release, of an offered link only, after the call.
  EXPECT_TRUE(model.act(Key(3)));
  EXPECT_FALSE(model.act(Key(2))) << "no link, no action";
  EXPECT_FALSE(model.act(Key(4)));
  EXPECT_TRUE(delivered.empty());
  surface.runPosted();
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
  EXPECT_TRUE(ticker.accessibleEvents.empty());
  timer.tick();  // the first report: everything is new
  EXPECT_EQ(Told(), (std::vector<AccessibleEvent>{{Kind::Added, Key(1)}}));
  for (int tick = 0; tick < 5; ++tick) picTicker.setLeft(picTicker.Left() - 30);
  timer.tick();  // five moves, one report
  EXPECT_EQ(Told(), (std::vector<AccessibleEvent>{{Kind::Moved, Key(1)}}));
  AddLabel(2, 4500, "Arrives");
  lblItem(1).setCaption(std::string("Renamed"));
  lblItem(1).setToolTipText(std::string("Other"));
  timer.tick();
  EXPECT_EQ(Told(),
            (std::vector<AccessibleEvent>{
                {Kind::Renamed, Key(1)}, {Kind::Redescribed, Key(1)}, {Kind::Added, Key(2)}}));
  timer.tick();  // nothing happened: quiet, and the timer stops until the next change
  EXPECT_TRUE(Told().empty());
  EXPECT_EQ(timer.interval, 0);
  lblItem.Unload(2);
  lblItem(1).setWidth(300);
  picTicker.setLeft(-1500);  // label 1 goes under the title picture
  EXPECT_EQ(timer.interval, kAccessibleChangeInterval);
  timer.tick();
  EXPECT_EQ(Told(),
            (std::vector<AccessibleEvent>{{Kind::Removed, Key(2)}, {Kind::Hidden, Key(1)}}));
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
    for (const AccessibleNode& label : Offered()) seen.emplace_back(label.focusable, label.focused);
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
  // Told at once: the labels first (nothing was told before), then each move of the focus.
  EXPECT_EQ(Told(), (std::vector<AccessibleEvent>{{Kind::Added, Key(1)},
                                                  {Kind::Added, Key(2)},
                                                  {Kind::Added, Key(3)},
                                                  {Kind::Focused, Key(2)},
                                                  {Kind::FocusLost, Key(2)},
                                                  {Kind::Focused, Key(3)},
                                                  {Kind::FocusLost, Key(3)}}));
}

}  // namespace
}  // namespace platform::engine::fake
