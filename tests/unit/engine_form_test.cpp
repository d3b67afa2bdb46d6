// Forms as the form engine runs them on any window system: the load before the first showing,
// close requests through QueryUnload, the session's end and its handler, where a window goes
// (centred on the screen the user works on, then where the user leaves it), which windows take the
// keyboard and come back restored, and pictures drawn at the display's scale.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/engine/BoxCore.h"
#include "platform/engine/EndOfSession.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

const Form::Definition kStrip{.clientWidth = 8175, .clientHeight = 240, .activateOnShow = false};
const Form::Definition kDialog{.borderStyle = BorderStyle::FixedToolWindow,
                               .clientWidth = 4680,
                               .clientHeight = 1320,
                               .startUpPosition = StartUpPosition::CenterScreen};

using FormEngine = EngineTest;

TEST_F(FormEngine, LoadRunsOnceBeforeTheFirstShowAndEnsureLoadedDoesNotShow) {
  Form form(engine, kStrip);
  int loads = 0;
  bool visibleDuringLoad = true;
  form.Load = [&] {
    ++loads;
    visibleDuringLoad = form.Visible();
  };
  form.EnsureLoaded();
  EXPECT_FALSE(form.Visible());
  form.Show();
  form.Hide();
  form.Show();
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(visibleDuringLoad);
  EXPECT_TRUE(form.Visible());
}

// Every source reaches QueryUnload exactly once with its reason; a non-zero Cancel refuses.
TEST_F(FormEngine, CloseRequestsPassQueryUnloadOnce) {
  struct Source {
    const char* name;
    int mode;
    bool (*request)(Form&, FakeForm&);
  };
  const Source sources[] = {
      {"window system", vbFormControlMenu,
       [](Form&, FakeForm& n) { return n.events.closeRequested(); }},
      {"Unload", vbFormCode, [](Form& f, FakeForm&) { return f.Unload(); }},
  };
  for (const Source& source : sources) {
    for (const bool refuse : {false, true}) {
      Form form(engine, kDialog);
      form.Show();
      std::vector<int> modes;
      form.QueryUnload = [&](int& Cancel, int mode) {
        modes.push_back(mode);
        Cancel = refuse ? 1 : 0;
      };
      FakeForm& native = surface.nativeOf(form);
      const bool closed = source.request(form, native);
      ASSERT_EQ(modes, std::vector<int>{source.mode}) << source.name;
      EXPECT_EQ(closed, !refuse) << source.name;
      EXPECT_EQ(form.Closed(), !refuse) << source.name;
      // A close the window system asked for is its own to make; the program's own is made here.
      const bool closedHere = !native.calls.empty() && native.calls.back() == "close";
      EXPECT_EQ(closedHere, !refuse && source.mode == vbFormCode) << source.name;
    }
  }
}

// The session's end asks every open form with vbAppWindows, oldest first; a form destroyed by
// an earlier one's handler is not asked.
TEST_F(FormEngine, TheSessionsEndAsksEveryFormOnce) {
  Form strip(engine, kStrip);
  auto dialog = std::make_unique<Form>(engine, kDialog);
  Form later(engine, kDialog);
  std::vector<std::string> calls;
  strip.QueryUnload = [&](int&, int mode) {
    calls.push_back("strip " + std::to_string(mode));
    dialog.reset();
  };
  later.QueryUnload = [&](int& Cancel, int mode) {
    calls.push_back("later " + std::to_string(mode));
    Cancel = 1;
  };
  engine.closeEveryForm();
  engine.closeEveryForm();  // the strip is closed now; the refusing form is asked again
  EXPECT_EQ(calls, (std::vector<std::string>{"strip 2", "later 2", "later 2"}));
}

// A session that counts the program's end instead of making event loops return.
class CountingSession final : public EndOfSession {
 public:
  using EndOfSession::EndOfSession;
  int exits = 0;

 protected:
  void ExitEventLoops() override { ++exits; }
};

// The desktop session's end, once per session: every form is closed first, then the program's
// handler runs; the program itself ends only when the handler ends it.
TEST_F(FormEngine, TheSessionsEndClosesTheFormsThenRunsTheHandlerOnce) {
  CountingSession session{engine};
  Form strip(engine, kStrip);
  Form dialog(engine, kDialog);
  strip.Show();
  dialog.Show();
  std::vector<std::string> seen;
  strip.QueryUnload = [&](int&, int mode) { seen.push_back("strip " + std::to_string(mode)); };
  dialog.QueryUnload = [&](int&, int mode) { seen.push_back("dialog " + std::to_string(mode)); };
  session.OnEnd([&] {
    seen.push_back(strip.Closed() && dialog.Closed() ? "handler after both" : "handler early");
  });
  session.EndSession();
  session.EndSession();
  EXPECT_EQ(seen, (std::vector<std::string>{"strip " + std::to_string(vbAppWindows),
                                            "dialog " + std::to_string(vbAppWindows),
                                            "handler after both"}));
  EXPECT_FALSE(session.Ending());
  EXPECT_EQ(session.exits, 0);
}

// The dialog is centred, frame included, on the work area of the screen that shows the strip,
// once; after that it shows where the user left it.
TEST_F(FormEngine, TheDialogIsCentredOnTheStripsScreenThenKeptWhereTheUserLeftIt) {
  Form strip(engine, kStrip);
  strip.Move(2100 * 15, 300);
  strip.Show();
  Form dialog(engine, kDialog);
  dialog.Show();
  FakeForm& native = surface.nativeOf(dialog);
  const int width = 312 + 8, height = 88 + 30;
  EXPECT_EQ(native.frame.left, 2000 + (1280 - width) / 2);
  EXPECT_EQ(native.frame.top, (1000 - height) / 2);
  native.frame.left = 2100;
  native.events.moved(2100, 40);
  EXPECT_EQ(dialog.Left(), 2100 * 15);
  dialog.Hide();
  native.events.moved(0, 0);  // nobody moves a hidden window
  dialog.Show();
  EXPECT_EQ(native.calls.back(), "show active");
  EXPECT_EQ(native.frame.left, 2100);
  EXPECT_EQ(dialog.Top(), 40 * 15);
}

