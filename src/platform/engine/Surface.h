// What the form engine asks of a window system: native windows to place, show and paint on,
// fonts to measure and draw with, pictures, timers, and calls run after the current event.
// The engine holds every form's and control's state and decides what happens; a surface only
// does what the window system alone can do, and reports what the window system tells it.
// Lengths here are pixels of the window's display; the engine converts from twips.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/Font.h"
#include "platform/forms/Form.h"
#include "platform/forms/StdPicture.h"
#include "platform/forms/Units.h"

namespace platform::engine {

class AccessibleModel;
struct AccessibleEvent;

// A rectangle in pixels; empty when it has no width or no height.
struct Pixels {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }   // one past the last column
  int bottom() const { return top + height; }  // one past the last row
  bool empty() const { return width <= 0 || height <= 0; }
  Pixels intersected(const Pixels& other) const;
  Pixels translated(int dx, int dy) const { return {left + dx, top + dy, width, height}; }
  friend bool operator==(const Pixels&, const Pixels&) = default;
};

// A font as the window system measures and draws it: text laid out by the system's text
// engine, shaped (joined, reordered, with its ligatures and marks) and in bidirectional order,
// characters the font lacks taken from one that has them.
class MeasuringFont {
 public:
  virtual ~MeasuringFont() = default;
  // The advance of one line of UTF-8 text in 1/64 pixel, laid out as Painter::text draws it in
  // the paragraph direction given, each line break and tab a blank, a bad byte U+FFFD. 0 for
  // no text.
  virtual long long advance64(std::string_view utf8, bool rightToLeft) const = 0;
  // Whether text reads from its right end: its first strong character (outside isolates) is
  // of a right-to-left script; false when it has none.
  virtual bool rightToLeft(std::string_view utf8) const = 0;
  // The last place after `after` and at most `limit` bytes into the text where the system's
  // text engine allows a line break, never inside a character or a cluster; 0 when there is
  // none. The text may go on beyond limit, so that the break can be told.
  virtual std::size_t lastBreak(std::string_view utf8, std::size_t after,
                                std::size_t limit) const = 0;
  // The height of one line, in pixels.
  virtual int lineHeight() const = 0;
  // True for a combining mark (Unicode categories Mn, Mc, Me, as the system knows them).
  virtual bool isMark(char32_t c) const = 0;
};

// Drawing during a paint, in the window's own pixels, clipped to what the window system asked
// to be painted.
class Painter {
 public:
  virtual ~Painter() = default;
  virtual void fill(const Pixels& area, Color color) = 0;
  // The picture scaled to area (its own size at 96 dots per inch times the display's scale),
  // clipped to clip; a picture not compiled into the program draws nothing.
  virtual void picture(const StdPicture& picture, const Pixels& area, const Pixels& clip) = 0;
  // One line of UTF-8 text in the font, laid out in the paragraph direction given, its left
  // edge at x64 / 64 pixels and its top at top, clipped to clip: as wide as advance64 measures
  // it. Line breaks and tabs are drawn as blanks; an "&" as it stands.
  virtual void text(const MeasuringFont& font, std::string_view utf8, bool rightToLeft,
                    long long x64, int top, Color color, const Pixels& clip) = 0;
  // The keyboard focus's mark: a dotted one-pixel frame just inside area, clipped to clip.
  virtual void focusFrame(const Pixels& area, Color color, const Pixels& clip) = 0;
};

// Where the pointer is now, as the window system tells it.
struct PointerNow {
  bool overThisWindow = false;  // not over a window in front of it, ours or another program's
  int x = 0;                    // in the window's pixels
  int y = 0;
  int buttons = 0;    // the sum of the buttons held
  int modifiers = 0;  // Modifier flags
};

// One native window: a form's top-level window or the child window of a picture box.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  // The identity WindowFromPoint answers with; never 0.
  virtual WindowHandle handle() const = 0;
  // Pixels per inch of the display the window is on (96 where the toolkit scales by itself).
  virtual unsigned dpi() const = 0;
  // Repaints the area (all of the window when it is empty) at the window system's next paint.
  virtual void invalidate(const Pixels& area) = 0;
  // The shape of the pointer over the window: the custom picture, or the arrow when null.
  virtual void setPointerShape(const StdPicture* custom) = 0;
  // The tooltip the window shows while the pointer rests inside area: text as it stands (the
  // engine has cut it), none when empty. Replaces the one before and hides it if it shows.
  virtual void setToolTip(const std::string& text, const Pixels& area) = 0;
  // Keeps the pointer's events with this window until released, or lets them go.
  virtual void capturePointer(bool capture) = 0;
  virtual PointerNow pointerNow() const = 0;
};

// The child window of a picture box: the part of the box that shows inside its form.
class NativeBox : public NativeWindow {
 public:
  // Places the window at the rectangle in its form's client pixels and shows it, or hides it
  // when the rectangle is empty.
  virtual void place(const Pixels& part) = 0;
  // Moves the pixels already drawn by dx, dy and repaints only the uncovered columns.
  virtual void scroll(int dx, int dy) = 0;
  // Whether an assistive program (a screen reader) reads the window system's accessibility
  // objects now; false when the system cannot tell.
  virtual bool readerAttached() const = 0;
  // Tells a reader what changed in the box's accessibility model since the last call; a
  // system without such events ignores it.
  virtual void accessibleChanged(const std::vector<AccessibleEvent>& events) = 0;
};

