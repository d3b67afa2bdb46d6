// The toolkit widget behind each control of the form engine, for the Qt back end's own code
// and for tests that drive real widgets. Each returns null once the widget has been destroyed.
#pragma once

class QWidget;

namespace platform {

class ComboBox;
class CommandButton;
class Form;
class FormWidget;
class Label;
class PictureBox;

namespace qt {

// The top-level window of form.
FormWidget* FormWidgetOf(const Form& form);
QWidget* WidgetOf(const Form& form);
// The child window of box (the part of its row that lies inside the form).
QWidget* WidgetOf(const PictureBox& box);
QWidget* WidgetOf(const Label& label);
QWidget* WidgetOf(const ComboBox& combo);
QWidget* WidgetOf(const CommandButton& button);

}  // namespace qt
}  // namespace platform
