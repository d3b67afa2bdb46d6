// The common controls behind the form engine's native controls: an editable combo box, a push
// button and a static text on a form's window.
#pragma once

#include <memory>

#include "platform/engine/Surface.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class FormWindow;

// The control's window on the form, behind the windows made before it.
std::unique_ptr<engine::NativeControl> MakeNativeControl(
    FormWindow& form, const engine::ControlDefinition& definition, engine::ControlEvents& events);

}  // namespace platform::win32
