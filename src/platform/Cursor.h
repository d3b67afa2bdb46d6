// The cursor position and the window under a screen point.
#pragma once

#include "platform/Units.h"

namespace platform {

// Fills pt with the cursor position in screen pixels. Returns false, leaving pt as it was,
// when the position cannot be read (no screen).
bool GetCursorPos(PointApi& pt);

// The handle (hWnd) of our form or picture box under the screen point, a label counting as
// its picture box; another non-zero value for any other control of ours; 0 when none of our
// windows is there (the desktop and other programs' windows alike) or no screen is there.
WindowHandle WindowFromPoint(PointApi pt);

}  // namespace platform
