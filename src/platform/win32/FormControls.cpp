// The native controls of a form: their identifiers and commands, and the keys of the form's
// windows, which go to the engine first and then to the dialog manager.
#include <algorithm>

#include "platform/win32/FormWindow.h"
#include "platform/win32/PointerEvents.h"

namespace platform::win32 {

int FormWindow::addControl(HWND control, std::function<void(int)> onCommand) {
  const int id = nextControlId_++;
  SetWindowLongPtrW(control, GWLP_ID, id);
  controls_.push_back({control, id, std::move(onCommand)});
  // Later controls lie behind earlier ones.
  SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return id;
}

void FormWindow::removeControl(HWND control) {
  std::erase_if(controls_, [control](const Control& c) { return c.hwnd == control; });
}

// The dialog manager's own commands (IDOK, IDCANCEL) come without a control: the engine has
// already had those keys.
void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) return;
  const int id = LOWORD(wParam);
  for (const Control& control : controls_) {
    if (control.id == id) {
      if (std::function<void(int)> handler = control.onCommand) handler(HIWORD(wParam));
      return;
    }
  }
}

bool FormWindow::dialogMessage(MSG& message) {
  // The form's keys first (the Menu key comes as WM_CONTEXTMENU); then the dialog manager's
  // (access keys, the keys of an open list).
  if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
      message.wParam != VK_APPS) {
    // Bit 30: the key was already down (the window system repeats a held key).
    const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
    if (events_.key(static_cast<int>(message.wParam), ModifiersNow(), repeat)) return true;
  }
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

}  // namespace platform::win32
