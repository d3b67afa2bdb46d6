#include "platform/forms/Label.h"

#include <QLabel>
#include <QPointer>

#include "platform/engine/EngineAccess.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Form.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/Twips.h"
#include "platform/qt/Widgets.h"

namespace platform {

struct Label::Impl {
  QPointer<QLabel> label;
  std::string caption;
};

Label::Label(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  auto* form = qt::FormWidgetOf(parent);
  d->caption = definition.caption;
  d->label = new QLabel(QString::fromStdString(definition.caption), form);
  d->label->setObjectName(QString::fromUtf8(definition.name));
  d->label->setTextFormat(Qt::PlainText);
  d->label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  d->label->setGeometry(
      ToPixels(RectTwips{definition.left, definition.top, definition.width, definition.height}));
  form->addControl(d->label, definition.tabIndex, false);
  d->label->show();
}

Label::~Label() { delete d->label.data(); }

std::string Label::Caption() const { return d->caption; }

QWidget* qt::WidgetOf(const Label& label) { return EngineAccess::Impl(label).label.data(); }

void Label::Names(ComboBox& combo) {
  QWidget* control = qt::WidgetOf(combo);
  if (control == nullptr || !d->label) return;
  d->label->setBuddy(control);
  QString name = QString::fromStdString(d->caption).remove(QLatin1Char('&')).trimmed();
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  control->setAccessibleName(name.trimmed());
}

}  // namespace platform
