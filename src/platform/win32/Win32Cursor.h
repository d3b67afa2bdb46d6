// The pointer and the window under it, with GetCursorPos and WindowFromPoint.
#pragma once

#include "platform/services/Services.h"

namespace platform::win32 {

class Win32Cursor final : public Cursor {
 public:
  using Cursor::Cursor;
  // The pointer's position in screen pixels; false, pt unchanged, when the system says no
  // (another desktop has the input).
  bool GetCursorPos(PointApi& pt) const override;

 private:
  // The HWND under the point as its value: a form's or picture box's equals its hWnd(); 0
  // when no window is there.
  WindowHandle WindowAt(PointApi pt) const override;
};

}  // namespace platform::win32
