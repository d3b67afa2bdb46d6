// The keyboard on a form whose picture boxes show labels: a person who made the window active
// moves a focus between the labels that show (Tab and Shift+Tab pass through them and off
// them, Left and Right move along the row and stop at its ends), presses the focused label
// with Return or space as the left button presses it, and asks for the context menu with
// Menu or Shift+F10 as the right button asks for it. Escape and the window losing the keyboard
// take the focus away; Escape also gives the keyboard back to the window that had it before.
// The focused label is drawn with a dotted frame.
#pragma once

#include <vector>

#include "platform/engine/Surface.h"
#include "platform/forms/LabelArray.h"

namespace platform::engine {

class BoxCore;
class FormCore;

class KeyboardFocus {
 public:
  explicit KeyboardFocus(FormCore& form) : form_(form) {}
  ~KeyboardFocus();
  KeyboardFocus(const KeyboardFocus&) = delete;
  KeyboardFocus& operator=(const KeyboardFocus&) = delete;

  // A key of the form's window; true when it was used. A held key presses its label once: the
  // window system's repeats of Return, space, Menu and F10 are used and do nothing.
  bool key(int keyCode, int modifiers, bool repeat);
  // Nothing has the focus any more.
  void clear() { moveTo(nullptr); }
  // The first label that shows takes the focus; nothing when none shows.
  void focusFirst();
  // The box goes.
  void boxGone(const BoxCore* box);
  // Label index of the array went (index -1: the whole array goes).
  void labelGone(const LabelArray* labels, int index);
  // The focused label's index when it is of the array, else -1.
  int focusedIn(const LabelArray* labels) const { return labels == labels_ ? index_ : -1; }
  // Draws the mark when the focused label is in this box.
  void paint(const BoxCore& box, Painter& painter, const Pixels& dirty) const;

 private:
  // A label that shows, with its left and top edges in the form's client pixels.
  struct Stop {
    BoxCore* box = nullptr;
    LabelArray* labels = nullptr;
    int index = -1;
    int x = 0;
    int y = 0;
  };

  std::vector<Stop> stops() const;
  bool step(bool forward, bool leaveAtEnds);
  void moveTo(const Stop* stop);
  void invalidateFocused() const;
  bool press(int button);

  FormCore& form_;
  BoxCore* box_ = nullptr;
  LabelArray* labels_ = nullptr;
  int index_ = -1;
};

}  // namespace platform::engine
