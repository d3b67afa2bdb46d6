// The form engine's surface over Qt Widgets on X11.
#pragma once

#include <memory>

#include "platform/engine/Surface.h"

namespace platform {

// A surface for a form engine; it lives as long as the forms made on it.
std::unique_ptr<engine::Surface> MakeQtSurface();

}  // namespace platform
