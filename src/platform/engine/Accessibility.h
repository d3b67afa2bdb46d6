// What a screen reader finds in a picture box, whatever the window system: the box, named by its
// tooltip, and one object for each label with a caption that lies inside the box's form. A
// label is a link when it shows the hand pointer; it is showing when some of it is in the box's
// window and not under a box in front (the title picture), and then the keyboard's focus can
// come to it; its one action is the press a left button gives it. Each surface bridges this model
// to its platform's accessibility interface and is told, at most every kAccessibleChangeInterval
// milliseconds, that what a reader sees has changed: a row scrolling every tick would otherwise
// flood the reader with events.
#pragma once

#include <memory>
#include <vector>

#include "platform/engine/Surface.h"
#include "platform/forms/LabelArray.h"

namespace platform::engine {

class BoxCore;

inline constexpr int kAccessibleChangeInterval = 500;

struct AccessibleLabel {
  LabelArray* labels = nullptr;
  int index = -1;
  text::SharedText name;         // the caption
  text::SharedText description;  // the tooltip
  bool link = false;
  Pixels rect;  // in the box's window pixels; may lie left of the window, under a box in front
  bool showing = false;
  bool focusable = false;  // the keyboard's focus can come to it
  bool focused = false;    // it has the keyboard's focus
};

// The labels a reader is offered, array by array in increasing index; none when nothing of
// the box shows.
std::vector<AccessibleLabel> AccessibleLabels(const BoxCore& box);

// The focus came to or left a label of box: its window tells a reader at once.
void TellFocusChanged(BoxCore& box);

// Label index of the array pressed and released with the left button, as the pointer presses
// it (its link opens once); false, and nothing delivered, when the label is not offered.
bool PressAccessibleLabel(BoxCore& box, LabelArray* labels, int index);

// Gathers the changes of one box and tells its window of them, at most once an interval, and
// only while a reader is attached to the window.
class AccessibleChanges {
 public:
  explicit AccessibleChanges(BoxCore& box) : box_(box) {}
  ~AccessibleChanges();
  AccessibleChanges(const AccessibleChanges&) = delete;
  AccessibleChanges& operator=(const AccessibleChanges&) = delete;

  // The box moved or one of its labels changed.
  void note();

 private:
  void tick();

  BoxCore& box_;
  std::unique_ptr<NativeTimer> timer_;
  bool running_ = false;
  bool pending_ = false;
  std::vector<AccessibleLabel> told_;
};

}  // namespace platform::engine