// A form's top-level window.
class NativeForm : public NativeWindow {
 public:
  // The frame's extra width and height around the client area, in pixels (0, 0 when
  // frameless or not yet known).
  virtual Pixels frameExtra() const = 0;
  // Moves the frame's top-left corner to the screen point; a hidden window goes there at its
  // next showing. A move the window manager refuses is not reported.
  virtual void moveTo(int x, int y) = 0;
  // Sizes the client area.
  virtual void resizeClient(int width, int height) = 0;
  // Where the frame's top-left corner is now on the screen, as the window system says.
  virtual Pixels frameNow() const = 0;
  // Asks the window manager to move the window with the pointer while a button is held, for a
  // drag where the program may not move its window itself; false when it cannot be asked.
  virtual bool startSystemMove() = 0;
  // Asks the window manager to put the shown window's frame at the screen point, at the
  // window's own size, where it refuses the program's moves but takes such requests another
  // way (a compositor's command socket); false when it cannot be asked or says no. The place
  // it gives comes as moved().
  virtual bool askPlacement(int x, int y) = 0;
  // Maps the window; activate says whether it may take the keyboard from the window in use.
  virtual void show(bool activate) = 0;
  virtual void hide() = 0;
  virtual bool shown() const = 0;
  // Brings the window back from minimised, maximised or full screen, also when the window
  // manager did that without the window system telling the program; a window mapped again for
  // that takes the keyboard only when activate says it may.
  virtual void restore(bool activate) = 0;
  // Makes the window the active one; the engine puts the focus on its controls itself.
  virtual void activate() = 0;
  // Asks the window system to make the shown window the active one for a later start of the
  // program, which the person made from a launcher, a menu or a key of theirs: startupId is
  // the startup notification id or activation token the launcher handed that start ("" for
  // none), which lets the request through a window manager's focus-stealing prevention; the
  // notification ends here.
  // A window manager that refuses is not reported.
  virtual void takeKeyboard(const std::string& startupId) = 0;
  // Whether the window is the active one, the one that has the keyboard.
  virtual bool active() const = 0;
  // Makes window, another program's, the active one (the engine chose it from keyboardWith);
  // nothing when it is gone or the window system refuses.
  virtual void giveKeyboardTo(WindowHandle window) = 0;
  // The keyboard moved the focus: the controls draw their focus marks from now on, as after
  // the window system's own Tab.
  virtual void showFocusCues() = 0;
  virtual void setTopmost(bool topmost) = 0;
  // Closes the window after its close request was granted (it may show again).
  virtual void close() = 0;
  // What a screen reader calls the window instead of its caption.
  virtual void setReaderName(const std::string& name) = 0;
  // The available area (without panels) of the screen that shows the middle of the form's
  // window, or of the primary screen when near is null or on none.
  virtual Pixels workAreaNear(const NativeForm* near) const = 0;
};

// What a form's window reports to the engine.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void paint(Painter& painter, const Pixels& dirty) = 0;
  // A press (down), move or release with the button that changed (moves: 0), the sum of the
  // buttons held after it, the modifier keys held (Modifier flags) and the point in client
  // pixels.
  enum class Pointer { Down, Move, Up };
  virtual void pointer(Pointer kind, int button, int buttons, int modifiers, int x, int y) = 0;
  // The window system asks the window to close (its close box, the window manager): returns
  // true when it may close, after QueryUnload.
  virtual bool closeRequested() = 0;
  // The user or the window manager moved the window's frame to the screen point.
  virtual void moved(int x, int y) = 0;
  // The window system left the frame at the screen point instead of moving it where the
  // program asked: the program cannot move this window itself.
  virtual void moveRefused(int x, int y) = 0;
  // The pointer came onto the window (inside) or left it, as the window system reports its
  // crossings.
  virtual void pointerCrossed(bool inside) = 0;
  // The window manager has just mapped the window (and may have placed it where it liked).
  virtual void mapped() = 0;
  // The window was hidden, minimised, maximised or restored, by anybody.
  virtual void stateChanged() = 0;
  // The display's scale changed: sizes and positions follow.
  virtual void dpiChanged() = 0;
  // A key pressed while the window is the active one (Key codes, the modifier keys held as
  // Modifier flags), repeat when the window system repeats a key held down: true when the form
  // used it, false to leave it to the window system.
  virtual bool key(int keyCode, int modifiers, bool repeat = false) = 0;
  // The window has become the active one: it has the keyboard.
  virtual void activated() = 0;
  // The window is no longer the active one: it has lost the keyboard.
  virtual void deactivated() = 0;
  // The window system says that window (this program's when ours, or another's, as the window
  // system names it) has the keyboard now, or had it until this window took it; what it does
  // not say is not reported.
  virtual void keyboardWith(WindowHandle window, bool ours) = 0;
};

