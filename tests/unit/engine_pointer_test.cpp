// Pointer events of a picture box and its labels, decided once by the form engine: the label
// under the pointer gets the event, a pressed control keeps the pointer until every button is
// up, the second press of a double-click is the box's DblClick and never a second press of a
// label, and a label that moves under a resting pointer gets the move it would get had the
// pointer moved onto it. Driven on the fake surface as a window system would drive it.
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

using Pointer = FormEvents::Pointer;
using Event = std::tuple<std::string, int, int, Twips, Twips>;  // kind, index, button, x, y

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 255;
  s.caption = "TWgjp";
  return s;
}

class Routing : public EngineTest {
 protected:
  Form form{engine, {.clientWidth = 8175, .clientHeight = 375}};
  PictureBox box{form, {"picTicker", 0, 0, 8175, 375, 0, vbWindowText, {}, "", {}}};
  LabelArray lbl{box, {"lblItem", Template(), {}, {":/images/hand.png"}}};
  FakeBox& window = surface.nativeOf(box);
  std::vector<Event> events;

  void SetUp() override {
    form.Show();
    Place(0, 0, 0);
    Place(1, 150, 1500);   // pixels 10..110
    Place(2, 3000, 1500);  // pixels 200..300
    lbl.MouseDown = [&](int i, int b, int, Twips x, Twips y) { Add("LD", i, b, x, y); };
    lbl.MouseMove = [&](int i, int b, int, Twips x, Twips y) { Add("LM", i, b, x, y); };
    lbl.MouseUp = [&](int i, int b, int, Twips x, Twips y) { Add("LU", i, b, x, y); };
    box.MouseDown = [&](int b, int, Twips x, Twips y) { Add("BD", -1, b, x, y); };
    box.MouseMove = [&](int b, int, Twips x, Twips y) { Add("BM", -1, b, x, y); };
    box.MouseUp = [&](int b, int, Twips x, Twips y) { Add("BU", -1, b, x, y); };
    box.DblClick = [&] { Add("BC", -1, 0, 0, 0); };
  }

  void Add(const char* kind, int i, int b, Twips x, Twips y) {
    events.emplace_back(kind, i, b, x, y);
  }

  // Label i visible at [left, left + width).
  void Place(int i, Twips left, Twips width) {
    if (!lbl.IsLoaded(i)) lbl.Load(i);
    auto label = lbl(i);
    label.setLeft(left);
    label.setWidth(width);
    label.setVisible(true);
  }

  std::string Kinds() const {
    std::string kinds;
    for (const Event& e : events) kinds += std::get<0>(e) + " ";
    return kinds;
  }
};

TEST_F(Routing, OverALabelTheArrayGetsTheEventWithIndexAndLabelTwips) {
  window.send(Pointer::Move, 0, 0, 20, 5);
  window.send(Pointer::Move, 0, 0, 150, 5);
  window.send(Pointer::Down, 4, 4, 210, 3);
  window.send(Pointer::Up, 4, 0, 210, 3);
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
  window.send(Pointer::Down, 1, 1, 20, 5);
  EXPECT_TRUE(window.captured);
  window.send(Pointer::Move, 0, 1, 250, 5);  // over label 2
  window.send(Pointer::Down, 2, 3, 150, 5);
  window.send(Pointer::Move, 0, 3, -30, -40);
  window.send(Pointer::Up, 1, 2, -30, -40);
  window.send(Pointer::Move, 0, 2, 150, 5);
  window.send(Pointer::Up, 2, 0, 150, 5);
  EXPECT_FALSE(window.captured);
  window.send(Pointer::Move, 0, 0, 250, 5);  // free again
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
  window.send(Pointer::Down, 1, 1, 150, 5);
  window.send(Pointer::Move, 0, 1, 20, 5);
  window.send(Pointer::Up, 1, 0, 20, 5);
  const std::vector<Event> expected = {
      {"BD", -1, 1, 150 * 15, 75}, {"BM", -1, 1, 20 * 15, 75}, {"BU", -1, 1, 20 * 15, 75}};
  EXPECT_EQ(events, expected);
}

