// The form engine of one run: the window system its forms are made on, the forms that live,
// how often their windows changed state, whether anybody can see the screen, and whether the
// program is ending. The system's services (or a test) make it once and hand it to every form;
// a form's boxes, controls and timers reach it through their form.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/forms/Units.h"

namespace platform::engine {

class FormCore;
class Surface;

// Why nobody may see the screen, as the system reports it.
enum class Unseen {
  ScreenSaver,  // the screen saver runs
  Locked,       // the session is locked
  DisplayOff,   // the display is off
};

// What rests while nobody can see the screen: told each time that changes.
class Resting {
 public:
  virtual void seenChanged() = 0;

 protected:
  ~Resting() = default;
};

class Engine {
 public:
  explicit Engine(Surface& surface) : surface_(surface) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Surface& surface() const { return surface_; }

  // Every live form, oldest first.
  const std::vector<FormCore*>& forms() const { return forms_; }
  void formMade(FormCore* form);
  void formGone(FormCore* form);
  // Asks every open form to close for the end of the session (vbAppWindows), oldest first; a
  // form closed or destroyed by another's handler meanwhile is left alone.
  void closeEveryForm();

  // Grows each time a form is hidden, closed, or its window is minimised, maximised or
  // restored, by the program or by the window manager: two presses with a change between them
  // are not a double-click.
  std::uint64_t windowChanges() const { return windowChanges_; }
  void noteWindowChange() { ++windowChanges_; }

  // True once the program is ending (the session's EndProgram): forms no longer show and
  // message boxes no longer wait. It never ends twice.
  bool ending() const { return ending_; }
  void markEnding() { ending_ = true; }

  // True when the window (a form's, or one of its picture boxes') belongs to a form that the
  // window system has seen the pointer leave, and not enter since: a poll that still finds the
  // pointer there reads a stale position. False for a window that is none of ours.
  bool pointerKnownOutside(WindowHandle window) const;

  // The window system reports which window has the keyboard (see FormEvents::keyboardWith).
  void noteKeyboardWith(WindowHandle window, bool ours);
  // Where the keyboard goes back when a person is done with a form: the last window of another
  // program known to have had it, whichever of the program's forms took it from there; 0 when
  // none is known.
  WindowHandle keyboardReturn() const { return keyboardReturn_; }

  // Somebody can see the screen unless one of the reasons holds. While nobody can, every timer
  // of the program rests: the strip stands still, paints nothing and reaches no reload, and the
  // processor is left asleep. Once somebody can again, each timer goes on with a new countdown.
  bool seen() const { return unseen_ == 0; }
  // The system reports that a reason began (holds) or ended.
  void noteUnseen(Unseen reason, bool holds);
  void addResting(Resting* resting);
  void removeResting(Resting* resting);

 private:
  Surface& surface_;
  std::vector<FormCore*> forms_;
  std::uint64_t windowChanges_ = 0;
  bool ending_ = false;
  WindowHandle keyboardReturn_ = 0;
  unsigned unseen_ = 0;  // a bit for each reason that holds
  std::vector<Resting*> resting_;
};

}  // namespace platform::engine
