#include "platform/qt/StripAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLineEdit>
#include <QPointer>
#include <QWindow>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/engine/Accessibility.h"
#include "platform/engine/BoxCore.h"
#include "platform/forms/LabelArray.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/NativeWidget.h"
#include "platform/qt/PictureBoxWidget.h"

namespace platform {

namespace {

using Key = std::pair<LabelArray*, int>;

QString FromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const engine::AccessibleLabel* Find(const std::vector<engine::AccessibleLabel>& offered,
                                    const Key& key) {
  const auto found = std::find_if(offered.begin(), offered.end(), [&](const auto& label) {
    return label.labels == key.first && label.index == key.second;
  });
  return found == offered.end() ? nullptr : &*found;
}

// One label of a picture box. Labels own no window, so this object has no QObject of its
// own; it reads the label's state at every question, and answers "invalid" once the label
// or its box is gone.
class LabelAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  LabelAccessible(PictureBoxWidget* box, LabelArray* labels, int index)
      : box_(box), key_(labels, index) {}

  const Key& key() const { return key_; }

  bool isValid() const override { return label() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return box_ ? box_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return box_ ? QAccessible::queryAccessibleInterface(box_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text kind) const override {
    const LabelState* label = this->label();
    if (label == nullptr) return {};
    switch (kind) {
      case QAccessible::Name:
        return FromText(label->caption);
      case QAccessible::Description:
        return FromText(label->toolTipText);
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    const LabelState* label = this->label();
    if (label == nullptr) return {};
    const QRect local = ToQRect(box_->core().localRect(*label));
    return QRect(box_->mapToGlobal(local.topLeft()), local.size());
  }

  // A label shows the hand pointer exactly when its item has a link to open.
  QAccessible::Role role() const override {
    const LabelState* label = this->label();
    return label != nullptr && label->mousePointer == vbCustom ? QAccessible::Link
                                                               : QAccessible::StaticText;
  }

  QAccessible::State state() const override {
    QAccessible::State flags;
    const LabelState* label = this->label();
    if (label == nullptr) {
      flags.invalid = true;
      return flags;
    }
    flags.readOnly = true;
    if (label->mousePointer == vbCustom) flags.linked = true;
    const engine::AccessibleLabel* seen = Find(engine::AccessibleLabels(box_->core()), key_);
    if (seen == nullptr || !seen->showing) {
      flags.invisible = true;
      flags.offscreen = true;
    }
    flags.focusable = seen != nullptr && seen->focusable;
    flags.focused = seen != nullptr && seen->focused;
    return flags;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  // QAccessibleActionInterface: the press a left button gives the label.
  QStringList actionNames() const override {
    return isValid() ? QStringList{pressAction()} : QStringList{};
  }
  void doAction(const QString& name) override {
    if (name != pressAction() || !box_) return;
    engine::PressAccessibleLabel(box_->core(), key_.first, key_.second);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  const LabelState* label() const;

  QPointer<PictureBoxWidget> box_;
  Key key_;
};

const LabelState* LabelAccessible::label() const {
  if (!box_) return nullptr;
  const auto& arrays = box_->core().labelArrays();
  if (std::find(arrays.begin(), arrays.end(), key_.first) == arrays.end()) return nullptr;
  if (!key_.first->IsLoaded(key_.second)) return nullptr;
  return &key_.first->elements()[static_cast<std::size_t>(key_.second)].state;
}

// An AT-SPI object event (org.a11y.atspi.Event.Object) of object, sent on the toolkit's own
// connection to the accessibility bus (named "a11y"), so that it comes from the program's
// objects; without that connection there is no reader to tell.
void SendObjectEvent(QAccessibleInterface* object, const QString& member, const QString& detail,
                     int detail1, const QVariant& value) {
  QDBusConnection bus(QStringLiteral("a11y"));
  if (!bus.isConnected()) return;
  const QString prefix = QStringLiteral("/org/a11y/atspi/accessible/");
  QDBusArgument application;
  application.beginStructure();
  application << bus.baseService() << QDBusObjectPath(prefix + QStringLiteral("root"));
  application.endStructure();
  QDBusMessage signal =
      QDBusMessage::createSignal(prefix + QString::number(QAccessible::uniqueId(object)),
                                 QStringLiteral("org.a11y.atspi.Event.Object"), member);
  signal << detail << detail1 << 0 << QVariant::fromValue(QDBusVariant(value))
         << QVariant::fromValue(application);
  bus.send(signal);
}

// WORKAROUND: the toolkit's AT-SPI bridge (Qt 6.4) drops location changes
// (QAccessible::LocationChanged sends nothing): the bounds-changed event goes out here.
void SendBoundsChanged(QAccessibleInterface* object) {
  const QRect r = object->rect();
  QDBusArgument rect;
  rect.beginStructure();
  rect << r.x() << r.y() << r.width() << r.height();
  rect.endStructure();
  SendObjectEvent(object, QStringLiteral("BoundsChanged"), QString(), 0, QVariant::fromValue(rect));
}

// WORKAROUND: the toolkit's AT-SPI bridge (Qt 6.4) tells of a lost focus only when another of
// the program's objects takes it: a focus that leaves for another program is told here.
void SendFocusLost(QAccessibleInterface* object) {
  SendObjectEvent(object, QStringLiteral("StateChanged"), QStringLiteral("focused"), 0,
                  QVariant(0));
}

// A picture box: named by its tooltip; its children are the labels of the engine's model.
class PictureBoxAccessible final : public QAccessibleWidget {
 public:
  explicit PictureBoxAccessible(PictureBoxWidget* box)
      : QAccessibleWidget(
            box, box->core().labelArrays().empty() ? QAccessible::Graphic : QAccessible::Pane),
        box_(box) {}

  ~PictureBoxAccessible() override {
    for (const auto& [key, id] : children_) QAccessible::deleteAccessibleInterface(id);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && box_) return FromText(box_->core().toolTip());
    return QAccessibleWidget::text(kind);
  }

  int childCount() const override { return static_cast<int>(offered().size()); }

  QAccessibleInterface* child(int index) const override {
    const auto labels = offered();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return nullptr;
    const auto& label = labels[static_cast<std::size_t>(index)];
    return interfaceFor({label.labels, label.index});
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto labels = offered();
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const auto found = children_.find({labels[i].labels, labels[i].index});
      if (found != children_.end() && QAccessible::accessibleInterface(found->second) == child) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    for (const auto& label : offered()) {
      QAccessibleInterface* child = interfaceFor({label.labels, label.index});
      if (label.showing && child->rect().contains(x, y)) return child;
    }
    return nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    for (const auto& label : offered()) {
      if (label.focused) return interfaceFor({label.labels, label.index});
    }
    return nullptr;
  }

  // Events for what changed since the reader was last told.
  void tell(engine::NativeBox::AccessibleChange change) {
    if (change == engine::NativeBox::AccessibleChange::Focus) {
      tellFocus();
      return;
    }
    std::vector<engine::AccessibleLabel> now = offered();
    if (change == engine::NativeBox::AccessibleChange::Bounds) {
      for (const auto& label : now) SendBoundsChanged(interfaceFor({label.labels, label.index}));
      return;
    }
    for (const auto& before : told_) {
      const Key key{before.labels, before.index};
      if (Find(now, key) != nullptr) continue;
      QAccessibleInterface* gone = interfaceFor(key);
      // A label unloaded since has no place left to be removed from.
      if (!gone->isValid()) continue;
      QAccessibleEvent event(gone, QAccessible::ObjectDestroyed);
      QAccessible::updateAccessibility(&event);
    }
    for (const auto& label : now) {
      QAccessibleInterface* child = interfaceFor({label.labels, label.index});
      const engine::AccessibleLabel* before = Find(told_, {label.labels, label.index});
      auto send = [child](QAccessible::Event type) {
        QAccessibleEvent event(child, type);
        QAccessible::updateAccessibility(&event);
      };
      if (before == nullptr) {
        send(QAccessible::ObjectCreated);
        continue;
      }
      if (before->showing != label.showing) {
        send(label.showing ? QAccessible::ObjectShow : QAccessible::ObjectHide);
      }
      if (!(before->name == label.name)) send(QAccessible::NameChanged);
      if (!(before->description == label.description)) send(QAccessible::DescriptionChanged);
    }
    told_ = std::move(now);
  }

 private:
  // The focused label gets the focus event (the toolkit's bridge tells a reader that it is
  // focused and the one before is not); a label the focus left for no other says so.
  void tellFocus() {
    QAccessibleInterface* now = focusChild();
    if (focused_ && now == nullptr) {
      QAccessibleInterface* left = interfaceFor(*focused_);
      if (left->isValid()) SendFocusLost(left);
    }
    focused_.reset();
    if (now == nullptr) return;
    const auto* label = static_cast<LabelAccessible*>(now);
    focused_ = label->key();
    QAccessibleEvent event(now, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
  }

  std::vector<engine::AccessibleLabel> offered() const {
    if (!box_) return {};
    return engine::AccessibleLabels(box_->core());
  }

  QAccessibleInterface* interfaceFor(const Key& key) const {
    auto found = children_.find(key);
    if (found == children_.end()) {
      auto* label = new LabelAccessible(box_.data(), key.first, key.second);
      found = children_.emplace(key, QAccessible::registerAccessibleInterface(label)).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }

  QPointer<PictureBoxWidget> box_;
  // One object per label slot, kept while the box lives: a slot shows one label after another
  // as the feed is reloaded, and the object always reads the slot's current state.
  mutable std::map<Key, QAccessible::Id> children_;
  // What the reader was last told of.
  std::vector<engine::AccessibleLabel> told_;
  std::optional<Key> focused_;
};

// WORKAROUND: the toolkit names an editable combo box by its text on Linux and ignores the
// accessible name. The name given to the box (by the label in front of it) is its name here;
// its text is its value, and its line edit stays its child for reading and editing the text.
class ComboBoxAccessible final : public QAccessibleWidget {
 public:
  explicit ComboBoxAccessible(QComboBox* combo)
      : QAccessibleWidget(combo, QAccessible::ComboBox), combo_(combo) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return combo_->currentText();
    if (kind == QAccessible::Name && combo_->accessibleName().isEmpty()) {
      return combo_->currentText();
    }
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State flags = QAccessibleWidget::state();
    flags.editable = combo_->isEditable();
    flags.expandable = true;
    return flags;
  }

  // The list opens as its arrow button opens it.
  QStringList actionNames() const override {
    return QAccessibleWidget::actionNames() << showMenuAction();
  }
  void doAction(const QString& name) override {
    if (name == showMenuAction()) {
      combo_->showPopup();
    } else {
      QAccessibleWidget::doAction(name);
    }
  }

 private:
  QPointer<QComboBox> combo_;
};

}  // namespace

QAccessibleInterface* StripAccessibleFactory(const QString&, QObject* object) {
  // Our windows carry no meta-object of their own: the class name says "QWidget".
  if (auto* box = dynamic_cast<PictureBoxWidget*>(object)) return new PictureBoxAccessible(box);
  if (auto* form = dynamic_cast<FormWidget*>(object); form != nullptr && form->isDialog()) {
    return new QAccessibleWidget(form, QAccessible::Dialog);
  }
  if (auto* combo = qobject_cast<QComboBox*>(object)) return new ComboBoxAccessible(combo);
  return nullptr;
}

void TellReaderOfBox(PictureBoxWidget* box, engine::NativeBox::AccessibleChange change) {
  if (!QAccessible::isActive()) return;
  if (auto* reader =
          dynamic_cast<PictureBoxAccessible*>(QAccessible::queryAccessibleInterface(box))) {
    reader->tell(change);
  }
}

}  // namespace platform
