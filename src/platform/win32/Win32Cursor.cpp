#include "platform/win32/Win32Cursor.h"

#include <windows.h>

namespace platform::win32 {

bool Win32Cursor::GetCursorPos(PointApi& pt) const {
  POINT point{};
  if (!::GetCursorPos(&point)) return false;
  pt.x = point.x;
  pt.y = point.y;
  return true;
}

WindowHandle Win32Cursor::WindowAt(PointApi pt) const {
  return reinterpret_cast<WindowHandle>(::WindowFromPoint(POINT{pt.x, pt.y}));
}

}  // namespace platform::win32
