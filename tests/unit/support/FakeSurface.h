// A surface for the form engine without any window system: it records what the engine asks of
// its windows and lets a test play the window system's part (pointer events, moves, the
// pointer resting somewhere, posted calls, timer ticks) in plain code.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/engine/Accessibility.h"
#include "platform/engine/Engine.h"
#include "platform/engine/Surface.h"
#include "platform/forms/PictureBox.h"

namespace platform::engine::fake {

class FakeSurface;
struct FakeTimer;

// Drawing calls in the order made.
struct Drawn {
  std::string what;  // "fill", "picture", "text" or "focus"
  Pixels area{};     // fill, focus: its area; picture: where it is scaled to; text: the clip
  std::string text{};
  long long x64 = 0;
  bool rightToLeft = false;
};

class RecordingPainter final : public Painter {
 public:
  std::vector<Drawn> drawn;
  void fill(const Pixels& area, Color) override { drawn.push_back({"fill", area}); }
  void picture(const StdPicture& picture, const Pixels& area, const Pixels&) override {
    drawn.push_back({"picture", area, picture.resource});
  }
  void text(const MeasuringFont&, std::string_view utf8, bool rightToLeft, long long x64, int,
            Color, const Pixels& clip) override {
    drawn.push_back({"text", clip, std::string(utf8), x64, rightToLeft});
  }
  void focusFrame(const Pixels& area, Color, const Pixels&) override {
    drawn.push_back({"focus", area});
  }
};

// Every character is 7 pixels wide, a line 13 high; U+0300 to U+036F and U+200D cling to the
// character before them. Text reads from its right end when its first letter is Hebrew or
// Arabic (U+0580 to U+06FF) rather than ASCII, and may break after an ASCII blank.
class FakeFont final : public MeasuringFont {
 public:
  mutable int measured = 0;  // pieces measured so far
  long long advance64(std::string_view utf8, bool rightToLeft) const override;
  bool rightToLeft(std::string_view utf8) const override;
  std::size_t lastBreak(std::string_view utf8, std::size_t after, std::size_t limit) const override;
  int lineHeight() const override { return 13; }
  bool isMark(char32_t c) const override;
};

class FakeBox final : public NativeBox {
 public:
  FakeBox(BoxEvents& events, WindowHandle handle) : events(events), handle_(handle) {}
  BoxEvents& events;
  Pixels part{};
  std::vector<Pixels> invalidated;  // an empty area is the whole window
  std::vector<std::pair<int, int>> scrolled;
  std::string pointerShape;  // the custom picture's resource, empty for the arrow
  std::string toolTip;
  Pixels toolTipArea{};
  bool captured = false;
  PointerNow pointer{};
  mutable int pointerAsked = 0;  // times the engine asked where the pointer is

  WindowHandle handle() const override { return handle_; }
  unsigned dpi() const override;
  void invalidate(const Pixels& area) override { invalidated.push_back(area); }
  void setPointerShape(const StdPicture* custom) override {
    pointerShape = custom != nullptr ? custom->resource : std::string();
  }
  void setToolTip(const std::string& text, const Pixels& area) override {
    toolTip = text;
    toolTipArea = area;
  }
  void capturePointer(bool capture) override { captured = capture; }
  PointerNow pointerNow() const override {
    ++pointerAsked;
    return pointer;
  }
  void place(const Pixels& p) override { part = p; }
  void scroll(int dx, int dy) override { scrolled.emplace_back(dx, dy); }
  bool reader = false;  // a screen reader is attached
  std::vector<AccessibleEvent> accessibleEvents;
  bool readerAttached() const override { return reader; }
  void accessibleChanged(const std::vector<AccessibleEvent>& told) override {
    accessibleEvents.insert(accessibleEvents.end(), told.begin(), told.end());
  }

  // A pointer event as the window system delivers it, in the window's pixels.
  void send(FormEvents::Pointer kind, int button, int buttons, int x, int y, bool dbl = false) {
    events.pointer(kind, button, buttons, 0, x, y, dbl);
  }

 private:
  WindowHandle handle_;
};

class FakeForm final : public NativeForm {
 public:
  FakeForm(FormEvents& events, const Form::Definition& definition, WindowHandle handle);
  FormEvents& events;
  bool framed;
  bool isShown = false;
  bool minimised = false;  // as the window manager may leave it without telling
  int activations = 0;
  bool isActive = false;  // the active window: set by the test, as the window system decides
  std::vector<std::string> keyboardTakes;     // the startup ids of later starts' requests
  std::vector<WindowHandle> keyboardGivenTo;  // the windows the keyboard went back to
  int restores = 0;
  bool restoreMayActivate = false;  // what the last restore was told
  int focusCues = 0;                // times the focus marks were asked to show
  bool topmost = false;
  Pixels frame{};  // where the frame is; width and height: the client size
  // As a tiling compositor does: a shown window stays where it is when the program moves it.
  bool refusesMoves = false;
  int systemMoves = 0;           // drags handed to the window manager
  bool takesPlacements = false;  // a refused move may be asked another way
  std::vector<std::string> calls;
  std::string readerName;

