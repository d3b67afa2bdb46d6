// The pointer's crossings and a window manager that places windows itself, decided once by the
// form engine: a leave the window system reports outweighs a pointer poll that still finds the
// form (XWayland keeps the last position it saw over an X window), and where the program may
// not move its window a drag asks the window manager, while Left and Top say where it really is.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/engine/FormCore.h"
#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

using Pointer = FormEvents::Pointer;

class Strip : public EngineTest {
 protected:
  Form form{engine, {.clientWidth = 8175, .clientHeight = 240}};
  PictureBox title{form, {"picTitle", 0, 0, 495, 240, 0, vbWindowText, {}, "", {}}};
  PictureBox ticker{form, {"picTicker", 960, 0, 7215, 240, 0, vbWindowText, {}, "", {}}};
  FakeForm& window = surface.nativeOf(form);
};

// A crossing reported by the form's own window ('F') or picTicker's ('T').
struct Crossing {
  char window;
  bool inside;
};

struct CrossingCase {
  const char* name;
  std::vector<Crossing> crossings;
  bool pollBelieved;
};

class Crossings : public Strip, public ::testing::WithParamInterface<CrossingCase> {};

TEST_P(Crossings, AFrozenPollIsBelievedUntilTheWindowSystemReportsTheLeave) {
  form.Show();
  for (const Crossing& c : GetParam().crossings) {
    BoxEvents& box = surface.nativeOf(ticker).events;
    c.window == 'F' ? window.events.pointerCrossed(c.inside) : box.pointerCrossed(c.inside);
  }
  // Whichever of the strip's windows the stale position lies over.
  for (const WindowHandle frozen : {ticker.hWnd(), title.hWnd(), form.hWnd()}) {
    EXPECT_EQ(engine.pointerKnownOutside(frozen), !GetParam().pollBelieved);
  }
  EXPECT_FALSE(engine.pointerKnownOutside(0x7fff));  // another program's window
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Crossings,
    ::testing::ValuesIn(std::vector<CrossingCase>{
        {"NoCrossingReported", {}, true},
        {"LeftTheWholeStrip", {{'F', true}, {'T', true}, {'T', false}, {'F', false}}, false},
        {"LeftThenCameBack", {{'T', true}, {'T', false}, {'T', true}}, true},
        // Windows reports leaving the form when the pointer goes onto a child window.
        {"FromTheFormOntoAChild", {{'F', true}, {'F', false}, {'T', true}}, true},
        {"FromAChildOntoTheForm", {{'F', true}, {'T', true}, {'T', false}}, true},
    }),
    [](const auto& info) { return std::string(info.param.name); });

struct DragCase {
  const char* name;
  bool refuses;
  Twips left;       // after four moves of 150 twips right and down
  int systemMoves;  // one per press: a stale one would move the window after the release
};

class Drags : public Strip, public ::testing::WithParamInterface<DragCase> {};

TEST_P(Drags, TheWindowMovesWhereItCanAndLeftTopSayWhereItIs) {
  form.Move(1500, 1500);
  form.Show();
  window.refusesMoves = GetParam().refuses;
  FakeBox& handle = surface.nativeOf(title);
  handle.send(Pointer::Down, 1, 1, 8, 6);
  // The strip's drag: each pointer move adds the pointer's offset to Left and Top.
  for (int step = 0; step < 4; ++step) {
    form.setLeft(form.Left() + 150);
    form.setTop(form.Top() + 150);
  }
  EXPECT_EQ(form.Left(), GetParam().left);
  EXPECT_EQ(form.Top(), GetParam().left);
  EXPECT_EQ(window.systemMoves, GetParam().systemMoves);
  // The window manager moves the window (a drag it was asked for, or the user's).
  window.frame.left = 300;
  window.frame.top = 200;
  window.events.moved(300, 200);
  handle.send(Pointer::Up, 1, 0, 8, 6);
  EXPECT_EQ(form.Left(), 4500);
  EXPECT_EQ(form.Top(), 3000);
  // Without a button held a refused move asks nothing of the window manager.
  const int systemMoves = window.systemMoves;
  form.Move(0, 0);
  EXPECT_EQ(window.systemMoves, systemMoves);
  EXPECT_EQ(form.Left(), GetParam().refuses ? 4500 : 0);
}

class Placement : public Strip {};

TEST_F(Placement, TheSavedPlaceIsAskedOfAWindowManagerThatPlacesNewWindowsItself) {
  for (const bool takesPlacements : {false, true}) {
    form.Hide();
    form.Move(3000, 2250);
    form.Show();
    // The window manager centres the new window and keeps it there when the program moves it.
    window.frame = {367, 363, 545, 16};
    window.refusesMoves = true;
    window.takesPlacements = takesPlacements;
    window.events.mapped();
    EXPECT_EQ(window.calls.back() == "askPlacement 200,150", takesPlacements);
    EXPECT_EQ(form.Left(), takesPlacements ? 3000 : 5505);
  }
}

INSTANTIATE_TEST_SUITE_P(Engine, Drags,
                         ::testing::ValuesIn(std::vector<DragCase>{
                             {"MovesItself", false, 2100, 0},
                             {"RefusedByATilingCompositor", true, 1500, 1},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::engine::fake