// The keys a form's window reports, by their Windows virtual-key codes.
struct Key {
  static constexpr int Tab = 9;
  static constexpr int Return = 13;
  static constexpr int Escape = 27;
  static constexpr int Space = 32;
  static constexpr int Left = 37;
  static constexpr int Right = 39;
  static constexpr int Menu = 93;
  static constexpr int F10 = 121;
};

// The modifier keys held with a key or a pointer event: the sum of those held, as the forms'
// mouse handlers receive it in their Shift argument.
struct Modifier {
  static constexpr int Shift = 1;
  static constexpr int Ctrl = 2;
  static constexpr int Alt = 4;
};

// What a picture box's window reports to the engine.
class BoxEvents {
 public:
  virtual ~BoxEvents() = default;
  virtual void paint(Painter& painter, const Pixels& dirty) = 0;
  // As FormEvents::pointer, with doubleClick for the second press of a double-click; points
  // in the window's pixels.
  virtual void pointer(FormEvents::Pointer kind, int button, int buttons, int modifiers, int x,
                       int y, bool doubleClick) = 0;
  // The window system took the pointer's capture away.
  virtual void captureLost() = 0;
  // As FormEvents::pointerCrossed.
  virtual void pointerCrossed(bool inside) = 0;
};

// What a native control of a form reports to the engine, as the window system tells it.
class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  // The person changed the text of the field (each edit; never the text the engine sets).
  virtual void edited() = 0;
  // The person picked entry index (from 0) of the field's list; the field may show it already.
  virtual void picked(int index) = 0;
  // The button was pressed: by the pointer, its access key, or press().
  virtual void pressed() = 0;
};

// The kinds of native control a form hosts.
enum class ControlKind {
  Field,   // an editable text field with a drop-down list
  Button,  // a push button with a caption in which "&" marks the access key
  Label,   // a caption, "&" shown as it stands
};

struct ControlDefinition {
  ControlKind kind = ControlKind::Label;
  const char* name = "";
  std::string caption{};
  Pixels area{};           // in the form's client pixels; a field's height without its list
  bool isDefault = false;  // a button drawn as the one Return presses
};

// A native control on a form's window. The engine decides which control has the focus, what
// the keys do and what the control's events mean; the control only does what it is asked.
class NativeControl {
 public:
  virtual ~NativeControl() = default;
  // Gives the control the keyboard focus (at the window's next activation when it is not the
  // active one).
  virtual void focus() = 0;
  // Whether the control has its window's focus (also while the window is not the active one).
  virtual bool focused() const = 0;
  // A field's text, or the caption.
  virtual std::string text() const = 0;
  // What only some kinds of control do; the others do nothing and have nothing.
  // Selects the whole text of a field, so that typing replaces it.
  virtual void selectAll() {}
  // Presses a button as a click does, pressed() following.
  virtual void press() {}
  // Puts the text into a field; reports nothing.
  virtual void setText(const std::string&) {}
  // Appends an entry to a field's list; its text stays and nothing is reported.
  virtual void addItem(const std::string&) {}
  // The number of entries in a field's list, and the entry at index ("" out of range).
  virtual int itemCount() const { return 0; }
  virtual std::string item(int) const { return {}; }
  // Whether a field's drop-down list is open now.
  virtual bool listOpen() const { return false; }
  // This label becomes the label of control: readers call control by name, and the window
  // system's own links from a label to its control (an access key) lead there.
  virtual void labels(NativeControl&, const std::string&) {}
};

// A repeating timer of the window system.
class NativeTimer {
 public:
  virtual ~NativeTimer() = default;
  // Starts a new countdown of milliseconds (> 0); ticks until stopped.
  virtual void start(int milliseconds) = 0;
  virtual void stop() = 0;
};

// The window system.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual std::unique_ptr<NativeForm> makeForm(const Form::Definition& definition,
                                               FormEvents& events) = 0;
  // The box's window; reader is what the window tells a screen reader.
  virtual std::unique_ptr<NativeBox> makeBox(NativeForm& parent, const char* name,
                                             BoxEvents& events, AccessibleModel& reader) = 0;
  // A control of the form's window, placed behind those made before it.
  virtual std::unique_ptr<NativeControl> makeControl(NativeForm& parent,
                                                     const ControlDefinition& definition,
                                                     ControlEvents& events) = 0;
  virtual std::unique_ptr<NativeTimer> makeTimer(std::function<void()> tick) = 0;
  // The font as measured and drawn at the display's pixels per inch; lives for the rest of
  // the run. A face the system lacks is the nearest one it has.
  virtual const MeasuringFont& font(const Font& font, unsigned dpi) = 0;
  // The picture's own size in pixels at 96 dots per inch; empty for no picture.
  virtual Pixels pictureSize(const StdPicture& picture) = 0;
  // Runs call once, after the event being handled now (handlers run one at a time).
  virtual void post(std::function<void()> call) = 0;
};

// A picture's area on a display with dpi pixels per inch, its top-left corner at x, y: its own
// size (as the surface measures it) scaled as the display is.
Pixels PictureArea(Surface& surface, const StdPicture& picture, int x, int y, unsigned dpi);

}  // namespace platform::engine
