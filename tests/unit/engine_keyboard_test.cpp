// The keyboard on a form that shows labels, decided once by the form engine.
#include <gtest/gtest.h>

#include "platform/engine/BoxCore.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

using Keys = std::vector<std::pair<int, int>>;  // key code, modifiers
constexpr std::pair<int, int> kTab{Key::Tab, 0}, kBackTab{Key::Tab, Modifier::Shift},
    kLeft{Key::Left, 0}, kRight{Key::Right, 0};

class Keyboard : public EngineTest {
 protected:
  Form form{engine, {.clientWidth = 8175, .clientHeight = 375}};
  PictureBox box{form, {"picTicker", 0, 0, 8175, 375, 0, vbWindowText, {}, "", {}}};
  LabelArray lbl{box, {"lblItem", {.top = 15, .height = 225}, {}, {}}};
  FakeForm& window = surface.nativeOf(form);
  std::vector<std::string> events;

  void SetUp() override {
    form.Show();
    // Showing left to right: 1, 4, 3 (0 is empty, 2 hidden, 5 beyond the window's edge).
    const Twips lefts[] = {150, 1800, 6000, 3000, 9000};
    for (int i = 1; i <= 5; ++i) {
      lbl.Load(i);
      lbl(i).setLeft(lefts[i - 1]);
      lbl(i).setWidth(1500);
      lbl(i).setCaption("Label " + std::to_string(i));
      lbl(i).setVisible(i != 2);
    }
    lbl.MouseDown = [&](int i, int b, int, Twips, Twips) { Add("LD", i, b); };
    box.MouseDown = [&](int b, int, Twips, Twips) { Add("BD", -1, b); };
  }
  void Add(const char* kind, int i, int b) {
    events.push_back(kind + std::to_string(i) + "/" + std::to_string(b));
  }
};

TEST_F(Keyboard, TheFocusMovesLeftToRightOverTheLabelsThatShow) {
  const std::vector<std::pair<Keys, int>> cases = {
      {{kTab}, 1},         {{kTab, kTab, kTab, kTab}, -1},
      {{kBackTab}, 3},     {{kRight, kRight}, 4},
      {{kLeft, kLeft}, 4}, {{kRight, kRight, kRight, kRight}, 3},  // arrows stop at the ends
  };
  for (const auto& [keys, focused] : cases) {
    window.events.key(Key::Escape, 0);
    for (auto [code, modifiers] : keys) window.events.key(code, modifiers);
    EXPECT_EQ(lbl.FocusedIndex(), focused) << "after " << keys.size() << " keys";
  }
}

TEST_F(Keyboard, KeysPressTheFocusedLabelOrTheBoxAsTheButtonsDo) {
  EXPECT_FALSE(window.events.key(Key::Return, 0) || window.events.key(Key::F10, 0));
  EXPECT_TRUE(window.events.key(Key::Menu, 0));
  for (auto [code, modifiers] :
       Keys{kTab, kTab, {Key::Return, 0}, {Key::Space, 0}, {Key::F10, Modifier::Shift}}) {
    window.events.key(code, modifiers);
  }
  // A key held down presses once: the window system's repeats do nothing.
  EXPECT_TRUE(window.events.key(Key::Return, 0, true) &&
              window.events.key(Key::F10, Modifier::Shift, true));
  EXPECT_EQ(events, (std::vector<std::string>{"BD-1/2", "LD4/1", "LD4/1", "LD4/2"}));
}

// A later start asks for the keyboard: the first label that shows takes the focus once the
// window system has given it, never before; Escape gives the keyboard back.
TEST_F(Keyboard, ALaterStartFocusesTheFirstLabelOnceActiveAndEscapeGivesTheKeyboardBack) {
  form.TakeKeyboard("launcher-7_TIME42");
  EXPECT_EQ(window.keyboardTakes, std::vector<std::string>{"launcher-7_TIME42"});
  EXPECT_EQ(lbl.FocusedIndex(), -1);
  window.events.activated();
  EXPECT_EQ(lbl.FocusedIndex(), 1);
  window.events.keyboardWith(0x5001, false);
  EXPECT_TRUE(window.events.key(Key::Escape, 0));
  EXPECT_EQ(lbl.FocusedIndex(), -1);
  EXPECT_EQ(window.keyboardGivenTo, std::vector<WindowHandle>{0x5001});
  // The window activated by a click, or after a request it lost, focuses nothing by itself.
  window.events.activated();
  form.TakeKeyboard("");
  window.events.deactivated();
  window.events.activated();
  EXPECT_EQ(lbl.FocusedIndex(), -1);
  // Already active: the focus goes to the first label at once, and the request still ends
  // the launcher's startup notification.
  window.isActive = true;
  form.TakeKeyboard("");
  EXPECT_EQ(lbl.FocusedIndex(), 1);
  EXPECT_EQ(window.keyboardTakes.size(), 3u);
}

// Escape gives the keyboard to the last window of another program that the window system said
// had it, whichever of the program's forms heard of it; never to one of the program's own.
// The steps run in order, each on what the ones before left.
TEST_F(Keyboard, EscapeGivesTheKeyboardToTheLastOtherProgramsWindowKnown) {
  Form dialog{engine, {.clientWidth = 100, .clientHeight = 100}};
  FakeForm& dialogWindow = surface.nativeOf(dialog);
  struct Report {
    FakeForm* from;
    WindowHandle window;
    bool ours;
  };
  struct Step {
    const char* what;
    std::vector<Report> reports;
    std::vector<WindowHandle> givenTo;  // by the Escape after the reports
  };
  const std::vector<Step> steps = {
      {"none known yet", {}, {}},
      {"another program's", {{&window, 0xA, false}}, {0xA}},
      {"the later of two", {{&window, 0xB, false}, {&window, 0xC, false}}, {0xC}},
      {"the program's own", {{&window, 0xD, true}}, {0xC}},
      {"heard by another form", {{&dialogWindow, 0xE, false}}, {0xE}},
      {"no window", {{&window, 0, false}}, {0xE}},
  };
  for (const Step& step : steps) {
    for (const Report& report : step.reports)
      report.from->events.keyboardWith(report.window, report.ours);
    window.keyboardGivenTo.clear();
    EXPECT_TRUE(window.events.key(Key::Escape, 0)) << step.what;
    EXPECT_EQ(window.keyboardGivenTo, step.givenTo) << step.what;
  }
}

// The options dialog, without labels, leaves every key to its own controls.
TEST_F(Keyboard, TheFocusedLabelIsMarkedAndTheFocusGoesWithTheWindowOrTheLabel) {
  window.events.key(Key::Tab, 0);
  RecordingPainter painter;
  static_cast<BoxEvents&>(CoreOf(box)).paint(painter, {0, 0, 545, 25});
  EXPECT_EQ(painter.drawn.back().what, "focus");
  EXPECT_EQ(painter.drawn.back().area, (Pixels{10, 1, 100, 15}));
  window.events.deactivated();
  EXPECT_EQ(lbl.FocusedIndex(), -1);
  window.events.key(Key::Left, 0);
  lbl.Unload(3);
  EXPECT_EQ(lbl.FocusedIndex(), -1);
  Form dialog{engine, {.clientWidth = 4680, .clientHeight = 1320}};
  for (const int code : {Key::Tab, Key::Left, Key::Return, Key::Menu, Key::Escape}) {
    EXPECT_FALSE(surface.nativeOf(dialog).events.key(code, 0)) << code;
  }
}

}  // namespace
}  // namespace platform::engine::fake