  WindowHandle handle() const override { return handle_; }
  unsigned dpi() const override;
  void invalidate(const Pixels&) override {}
  void setPointerShape(const StdPicture*) override {}
  void setToolTip(const std::string&, const Pixels&) override {}
  void capturePointer(bool) override {}
  PointerNow pointerNow() const override { return {}; }
  Pixels frameExtra() const override { return framed ? Pixels{0, 0, 8, 30} : Pixels{}; }
  void moveTo(int x, int y) override;
  void resizeClient(int width, int height) override;
  Pixels frameNow() const override { return frame; }
  bool startSystemMove() override { return ++systemMoves > 0; }
  bool askPlacement(int x, int y) override;
  void show(bool activate) override;
  void hide() override;
  bool shown() const override { return isShown; }
  void restore(bool activate) override;
  void activate() override;
  void takeKeyboard(const std::string& startupId) override { keyboardTakes.push_back(startupId); }
  bool active() const override { return isActive; }
  void giveKeyboardTo(WindowHandle window) override { keyboardGivenTo.push_back(window); }
  void showFocusCues() override { ++focusCues; }
  void setTopmost(bool value) override { topmost = value; }
  void close() override;
  void setReaderName(const std::string& name) override { readerName = name; }
  Pixels workAreaNear(const NativeForm* near) const override;

 private:
  WindowHandle handle_;
};

// A control that keeps what it is asked in plain members; focus is one per surface, as a
// window system keeps one per window.
class FakeControl final : public NativeControl {
 public:
  FakeControl(FakeSurface& surface, const ControlDefinition& definition, ControlEvents& events);
  ~FakeControl() override;
  FakeSurface& surface;
  ControlDefinition definition;
  ControlEvents& events;
  std::string fieldText;
  std::vector<std::string> items;
  bool selected = false;  // the whole text is selected
  bool open = false;      // the list is open
  int presses = 0;
  std::string labelled;  // the name a label gave this control

  void focus() override;
  bool focused() const override;
  void selectAll() override { selected = definition.kind == ControlKind::Field; }
  void press() override;
  std::string text() const override {
    return definition.kind == ControlKind::Field ? fieldText : definition.caption;
  }
  void setText(const std::string& value) override { fieldText = value; }
  void addItem(const std::string& item) override { items.push_back(item); }
  int itemCount() const override { return static_cast<int>(items.size()); }
  std::string item(int index) const override { return items.at(static_cast<std::size_t>(index)); }
  bool listOpen() const override { return open; }
  void labels(NativeControl& control, const std::string& name) override {
    static_cast<FakeControl&>(control).labelled = name;
  }
};

class FakeSurface final : public Surface {
 public:
  FakeSurface();
  ~FakeSurface() override;

  // Pixels per inch of every window made from now on and of those already made.
  unsigned dpi = 96;
  // The work area of every screen; the screen of a form whose frame lies right of x = 2000 is
  // the second one.
  Pixels primaryWorkArea{0, 0, 1920, 1040};
  Pixels secondWorkArea{2000, 0, 1280, 1000};
  FakeFont theFont;
  std::vector<FakeForm*> forms;
  std::vector<FakeBox*> boxes;
  std::vector<FakeTimer*> timers;
  std::vector<FakeControl*> controls;
  FakeControl* focusedControl = nullptr;

  std::unique_ptr<NativeForm> makeForm(const Form::Definition& definition,
                                       FormEvents& events) override;
  std::unique_ptr<NativeBox> makeBox(NativeForm& parent, const char* name, BoxEvents& events,
                                     AccessibleModel& reader) override;
  std::unique_ptr<NativeControl> makeControl(NativeForm& parent,
                                             const ControlDefinition& definition,
                                             ControlEvents& events) override;
  std::unique_ptr<NativeTimer> makeTimer(std::function<void()> tick) override;
  const MeasuringFont& font(const Font&, unsigned) override { return theFont; }
  // Every picture is 33 x 16 pixels.
  Pixels pictureSize(const StdPicture& picture) override;
  void post(std::function<void()> call) override {
    ++postedCalls;
    posted.push_back(std::move(call));
  }

  // Runs the calls posted so far (and those they post).
  void runPosted();
  int postedCalls = 0;  // calls posted since the surface was made

  FakeForm& nativeOf(const Form& form);
  FakeBox& nativeOf(const PictureBox& box);
  // The control made with this name.
  FakeControl& control(const std::string& name);

 private:
  std::deque<std::function<void()>> posted;
  WindowHandle nextHandle_ = 0x1000;
};

struct FakeTimer final : NativeTimer {
  explicit FakeTimer(FakeSurface& surface, std::function<void()> tick);
  ~FakeTimer() override;
  FakeSurface& surface;
  std::function<void()> tick;
  int interval = 0;  // the countdown running, 0 when stopped
  int starts = 0;
  void start(int milliseconds) override {
    interval = milliseconds;
    ++starts;
  }
  void stop() override { interval = 0; }
};

// A fresh engine on a fake surface for each test: made before the forms of a derived fixture,
// gone after them.
class EngineTest : public ::testing::Test {
 protected:
  FakeSurface surface;
  Engine engine{surface};
};

}  // namespace platform::engine::fake
