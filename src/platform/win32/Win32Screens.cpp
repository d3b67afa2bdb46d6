#include "platform/win32/Win32Screens.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellscalingapi.h>

namespace platform::win32 {
namespace {

constexpr unsigned kDefaultDpi = 96;

unsigned DpiOf(HMONITOR monitor) {
  UINT dpiX = 0;
  UINT dpiY = 0;
  if (::GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY) != S_OK || dpiX == 0) {
    return kDefaultDpi;
  }
  return dpiX;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<RectTwips>*>(data)->push_back(
        PixelsToTwips(r.left, r.top, r.right, r.bottom, DpiOf(monitor)));
  }
  return TRUE;
}

}  // namespace

RectTwips PixelsToTwips(long left, long top, long right, long bottom, unsigned dpi) {
  if (dpi == 0) dpi = kDefaultDpi;
  return RectTwips{ToTwips(static_cast<double>(left), dpi), ToTwips(static_cast<double>(top), dpi),
                   ToTwips(static_cast<double>(right - left), dpi),
                   ToTwips(static_cast<double>(bottom - top), dpi)};
}

std::vector<RectTwips> Win32Screens::ScreenAreas() const {
  std::vector<RectTwips> areas;
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

RectTwips Win32Screens::PrimaryWorkArea() const {
  const HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (primary == nullptr || !::GetMonitorInfoW(primary, &info)) return {};
  const RECT& r = info.rcWork;
  return PixelsToTwips(r.left, r.top, r.right, r.bottom, DpiOf(primary));
}

}  // namespace platform::win32
