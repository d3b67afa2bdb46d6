#include "platform/engine/KeyboardFocus.h"

#include <algorithm>
#include <memory>

#include "platform/engine/Accessibility.h"
#include "platform/engine/BoxCore.h"
#include "platform/engine/Engine.h"
#include "platform/engine/FormCore.h"

namespace platform::engine {

KeyboardFocus::~KeyboardFocus() = default;

// Shift alone; with Ctrl or Alt a key is a command of the window system's, not the form's.
bool KeyboardFocus::key(int keyCode, int modifiers, bool repeat) {
  if ((modifiers & (Modifier::Ctrl | Modifier::Alt)) != 0) return false;
  const bool shifted = (modifiers & Modifier::Shift) != 0;
  const bool presses = keyCode == Key::Return || keyCode == Key::Space || keyCode == Key::Menu ||
                       (keyCode == Key::F10 && shifted);
  if (repeat && presses) return labels_ != nullptr || keyCode == Key::Menu || keyCode == Key::F10;
  switch (keyCode) {
    case Key::Tab:
      return step(!shifted, true);
    case Key::Right:
    case Key::Left:
      return step(keyCode == Key::Right, false);
    case Key::Escape:
      // Done with the labels: the person goes back to what they were doing. A window without
      // labels leaves Escape to its own controls.
      if (labels_ == nullptr && stops().empty()) return false;
      clear();
      if (const WindowHandle back = form_.engine().keyboardReturn(); back != 0) {
        form_.native().giveKeyboardTo(back);
      }
      return true;
    case Key::Return:
    case Key::Space:
      return press(vbLeftButton);
    case Key::Menu:
      return press(vbRightButton);
    case Key::F10:
      return shifted && press(vbRightButton);
    default:
      return false;
  }
}

std::vector<KeyboardFocus::Stop> KeyboardFocus::stops() const {
  std::vector<Stop> found;
  std::vector<int> indexes;
  for (BoxCore* box : form_.boxes()) {
    const Pixels& part = box->visiblePart();
    if (part.empty()) continue;
    const Pixels window{0, 0, part.width, part.height};
    for (LabelArray* labels : box->labelArrays()) {
      labels->LabelsBetween(box->twipsX(0), box->twipsX(part.width), indexes);
      for (const int index : indexes) {
        const LabelState& label = labels->elements()[static_cast<std::size_t>(index)].state;
        const Pixels rect = box->localRect(label);
        if (label.caption.empty() || rect.intersected(window).empty()) continue;
        found.push_back({box, labels, index, part.left + rect.left, part.top + rect.top});
      }
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Stop& a, const Stop& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
  return found;
}

void KeyboardFocus::focusFirst() {
  const std::vector<Stop> all = stops();
  if (!all.empty()) moveTo(&all.front());
}

// A focus on a label that no longer shows counts as none: the next key starts at an end. With
// no label to go to and none focused, the key is left to the window's own controls.
bool KeyboardFocus::step(bool forward, bool leaveAtEnds) {
  const std::vector<Stop> all = stops();
  if (all.empty() && labels_ == nullptr) return false;
  const auto here = std::find_if(all.begin(), all.end(), [this](const Stop& s) {
    return s.box == box_ && s.labels == labels_ && s.index == index_;
  });
  const auto count = static_cast<long>(all.size());
  const long at = here == all.end() ? -1 : here - all.begin();
  long next = at < 0 ? (forward ? 0 : count - 1) : (forward ? at + 1 : at - 1);
  if (next < 0 || next >= count) {
    if (leaveAtEnds || at < 0) {
      clear();
      return true;
    }
    next = at;
  }
  moveTo(&all[static_cast<std::size_t>(next)]);
  return true;
}

void KeyboardFocus::moveTo(const Stop* stop) {
  if (stop != nullptr && stop->box == box_ && stop->labels == labels_ && stop->index == index_) {
    return;
  }
  if (stop == nullptr && labels_ == nullptr) return;
  invalidateFocused();
  BoxCore* const left = box_;
  box_ = stop != nullptr ? stop->box : nullptr;
  labels_ = stop != nullptr ? stop->labels : nullptr;
  index_ = stop != nullptr ? stop->index : -1;
  invalidateFocused();
  // A reader follows the focus: it hears of each move as it happens.
  if (left != nullptr && left != box_) left->reader().noteFocus();
  if (box_ != nullptr) box_->reader().noteFocus();
}

void KeyboardFocus::invalidateFocused() const {
  if (box_ == nullptr) return;
  const LabelState* label = box_->labelOf({labels_, index_});
  if (label == nullptr) return;
  const Pixels rect = box_->localRect(*label);
  const Pixels& part = box_->visiblePart();
  const Pixels dirty =
      Pixels{rect.left - 1, rect.top - 1, rect.width + 2, rect.height + 2}.intersected(
          {0, 0, part.width, part.height});
  if (!dirty.empty()) box_->native().invalidate(dirty);
}

// As the button's press and release on the focused label; the right button's, with no label
// focused, on the first box that shows labels.
bool KeyboardFocus::press(int button) {
  if (box_ != nullptr && box_->clickLabel(labels_, index_, button)) return true;
  if (button != vbRightButton) return false;
  const auto& boxes = form_.boxes();
  const auto found = std::find_if(boxes.begin(), boxes.end(), [](const BoxCore* b) {
    return !b->visiblePart().empty() && !b->labelArrays().empty();
  });
  if (found == boxes.end()) return false;
  BoxCore* box = *found;
  box->click({}, button, box->twipsX(box->visiblePart().width / 2),
             box->twipsY(box->visiblePart().height / 2));
  return true;
}

void KeyboardFocus::boxGone(const BoxCore* box) {
  if (box != box_) return;
  box_ = nullptr;
  labels_ = nullptr;
  index_ = -1;
}

void KeyboardFocus::labelGone(const LabelArray* labels, int index) {
  if (labels != labels_ || (index >= 0 && (index != index_ || labels->IsLoaded(index)))) return;
  box_ = nullptr;
  labels_ = nullptr;
  index_ = -1;
}

void KeyboardFocus::paint(const BoxCore& box, Painter& painter, const Pixels& dirty) const {
  if (&box != box_) return;
  const LabelState* label = box.labelOf({labels_, index_});
  if (label == nullptr || !label->visible) return;
  painter.focusFrame(box.localRect(*label), label->foreColor, dirty);
}

}  // namespace platform::engine
