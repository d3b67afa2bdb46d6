// The form engine's surface over Qt Widgets on X11.
#pragma once

#include "platform/engine/Surface.h"

namespace platform {

// The one surface of the run; lives until the program ends.
engine::Surface& TheQtSurface();

}  // namespace platform
