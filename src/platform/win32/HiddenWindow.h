// The program's windows that are never shown, kept to hear messages: a class of its own for
// each, registered at the first window, and the owner object the window procedure finds in the
// window's user data from WM_NCCREATE on.
#pragma once

#include "platform/win32/Win32.h"

namespace platform::win32 {

// Message-only windows hear what is sent or posted to them and are found by FindWindowExW
// with HWND_MESSAGE; only top-level windows hear broadcasts such as the session's end, and
// those are tool windows, never on the taskbar.
enum class HiddenKind { MessageOnly, TopLevel };

// A window of className, titled title, whose procedure is procedure; owner goes into its user
// data. nullptr when the system makes none.
HWND CreateHiddenWindow(HiddenKind kind, const wchar_t* className, WNDPROC procedure, void* owner,
                        const wchar_t* title = L"");

// Takes the owner out of the window's user data, so that no message reaches it any more, and
// destroys the window; hwnd becomes nullptr.
void DestroyHiddenWindow(HWND& hwnd);

// The owner that CreateHiddenWindow put into the window, for its procedure; nullptr before
// WM_NCCREATE and after DestroyHiddenWindow.
template <class Owner>
Owner* HiddenWindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace platform::win32
