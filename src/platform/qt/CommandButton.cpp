#include "platform/forms/CommandButton.h"

#include <QPointer>
#include <QPushButton>

#include "platform/engine/EngineAccess.h"
#include "platform/forms/Form.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/Twips.h"
#include "platform/qt/Widgets.h"

namespace platform {

struct CommandButton::Impl {
  QPointer<QPushButton> button;
  std::string caption;
  bool isDefault = false;
  bool isCancel = false;
};

CommandButton::CommandButton(Form& parent, const Definition& definition)
    : d(std::make_unique<Impl>()) {
  auto* form = qt::FormWidgetOf(parent);
  d->caption = definition.caption;
  d->isDefault = definition.isDefault;
  d->isCancel = definition.isCancel;
  auto* button = new QPushButton(QString::fromStdString(definition.caption), form);
  d->button = button;
  button->setObjectName(QString::fromUtf8(definition.name));
  button->setGeometry(
      ToPixels(RectTwips{definition.left, definition.top, definition.width, definition.height}));
  // The form presses the default and cancel buttons itself; only the default one looks it.
  button->setAutoDefault(false);
  button->setDefault(definition.isDefault);
  form->addControl(button, definition.tabIndex, true);
  form->addButton(button, definition.isDefault, definition.isCancel);
  button->show();
  QObject::connect(button, &QPushButton::clicked, button, [this] {
    if (EventHandler click = Click) click();
  });
}

CommandButton::~CommandButton() {
  if (d->button) {
    if (auto* form = static_cast<FormWidget*>(d->button->parentWidget())) {
      form->removeControl(d->button);
      form->removeButton(d->button);
    }
  }
  delete d->button.data();
}

std::string CommandButton::Caption() const { return d->caption; }
bool CommandButton::Default() const { return d->isDefault; }
bool CommandButton::Cancel() const { return d->isCancel; }

QWidget* qt::WidgetOf(const CommandButton& button) {
  return EngineAccess::Impl(button).button.data();
}

}  // namespace platform
