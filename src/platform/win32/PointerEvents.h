// Button values and modifier flags of pointer and key events, from a message's key flags or
// the keyboard's state, and the pointer's state as the form engine asks for it.
#pragma once

#include "platform/engine/Surface.h"
#include "platform/forms/Units.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

// The sum of the buttons held: 1 left, 2 right, 4 middle.
inline int ButtonsOf(WPARAM keys) {
  int value = 0;
  if (keys & MK_LBUTTON) value |= vbLeftButton;
  if (keys & MK_RBUTTON) value |= vbRightButton;
  if (keys & MK_MBUTTON) value |= vbMiddleButton;
  return value;
}

// The modifier keys held with a mouse message, as the engine's Modifier flags (Alt is not
// among its key flags).
inline int ModifiersOf(WPARAM keys) {
  using engine::Modifier;
  int value = 0;
  if (keys & MK_SHIFT) value |= Modifier::Shift;
  if (keys & MK_CONTROL) value |= Modifier::Ctrl;
  if (GetKeyState(VK_MENU) < 0) value |= Modifier::Alt;
  return value;
}

// The modifier keys held now, as the keyboard's state says while a message is handled.
inline int ModifiersNow() {
  using engine::Modifier;
  int value = 0;
  if (GetKeyState(VK_SHIFT) < 0) value |= Modifier::Shift;
  if (GetKeyState(VK_CONTROL) < 0) value |= Modifier::Ctrl;
  if (GetKeyState(VK_MENU) < 0) value |= Modifier::Alt;
  return value;
}

// The one button a press or release message names; 0 for any other message.
inline int ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return vbLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return vbRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return vbMiddleButton;
    default:
      return 0;
  }
}

// What a mouse message of the client area is to the form engine: a press (double-click or
// not), a move or a release; false for any other message.
inline bool PointerKindOf(UINT message, engine::FormEvents::Pointer& kind, bool& doubleClick) {
  using Pointer = engine::FormEvents::Pointer;
  doubleClick =
      message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
  if (message == WM_MOUSEMOVE) {
    kind = Pointer::Move;
  } else if (message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP) {
    kind = Pointer::Up;
  } else if (doubleClick || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
             message == WM_MBUTTONDOWN) {
    kind = Pointer::Down;
  } else {
    return false;
  }
  return true;
}

// Keeps the pointer's events with the window, or lets them go when it has them.
inline void CapturePointer(HWND hwnd, bool capture) {
  if (capture) {
    SetCapture(hwnd);
  } else if (GetCapture() == hwnd) {
    ReleaseCapture();
  }
}

// The pointer now, in the window's client pixels; over the window only when no other window,
// ours or another program's, is in front of it there.
inline engine::PointerNow PointerNowOver(HWND hwnd) {
  engine::PointerNow now;
  POINT pt{};
  if (!::GetCursorPos(&pt)) return now;
  now.overThisWindow = ::WindowFromPoint(pt) == hwnd;
  ScreenToClient(hwnd, &pt);
  now.x = pt.x;
  now.y = pt.y;
  if (GetKeyState(VK_LBUTTON) < 0) now.buttons |= vbLeftButton;
  if (GetKeyState(VK_RBUTTON) < 0) now.buttons |= vbRightButton;
  if (GetKeyState(VK_MBUTTON) < 0) now.buttons |= vbMiddleButton;
  now.modifiers = ModifiersNow();
  return now;
}

}  // namespace platform::win32
