#include "platform/qt/NativeControls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "platform/qt/FormWidget.h"

namespace platform {

namespace {

// What every control's widget does; a kind of control does more where it has more.
class ControlWidget : public engine::NativeControl {
 public:
  explicit ControlWidget(QWidget* widget) : widget_(widget) {}
  ~ControlWidget() override { delete widget_.data(); }
  QWidget* widget() const { return widget_.data(); }

  void focus() override { widget_->setFocus(Qt::ActiveWindowFocusReason); }
  // The window's focus widget stays while the window is not the active one; a combo box's
  // field is a widget of its own.
  bool focused() const override {
    const QWidget* focus = widget_ ? widget_->window()->focusWidget() : nullptr;
    return focus != nullptr && (focus == widget_ || widget_->isAncestorOf(focus));
  }
  std::string text() const override { return {}; }

 protected:
  QPointer<QWidget> widget_;
};

class FieldWidget final : public ControlWidget {
 public:
  FieldWidget(QComboBox* combo, engine::ControlEvents& events) : ControlWidget(combo) {
    combo->setEditable(true);
    // Typed text is neither added to the list nor completed from it.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    QObject::connect(combo, &QComboBox::editTextChanged, combo,
                     [&events](const QString&) { events.edited(); });
    QObject::connect(combo, &QComboBox::activated, combo,
                     [&events](int index) { events.picked(index); });
  }

  void selectAll() override {
    if (combo()->lineEdit() != nullptr) combo()->lineEdit()->selectAll();
  }
  std::string text() const override { return combo()->currentText().toStdString(); }
  void setText(const std::string& text) override {
    combo()->setEditText(QString::fromStdString(text));
  }
  void addItem(const std::string& item) override {
    // Adding the first entry would make it the current one and put it into the field.
    const QString text = combo()->currentText();
    combo()->addItem(QString::fromStdString(item));
    combo()->setCurrentIndex(-1);
    combo()->setEditText(text);
  }
  int itemCount() const override { return combo()->count(); }
  std::string item(int index) const override { return combo()->itemText(index).toStdString(); }
  bool listOpen() const override { return combo()->view()->isVisible(); }

 private:
  QComboBox* combo() const { return static_cast<QComboBox*>(widget_.data()); }
};

class ButtonWidget final : public ControlWidget {
 public:
  ButtonWidget(QPushButton* button, bool isDefault, engine::ControlEvents& events)
      : ControlWidget(button) {
    // The engine presses the default button itself; only that one looks it.
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    QObject::connect(button, &QPushButton::clicked, button, [&events] { events.pressed(); });
  }

  void press() override { static_cast<QPushButton*>(widget_.data())->click(); }
  std::string text() const override {
    return static_cast<QPushButton*>(widget_.data())->text().toStdString();
  }
};

class LabelWidget final : public ControlWidget {
 public:
  explicit LabelWidget(QLabel* label) : ControlWidget(label) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
  }

  std::string text() const override {
    return static_cast<QLabel*>(widget_.data())->text().toStdString();
  }
  void labels(engine::NativeControl& control, const std::string& name) override {
    QWidget* target = WidgetOfControl(control);
    if (target == nullptr || !widget_) return;
    static_cast<QLabel*>(widget_.data())->setBuddy(target);
    target->setAccessibleName(QString::fromStdString(name));
  }
};

}  // namespace

std::unique_ptr<engine::NativeControl> MakeNativeControl(
    FormWidget& form, const engine::ControlDefinition& definition, engine::ControlEvents& events) {
  const QString caption = QString::fromStdString(definition.caption);
  std::unique_ptr<ControlWidget> made;
  switch (definition.kind) {
    case engine::ControlKind::Field:
      made = std::make_unique<FieldWidget>(new QComboBox(&form), events);
      break;
    case engine::ControlKind::Button:
      made = std::make_unique<ButtonWidget>(new QPushButton(caption, &form), definition.isDefault,
                                            events);
      break;
    case engine::ControlKind::Label:
      made = std::make_unique<LabelWidget>(new QLabel(caption, &form));
      break;
  }
  QWidget* widget = made->widget();
  widget->setObjectName(QString::fromUtf8(definition.name));
  widget->setGeometry(ToQRect(definition.area));
  form.addControl(widget);
  widget->show();
  return made;
}

QWidget* WidgetOfControl(const engine::NativeControl& control) {
  return static_cast<const ControlWidget&>(control).widget();
}

}  // namespace platform
