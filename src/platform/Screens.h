// The screens' areas, for placing a window where the user can see it.
#pragma once

#include <vector>

#include "platform/Units.h"

namespace platform {

// The full area of every screen, in screen twips; empty when the system reports no screen.
std::vector<RectTwips> ScreenAreas();
// The available area (without panels) of the primary screen, in screen twips; all 0 when
// there is no screen.
RectTwips PrimaryWorkArea();

}  // namespace platform
