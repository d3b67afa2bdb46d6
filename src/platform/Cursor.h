// The cursor position and the window under a screen point.
#pragma once

#include "platform/Units.h"

namespace platform {

// Fills pt with the cursor position in screen pixels. Returns false, leaving pt as it was,
// when the position cannot be read.
bool GetCursorPos(PointApi& pt);

// The handle of our form or picture box under the screen point, or of another window
// (a non-zero value that is none of ours), or 0 when no window is there.
WindowHandle WindowFromPoint(PointApi pt);

}  // namespace platform