// The second press of a double-click is a double-click, which labels do not have: one press
// per double-click on a label (its link opens once); on the box, a press and the DblClick.
TEST_F(Routing, ADoubleClickIsOnePressOnALabelAndAPressWithDblClickOnTheBox) {
  for (const int x : {20, 150}) {
    window.send(Pointer::Down, 1, 1, x, 5);
    window.send(Pointer::Up, 1, 0, x, 5);
    window.send(Pointer::Down, 1, 1, x, 5, true);
    window.send(Pointer::Up, 1, 0, x, 5);
  }
  EXPECT_EQ(Kinds(), "LD LU LU BD BU BD BC BU ");
}

// The window system pairs presses by time and place alone; when one of the program's windows
// was hidden, minimised or restored between them, the person did something else in between.
TEST_F(Routing, APressAfterAWindowChangedIsAPressOfItsOwn) {
  Form dialog{engine, {.borderStyle = BorderStyle::FixedToolWindow, .clientWidth = 4680}};
  struct Between {
    const char* name;
    void (*act)(Form& dialog, FakeForm& native);
    std::string kinds;
  };
  const Between cases[] = {
      {"nothing", [](Form&, FakeForm&) {}, "LD LU LU "},
      {"minimised", [](Form&, FakeForm& n) { n.events.stateChanged(); }, "LD LU LD LU "},
      {"hidden", [](Form& d, FakeForm&) { d.Hide(); }, "LD LU LD LU "},
  };
  for (const Between& c : cases) {
    events.clear();
    dialog.Show();
    window.send(Pointer::Down, 2, 2, 20, 5);
    window.send(Pointer::Up, 2, 0, 20, 5);
    c.act(dialog, surface.nativeOf(dialog));
    window.send(Pointer::Down, 2, 2, 20, 5, true);
    window.send(Pointer::Up, 2, 0, 20, 5);
    EXPECT_EQ(Kinds(), c.kinds) << c.name;
  }
}

// Handlers may rebuild the row: nothing stale is used afterwards.
TEST_F(Routing, AHandlerThatUnloadsThePressedLabelEndsItsEvents) {
  lbl.MouseDown = [&](int i, int, int, Twips, Twips) {
    Add("LD", i, 0, 0, 0);
    lbl.Unload(i);
  };
  window.send(Pointer::Down, 1, 1, 210, 5);
  window.send(Pointer::Move, 0, 1, 220, 5);
  window.send(Pointer::Up, 1, 0, 220, 5);
  window.send(Pointer::Move, 0, 0, 220, 5);
  const std::vector<Event> expected = {{"LD", 2, 0, 0, 0}, {"BM", -1, 0, 220 * 15, 75}};
  EXPECT_EQ(events, expected);
}

TEST_F(Routing, EmptyHandlersAreSkippedAndHiddenLabelsLetEventsThrough) {
  lbl.MouseDown = nullptr;
  box.MouseMove = nullptr;
  window.send(Pointer::Down, 1, 1, 20, 5);
  window.send(Pointer::Up, 1, 0, 20, 5);
  window.send(Pointer::Move, 0, 0, 150, 5);
  lbl(1).setVisible(false);
  window.send(Pointer::Down, 2, 2, 20, 5);
  const std::vector<Event> expected = {{"LU", 1, 1, 150, 65}, {"BD", -1, 2, 300, 75}};
  EXPECT_EQ(events, expected);
}

// The hand shows over labels whose pointer is the custom one, and each label brings its own
// tooltip over its own rectangle; the box's tooltip shows elsewhere.
TEST_F(Routing, PointerShapeAndTooltipFollowWhatIsUnderThePointer) {
  box.setToolTipText("Last updated 12:00");
  lbl(1).setMousePointer(vbCustom);
  lbl(1).setToolTipText(std::string("By A\r\non Monday"));
  window.send(Pointer::Move, 0, 0, 20, 5);
  EXPECT_EQ(window.pointerShape, ":/images/hand.png");
  EXPECT_EQ(window.toolTip, "By A\non Monday");
  EXPECT_EQ(window.toolTipArea, (Pixels{10, 1, 100, 17}));
  window.send(Pointer::Move, 0, 0, 250, 5);  // label 2: the arrow, no tooltip of its own
  EXPECT_EQ(window.pointerShape, "");
  EXPECT_EQ(window.toolTip, "");
  window.send(Pointer::Move, 0, 0, 150, 5);  // the box
  EXPECT_EQ(window.toolTip, "Last updated 12:00");
  box.setToolTipText("Last update failed");
  EXPECT_EQ(window.toolTip, "Last update failed");
}