TEST_F(FormEngine, APositionKeepsItsTwipsUntilTheWindowReallyMovesAndSurvivesThePlacement) {
  Form strip(engine, kStrip);
  strip.Move(1507, 300);  // 100.47 pixels
  strip.Show();
  FakeForm& native = surface.nativeOf(strip);
  native.events.moved(100, 20);  // the window system confirms the pixel it was asked
  EXPECT_EQ(strip.Left(), 1507);
  // The window manager placed the new window itself: once mapped it goes where it was asked.
  native.frame = {0, 0, native.frame.width, native.frame.height};
  native.events.mapped();
  EXPECT_EQ(native.frame.left, 100);
  native.events.moved(130, 20);
  EXPECT_EQ(strip.Left(), 130 * 15);
}

// The dialog takes the keyboard at every showing and comes back from whatever state the window
// manager left it in, also one it did not report; the strip never takes the keyboard.
TEST_F(FormEngine, OnlyTheDialogTakesTheKeyboardAndEveryFormComesBackRestored) {
  Form strip(engine, kStrip);
  Form dialog(engine, kDialog);
  strip.Show();
  dialog.Show();
  FakeForm& native = surface.nativeOf(dialog);
  native.minimised = true;  // minimised from openbox's title bar, unreported
  dialog.Show();
  EXPECT_FALSE(native.minimised);
  EXPECT_TRUE(native.restoreMayActivate);
  EXPECT_FALSE(surface.nativeOf(strip).restoreMayActivate);
  EXPECT_EQ(native.activations, 2);
  EXPECT_EQ(surface.nativeOf(strip).activations, 0);
  EXPECT_EQ(surface.nativeOf(strip).calls.back(), "show inactive");
  engine.markEnding();  // the program ends: nothing shows any more
  dialog.Hide();
  dialog.Show();
  EXPECT_FALSE(dialog.Visible());
}

// Pictures are drawn at the display's scale: at 192 dots per inch the 33 x 16 title picture
// fills its 66 x 32 box, and an image on the form is scaled too.
TEST_F(FormEngine, PicturesAreScaledWithTheDisplay) {
  for (const unsigned dpi : {96u, 192u}) {
    surface.dpi = dpi;
    Form strip(engine, kStrip);
    Image image(strip, {"imgNormal", 0, 0, 495, 240, {":/images/normal.gif"}});
    PictureBox title(strip, {"picTitle", 0, 0, 495, 240, 0, 0, {":/images/normal.gif"}, "", {}});
    strip.Show();
    const int scale = static_cast<int>(dpi / 96);
    RecordingPainter boxPainter;
    CoreOf(title).paint(boxPainter, {0, 0, 33 * scale, 16 * scale});
    ASSERT_EQ(boxPainter.drawn.size(), 2u);
    EXPECT_EQ(boxPainter.drawn[1].area, (Pixels{0, 0, 33 * scale, 16 * scale})) << dpi;
    RecordingPainter formPainter;
    CoreOf(strip).paint(formPainter, {0, 0, 545 * scale, 16 * scale});
    ASSERT_EQ(formPainter.drawn.size(), 2u);
    EXPECT_EQ(formPainter.drawn[1].area, (Pixels{0, 0, 33 * scale, 16 * scale})) << dpi;
    EXPECT_EQ(surface.nativeOf(title).part, (Pixels{0, 0, 33 * scale, 16 * scale})) << dpi;
  }
}

TEST_F(FormEngine, PointerEventsOnTheFormAreInClientTwipsAndKeepThePointer) {
  surface.dpi = 120;
  Form form(engine, kStrip);
  std::vector<std::string> seen;
  form.MouseDown = [&](int b, int shift, Twips x, Twips y) {
    seen.push_back("D" + std::to_string(b) + " " + std::to_string(shift) + " " +
                   std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  };
  form.MouseMove = [&](int b, int, Twips, Twips) { seen.push_back("M" + std::to_string(b)); };
  FakeForm& native = surface.nativeOf(form);
  native.events.pointer(FormEvents::Pointer::Down, 4, 4, 1, 10, 20);
  native.events.pointer(FormEvents::Pointer::Move, 0, 4, 0, 12, 20);
  native.events.pointer(FormEvents::Pointer::Up, 4, 0, 0, 12, 20);  // no handler: skipped
  EXPECT_EQ(seen, (std::vector<std::string>{"D4 1 120,240", "M4"}));
}

// A form may go before its controls: the box keeps its values and touches nothing gone.
TEST_F(FormEngine, AFormMayGoBeforeItsPictureBoxes) {
  auto form = std::make_unique<Form>(engine, kStrip);
  PictureBox box(*form, {"picTicker", 0, 0, 7680, 240, 0, 0, {}, "", {}});
  LabelArray labels(box, {"lblItem", {}, {}, {}});
  form->Show();
  form.reset();
  box.setLeft(-30);
  box.setBackColor(0xFF);
  labels.Load(1);
  labels(1).setCaption(std::string("After"));
  EXPECT_EQ(box.Left(), -30);
  EXPECT_EQ(box.hWnd(), 0u);
}

}  // namespace
}  // namespace platform::engine::fake
