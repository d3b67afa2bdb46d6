#include "platform/win32/Win32Cursor.h"

#include "platform/win32/FormWindow.h"

#include <windows.h>

namespace platform::win32 {

bool Win32Cursor::GetCursorPos(PointApi& pt) const {
  POINT point{};
  if (!::GetCursorPos(&point)) return false;
  pt.x = point.x;
  pt.y = point.y;
  return true;
}

// WORKAROUND: where the system's pointer position is stale (Wine 8 under XWayland 22.1 keeps the
// last one it saw over an X window), a window of ours that the pointer was seen leaving is not
// under it.
WindowHandle Win32Cursor::WindowFromPoint(PointApi pt) const {
  HWND window = ::WindowFromPoint(POINT{pt.x, pt.y});
  DWORD process = 0;
  if (window != nullptr && GetWindowThreadProcessId(window, &process) != 0 &&
      process == GetCurrentProcessId() &&
      SendMessageW(window, PointerKnownOutsideMessage(), 0, 0) != 0) {
    return 0;
  }
  return reinterpret_cast<WindowHandle>(window);
}

}  // namespace platform::win32