// --- A label that comes under a resting pointer -------------------------------------------

class RestingPointer : public Routing {
 protected:
  std::vector<int> labelMoves;
  int boxMoves = 0;

  void SetUp() override {
    Routing::SetUp();
    box.setWidth(60000);
    lbl.MouseMove = [&](int i, int, int, Twips, Twips) { labelMoves.push_back(i); };
    box.MouseMove = [&](int, int, Twips, Twips) { ++boxMoves; };
    // The pointer rests at box pixel 150, between labels 1 and 2.
    window.pointer = {true, 150, 8, 0, 0};
    window.send(Pointer::Move, 0, 0, 150, 8);
    labelMoves.clear();
    boxMoves = 0;
  }

  // Scrolls the row left by steps of 2 pixels, as the scroll timer does, each step followed by
  // what the window system runs after it.
  void Scroll(int pixels) {
    for (int moved = 0; moved < pixels; moved += 2) {
      box.setLeft(box.Left() - 30);
      surface.runPosted();
    }
  }
};

TEST_F(RestingPointer, ALabelThatScrollsUnderThePointerGetsAMove) {
  Scroll(40);  // label 2 (box pixel 200) now at 160
  EXPECT_TRUE(labelMoves.empty()) << "nothing changes under the pointer yet";
  Scroll(12);
  ASSERT_EQ(labelMoves, std::vector<int>{2});
  Scroll(4);  // it stays under the pointer: no more moves
  EXPECT_EQ(labelMoves.size(), 1u);
  Scroll(100);  // when it has passed, the strip under the pointer gets the move
  EXPECT_EQ(boxMoves, 1);
  EXPECT_EQ(labelMoves.size(), 1u);
}

// Once the window system has said the pointer left the strip, or a look found it elsewhere,
// only every tenth step of the scroll asks where it is, and posts nothing; when it comes back,
// every step does.
TEST_F(RestingPointer, APointerThatIsAwayIsAskedForAtEveryTenthStep) {
  window.pointer.overThisWindow = false;
  window.events.pointerCrossed(false);
  int asked = window.pointerAsked;
  const int posted = surface.postedCalls;
  Scroll(40);  // 20 steps
  EXPECT_EQ(window.pointerAsked - asked, 2);
  EXPECT_EQ(surface.postedCalls, posted);
  window.pointer.overThisWindow = true;
  window.events.pointerCrossed(true);
  Scroll(12);  // label 2 comes under the pointer
  EXPECT_EQ(labelMoves, std::vector<int>{2});
  window.pointer.overThisWindow = false;  // a window in front came over it
  Scroll(2);
  asked = window.pointerAsked;
  Scroll(20);
  EXPECT_EQ(window.pointerAsked - asked, 1);
  window.pointer.overThisWindow = true;  // back, with no crossing reported
  Scroll(20);
  asked = window.pointerAsked;
  Scroll(2);
  EXPECT_EQ(window.pointerAsked - asked, 1) << "found back, every step asks again";
}

TEST_F(RestingPointer, NothingIsMadeUpWhenThePointerIsElsewhereOrAButtonIsHeld) {
  window.pointer.overThisWindow = false;  // over a window in front, or off the strip
  Scroll(120);
  EXPECT_TRUE(labelMoves.empty());
  window.pointer.overThisWindow = true;
  window.send(Pointer::Down, 1, 1, 150, 8);  // held on the box itself
  window.pointer.buttons = 1;
  Scroll(120);
  EXPECT_TRUE(labelMoves.empty());
  EXPECT_EQ(boxMoves, 0);
}

}  // namespace
}  // namespace platform::engine::fake
