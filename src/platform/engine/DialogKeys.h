// The keyboard on a form with native controls, as on a dialog: Tab and Shift+Tab go round the
// controls by their tab index, a field taking the focus so with its whole text selected; Return
// presses the focused button, else the default one, and Escape the cancel one. A form that
// shows puts the focus on its first control, and made active again gives it back to the
// control that had it. While a field's list is open the keys are the list's: Return, which
// closes it with the entry chosen, then presses the default button as well.
#pragma once

#include <vector>

#include "platform/engine/Lifetime.h"

namespace platform::engine {

class ControlCore;
class FormCore;
class Surface;

class DialogKeys {
 public:
  explicit DialogKeys(Surface& surface) : surface_(surface) {}
  ~DialogKeys() { lifetime_.end(); }
  DialogKeys(const DialogKeys&) = delete;
  DialogKeys& operator=(const DialogKeys&) = delete;

  void add(ControlCore* control);
  void remove(ControlCore* control);
  // A key of the form's window (Key codes, Modifier flags); true when it was used. With Ctrl or
  // Alt a key is the window system's (access keys, opening a list).
  bool key(int keyCode, int modifiers);
  // The first control in the tab order takes the focus; nothing when there is none.
  void focusFirst();
  // The form's window became the active one, or stopped being it.
  void activated();
  void deactivated();

 private:
  std::vector<ControlCore*> stops() const;
  ControlCore* focused() const;
  void moveTo(ControlCore* control);
  bool tab(bool forward);
  bool press(bool isDefault);

  std::vector<ControlCore*> controls_;
  ControlCore* remembered_ = nullptr;  // had the focus when the window was last active
  Surface& surface_;
  Lifetime lifetime_;
};

}  // namespace platform::engine
