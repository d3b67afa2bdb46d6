// Signatures of the event handlers that controls call.
#pragma once

#include <functional>

#include "platform/forms/Units.h"

namespace platform {

using EventHandler = std::function<void()>;
// Button, Shift (modifier keys), X, Y in the receiving control's twips.
using MouseHandler = std::function<void(int Button, int Shift, Twips X, Twips Y)>;
// The same for an element of a control array, with its index first.
using IndexedMouseHandler = std::function<void(int Index, int Button, int Shift, Twips X, Twips Y)>;
// Cancel (non-zero refuses the close) and the close reason.
using QueryUnloadHandler = std::function<void(int& Cancel, int UnloadMode)>;

}  // namespace platform
