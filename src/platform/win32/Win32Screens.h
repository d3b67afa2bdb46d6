// The monitors' areas with EnumDisplayMonitors and GetMonitorInfoW, in twips from each
// monitor's own DPI.
#pragma once

#include <vector>

#include "platform/services/Services.h"

namespace platform::win32 {

class Win32Screens final : public Screens {
 public:
  // Every monitor's full area; empty when the system lists none.
  std::vector<RectTwips> ScreenAreas() const override;
  // The primary monitor's work area (without the taskbar); all zero when it cannot be read.
  RectTwips PrimaryWorkArea() const override;
};

// Pixels of a monitor with dpi dots per inch as twips (1440 to the inch; 15 to a pixel at 96).
RectTwips PixelsToTwips(long left, long top, long right, long bottom, unsigned dpi);

}  // namespace platform::win32
