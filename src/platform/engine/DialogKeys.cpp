#include "platform/engine/DialogKeys.h"

#include <algorithm>

#include "platform/engine/ControlCore.h"
#include "platform/engine/Surface.h"

namespace platform::engine {

void DialogKeys::add(ControlCore* control) { controls_.push_back(control); }

void DialogKeys::remove(ControlCore* control) {
  std::erase(controls_, control);
  if (remembered_ == control) remembered_ = nullptr;
}

std::vector<ControlCore*> DialogKeys::stops() const {
  std::vector<ControlCore*> found;
  std::copy_if(controls_.begin(), controls_.end(), std::back_inserter(found),
               [](const ControlCore* c) { return c->takesFocus(); });
  std::stable_sort(found.begin(), found.end(), [](const ControlCore* a, const ControlCore* b) {
    return a->tabIndex() < b->tabIndex();
  });
  return found;
}

ControlCore* DialogKeys::focused() const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [](const ControlCore* c) { return c->native().focused(); });
  return found == controls_.end() ? nullptr : *found;
}

// Typing in a field the keyboard moved to replaces its text.
void DialogKeys::moveTo(ControlCore* control) {
  control->native().focus();
  control->native().selectAll();
  remembered_ = control;
}

bool DialogKeys::key(int keyCode, int modifiers) {
  if (controls_.empty() || (modifiers & (Modifier::Ctrl | Modifier::Alt)) != 0) return false;
  ControlCore* const here = focused();
  if (here != nullptr && here->native().listOpen()) {
    if (keyCode == Key::Return) {
      // Pressed once the list has put the chosen entry into the field.
      surface_.post([this, alive = lifetime_.witness()] {
        if (alive) press(true);
      });
    }
    return false;
  }
  switch (keyCode) {
    case Key::Tab:
      return tab((modifiers & Modifier::Shift) == 0);
    case Key::Return:
      if (here != nullptr && here->kind() == ControlKind::Button) {
        here->native().press();
        return true;
      }
      return press(true);
    case Key::Escape:
      return press(false);
    default:
      return false;
  }
}

// Round and round: past the last control the first, before the first the last.
bool DialogKeys::tab(bool forward) {
  const std::vector<ControlCore*> all = stops();
  if (all.empty()) return false;
  const auto here = std::find(all.begin(), all.end(), focused());
  const auto count = static_cast<long>(all.size());
  long next = forward ? 0 : count - 1;
  if (here != all.end()) next = ((here - all.begin()) + (forward ? 1 : count - 1)) % count;
  moveTo(all[static_cast<std::size_t>(next)]);
  return true;
}

bool DialogKeys::press(bool isDefault) {
  const auto found = std::find_if(controls_.begin(), controls_.end(), [&](const ControlCore* c) {
    return isDefault ? c->isDefault() : c->isCancel();
  });
  if (found == controls_.end()) return false;
  (*found)->native().press();
  return true;
}

void DialogKeys::focusFirst() {
  const std::vector<ControlCore*> all = stops();
  if (!all.empty()) moveTo(all.front());
}

void DialogKeys::activated() {
  if (remembered_ != nullptr) remembered_->native().focus();
}

void DialogKeys::deactivated() {
  if (ControlCore* here = focused()) remembered_ = here;
}

}  // namespace platform::engine
