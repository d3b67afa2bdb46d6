#include "platform/qt/Widgets.h"

#include "platform/engine/BoxCore.h"
#include "platform/engine/ControlCore.h"
#include "platform/engine/FormCore.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/NativeControls.h"
#include "platform/qt/PictureBoxWidget.h"

namespace platform {

// The engine's windows here are all made by the Qt surface.
FormWidget* qt::FormWidgetOf(const Form& form) {
  return static_cast<FormWidget*>(&engine::CoreOf(form).native());
}

QWidget* qt::WidgetOf(const Form& form) { return FormWidgetOf(form); }

QWidget* qt::WidgetOf(const PictureBox& box) {
  return static_cast<PictureBoxWidget*>(engine::CoreOf(box).nativeIfAny());
}

QWidget* qt::WidgetOf(const Label& label) {
  return WidgetOfControl(engine::CoreOf(label).native());
}

QWidget* qt::WidgetOf(const ComboBox& combo) {
  return WidgetOfControl(engine::CoreOf(combo).native());
}

QWidget* qt::WidgetOf(const CommandButton& button) {
  return WidgetOfControl(engine::CoreOf(button).native());
}

}  // namespace platform
