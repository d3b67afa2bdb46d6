#include "platform/forms/ComboBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

#include "platform/engine/EngineAccess.h"
#include "platform/forms/Form.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/Twips.h"
#include "platform/qt/Widgets.h"

namespace platform {

struct ComboBox::Impl {
  QPointer<QComboBox> combo;
  bool quiet = false;  // the engine itself is changing the text: no Change
};

// Change follows every change of the text (each edit, code, and a pick from the list, which
// puts the entry into the field before Click); Click follows a pick only.
ComboBox::ComboBox(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  auto* form = qt::FormWidgetOf(parent);
  auto* combo = new QComboBox(form);
  d->combo = combo;
  combo->setObjectName(QString::fromUtf8(definition.name));
  combo->setEditable(true);
  // Typed text is neither added to the list nor completed from it.
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->setGeometry(
      ToPixels(RectTwips{definition.left, definition.top, definition.width, definition.height}));
  form->addControl(combo, definition.tabIndex, true);
  combo->show();
  QObject::connect(combo, &QComboBox::editTextChanged, combo, [this](const QString&) {
    if (d->quiet) return;
    if (EventHandler change = Change) change();
  });
  QObject::connect(combo, &QComboBox::activated, combo, [this](int) {
    if (EventHandler click = Click) click();
  });
}

ComboBox::~ComboBox() {
  if (d->combo) {
    if (auto* form = static_cast<FormWidget*>(d->combo->parentWidget())) {
      form->removeControl(d->combo);
    }
  }
  delete d->combo.data();
}

std::string ComboBox::Text() const { return d->combo->currentText().toStdString(); }

void ComboBox::setText(const std::string& value) {
  const QString text = QString::fromStdString(value);
  if (text == d->combo->currentText()) return;
  d->combo->setEditText(text);
}

void ComboBox::AddItem(const std::string& item) {
  // Adding the first entry would make it the current one and put it into the field.
  const QString text = d->combo->currentText();
  d->quiet = true;
  d->combo->addItem(QString::fromStdString(item));
  d->combo->setCurrentIndex(-1);
  d->combo->setEditText(text);
  d->quiet = false;
}

int ComboBox::ListCount() const { return d->combo->count(); }

std::string ComboBox::List(int index) const {
  if (index < 0 || index >= d->combo->count()) return {};
  return d->combo->itemText(index).toStdString();
}

QWidget* qt::WidgetOf(const ComboBox& combo) { return EngineAccess::Impl(combo).combo.data(); }

}  // namespace platform
