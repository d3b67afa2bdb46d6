// The toolkit widgets behind the form engine's native controls: an editable combo box, a push
// button and a plain label on a form's window.
#pragma once

#include <memory>

#include "platform/engine/Surface.h"

class QWidget;

namespace platform {

class FormWidget;

// The control's widget on the form, behind the widgets made before it.
std::unique_ptr<engine::NativeControl> MakeNativeControl(
    FormWidget& form, const engine::ControlDefinition& definition, engine::ControlEvents& events);

// The widget of a control this surface made; null once it has been destroyed.
QWidget* WidgetOfControl(const engine::NativeControl& control);

}  // namespace platform
