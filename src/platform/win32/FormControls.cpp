// The native controls of a form: stacking, tab order, the keyboard's first control, default
// and cancel buttons, commands and the dialog keys.
#include <algorithm>

#include "platform/win32/FormWindow.h"
#include "platform/win32/PointerEvents.h"

namespace platform::win32 {

namespace {

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t found[16] = {};
  return hwnd != nullptr && GetClassNameW(hwnd, found, 16) != 0 && lstrcmpiW(found, name) == 0;
}

// The combo box whose list is open, when the window is it or its field.
bool InOpenList(HWND hwnd) {
  for (HWND w : {hwnd, GetParent(hwnd)}) {
    if (IsClass(w, WC_COMBOBOXW) && SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != FALSE) {
      return true;
    }
  }
  return false;
}

}  // namespace

int FormWindow::addControl(HWND control, int tabIndex, bool takesFocus,
                           std::function<void(int)> onCommand) {
  const int id = nextControlId_++;
  SetWindowLongPtrW(control, GWLP_ID, id);
  controls_.push_back({control, id, tabIndex, takesFocus, false, false, std::move(onCommand)});
  // Later controls lie behind earlier ones; the tab order is the stacking order of the
  // controls that take the focus, by their index.
  SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (takesFocus) {
    HWND after = HWND_TOP;
    for (const Control* stop : tabStops()) {
      SetWindowPos(stop->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = stop->hwnd;
    }
  }
  return id;
}

void FormWindow::removeControl(HWND control) {
  controls_.erase(std::remove_if(controls_.begin(), controls_.end(),
                                 [control](const Control& c) { return c.hwnd == control; }),
                  controls_.end());
  if (lastFocus_ == control) lastFocus_ = nullptr;
}

void FormWindow::setButtonRole(HWND button, bool isDefault, bool isCancel) {
  for (Control& control : controls_) {
    if (control.hwnd == button) {
      control.isDefault = isDefault;
      control.isCancel = isCancel;
    }
  }
}

std::vector<const FormWindow::Control*> FormWindow::tabStops() const {
  std::vector<const Control*> stops;
  for (const Control& control : controls_) {
    if (control.takesFocus) stops.push_back(&control);
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
  return stops;
}

// The focus goes to the first control in the tab order that can take it; a field there has
// its whole text selected, ready to be typed over.
void FormWindow::activate() {
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  for (const Control* stop : tabStops()) {
    if (!IsWindowEnabled(stop->hwnd) || !IsWindowVisible(stop->hwnd)) continue;
    SetFocus(stop->hwnd);
    lastFocus_ = stop->hwnd;
    if (IsClass(stop->hwnd, WC_COMBOBOXW)) {
      SendMessageW(stop->hwnd, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    } else if (IsClass(stop->hwnd, WC_EDITW)) {
      SendMessageW(stop->hwnd, EM_SETSEL, 0, -1);
    }
    break;
  }
}

// The later start that asks lent this process the right to take the foreground
// (AllowSetForegroundWindow); Windows has no startup notification to end.
void FormWindow::takeKeyboard(const std::string&) {
  // Windows may not say which window it was in WM_ACTIVATE when another program had it.
  if (const HWND before = GetForegroundWindow(); IsOtherProgramsWindow(before)) {
    previousActive_ = before;
  }
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

void FormWindow::giveKeyboardBack() {
  if (previousActive_ != nullptr && IsWindow(previousActive_)) SetForegroundWindow(previousActive_);
}

// Enter presses the focused button, else the default one.
int FormWindow::defaultButtonId() const {
  const HWND focus = GetFocus();
  for (const Control& control : controls_) {
    if (control.hwnd == focus && IsClass(focus, WC_BUTTONW)) return control.id;
  }
  for (const Control& control : controls_) {
    if (control.isDefault && IsWindowEnabled(control.hwnd) && IsWindowVisible(control.hwnd)) {
      return control.id;
    }
  }
  return 0;
}

void FormWindow::pressDefaultButton() {
  const int id = defaultButtonId();
  for (const Control& control : controls_) {
    if (control.id == id) {
      SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control.hwnd));
      return;
    }
  }
}

void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0 || id == IDOK || id == IDCANCEL) {
    // The dialog keys: Enter (when no button is the default) and Escape.
    for (const Control& control : controls_) {
      if (id == IDCANCEL && control.isCancel && IsWindowEnabled(control.hwnd) &&
          IsWindowVisible(control.hwnd)) {
        SendMessageW(control.hwnd, BM_CLICK, 0, 0);
        return;
      }
    }
    if (lParam == 0) return;
  }
  for (const Control& control : controls_) {
    if (control.id == id) {
      if (std::function<void(int)> handler = control.onCommand) handler(code);
      return;
    }
  }
}

// Return in an open drop-down list only closes it with the entry chosen; Return in the field
// presses the default button. A person who chose with the keyboard means both.
bool FormWindow::dialogMessage(MSG& message) {
  // The form's own keys first (the Menu key comes as WM_CONTEXTMENU); then the dialog's.
  if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
      message.wParam != VK_APPS) {
    // Bit 30: the key was already down (the window system repeats a held key).
    const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
    if (events_.key(static_cast<int>(message.wParam), ModifiersNow(), repeat)) return true;
  }
  const bool returnInList =
      message.message == WM_KEYDOWN && message.wParam == VK_RETURN && InOpenList(message.hwnd);
  if (!IsDialogMessageW(hwnd_, &message)) return false;
  if (returnInList) PostMessageW(hwnd_, kPressDefault, 0, 0);
  return true;
}

}  // namespace platform::win32
