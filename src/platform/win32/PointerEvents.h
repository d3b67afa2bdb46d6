// Button and Shift values of pointer events, from a mouse message's key flags.
#pragma once

#include "platform/Units.h"
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

// 1 Shift, 2 Ctrl, 4 Alt.
inline int ShiftOf(WPARAM keys) {
  int value = 0;
  if (keys & MK_SHIFT) value |= 1;
  if (keys & MK_CONTROL) value |= 2;
  if (GetKeyState(VK_MENU) < 0) value |= 4;
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

}  // namespace platform::win32
