#include "platform/win32/Win32.h"

namespace platform::win32 {

unsigned DpiOf(HWND hwnd) {
  unsigned dpi = hwnd != nullptr ? GetDpiForWindow(hwnd) : 0;
  if (dpi == 0) dpi = GetDpiForSystem();
  return dpi == 0 ? 96 : dpi;
}

COLORREF ColorRefOf(Color value) {
  if ((value & 0x80000000u) != 0) {
    const int index = static_cast<int>(value & 0x00FFFFFFu);
    if (index > COLOR_MENUBAR) return 0;
    return GetSysColor(index);
  }
  return static_cast<COLORREF>(value & 0x00FFFFFFu);
}

}  // namespace platform::win32
