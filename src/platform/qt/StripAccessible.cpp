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
#include "platform/qt/FormWidget.h"
#include "platform/qt/NativeWidget.h"
#include "platform/qt/PictureBoxWidget.h"

namespace platform {

namespace {

using engine::AccessibleKey;
using engine::AccessibleNode;

QString FromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAccessible::Role RoleOf(engine::AccessibleRole role) {
  switch (role) {
    case engine::AccessibleRole::Graphic:
      return QAccessible::Graphic;
    case engine::AccessibleRole::Pane:
      return QAccessible::Pane;
    case engine::AccessibleRole::Link:
      return QAccessible::Link;
    case engine::AccessibleRole::StaticText:
      break;
  }
  return QAccessible::StaticText;
}

// One label of a picture box. Labels own no window, so this object has no QObject of its
// own; it asks the box's model at every question, and answers "invalid" once the label or its
// box is gone.
class LabelAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  LabelAccessible(PictureBoxWidget* box, const AccessibleKey& key) : box_(box), key_(key) {}

  bool isValid() const override { return node().has_value(); }
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
    const auto node = this->node();
    if (!node) return {};
    if (kind == QAccessible::Name) return FromText(node->name);
    if (kind == QAccessible::Description) return FromText(node->description);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    const auto node = this->node();
    if (!node) return {};
    const QRect local = ToQRect(node->rect);
    return QRect(box_->mapToGlobal(local.topLeft()), local.size());
  }

  QAccessible::Role role() const override {
    const auto node = this->node();
    return node ? RoleOf(node->role) : QAccessible::StaticText;
  }

  QAccessible::State state() const override {
    QAccessible::State flags;
    const auto node = this->node();
    if (!node) {
      flags.invalid = true;
      return flags;
    }
    flags.readOnly = true;
    flags.linked = node->link;
    flags.invisible = flags.offscreen = !node->showing;
    flags.focusable = node->focusable;
    flags.focused = node->focused;
    return flags;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  // QAccessibleActionInterface: a link's jump is the toolkit's press.
  QStringList actionNames() const override {
    const auto node = this->node();
    return node && node->action == engine::AccessibleAction::Jump ? QStringList{pressAction()}
                                                                  : QStringList{};
  }
  QString localizedActionDescription(const QString& name) const override {
    const auto node = this->node();
    return node && name == pressAction() ? FromText(engine::ActionName(node->action)) : QString();
  }
  void doAction(const QString& name) override {
    if (name == pressAction() && box_) box_->reader().act(key_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  std::optional<AccessibleNode> node() const {
    return box_ ? box_->reader().node(key_) : std::nullopt;
  }

  QPointer<PictureBoxWidget> box_;
  AccessibleKey key_;
};

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
      : QAccessibleWidget(box, RoleOf(box->reader().role())), box_(box) {}

  ~PictureBoxAccessible() override {
    for (const auto& [key, id] : children_) QAccessible::deleteAccessibleInterface(id);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && box_) return FromText(box_->reader().name());
    return QAccessibleWidget::text(kind);
  }

  int childCount() const override { return static_cast<int>(nodes().size()); }

  QAccessibleInterface* child(int index) const override {
    const auto nodes = this->nodes();
    if (index < 0 || static_cast<std::size_t>(index) >= nodes.size()) return nullptr;
    return interfaceFor(nodes[static_cast<std::size_t>(index)].key);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto nodes = this->nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const auto found = children_.find(nodes[i].key);
      if (found != children_.end() && QAccessible::accessibleInterface(found->second) == child) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    if (!box_) return nullptr;
    const QPoint at = box_->mapFromGlobal(QPoint(x, y));
    const auto node = box_->reader().nodeAt(at.x(), at.y());
    return node ? interfaceFor(node->key) : nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    for (const auto& node : nodes()) {
      if (node.focused) return interfaceFor(node.key);
    }
    return nullptr;
  }

  // Each change the model tells of, as the toolkit's events and the bus's own.
  void tell(const std::vector<engine::AccessibleEvent>& events) {
    using Kind = engine::AccessibleEvent::Kind;
    const bool focusTaken = std::any_of(events.begin(), events.end(), [](const auto& event) {
      return event.kind == Kind::Focused;
    });
    for (const auto& event : events) {
      QAccessibleInterface* child = interfaceFor(event.key);
      const auto send = [child](QAccessible::Event type) {
        QAccessibleEvent sent(child, type);
        QAccessible::updateAccessibility(&sent);
      };
      switch (event.kind) {
        case Kind::Added:
          send(QAccessible::ObjectCreated);
          break;
        // A label unloaded since has no place left to be removed from.
        case Kind::Removed:
          if (child->isValid()) send(QAccessible::ObjectDestroyed);
          break;
        case Kind::Shown:
          send(QAccessible::ObjectShow);
          break;
        case Kind::Hidden:
          send(QAccessible::ObjectHide);
          break;
        case Kind::Renamed:
          send(QAccessible::NameChanged);
          break;
        case Kind::Redescribed:
          send(QAccessible::DescriptionChanged);
          break;
        case Kind::Moved:
          SendBoundsChanged(child);
          break;
        // The toolkit's bridge tells a reader that the label is focused and the one before is
        // not; a label the focus left for no other says so itself.
        case Kind::Focused:
          send(QAccessible::Focus);
          break;
        case Kind::FocusLost:
          if (!focusTaken && child->isValid()) SendFocusLost(child);
          break;
      }
    }
  }

 private:
  std::vector<AccessibleNode> nodes() const {
    return box_ ? box_->reader().nodes() : std::vector<AccessibleNode>{};
  }

  QAccessibleInterface* interfaceFor(const AccessibleKey& key) const {
    auto found = children_.find(key);
    if (found == children_.end()) {
      auto* label = new LabelAccessible(box_.data(), key);
      found = children_.emplace(key, QAccessible::registerAccessibleInterface(label)).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }

  QPointer<PictureBoxWidget> box_;
  // One object per label slot, kept while the box lives: a slot shows one label after another
  // as the feed is reloaded, and the object always reads the slot's current state.
  mutable std::map<AccessibleKey, QAccessible::Id> children_;
};

// WORKAROUND: the toolkit (Qt 6.4) names an editable combo box by its text on Linux and ignores the
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

void TellReaderOfBox(PictureBoxWidget* box, const std::vector<engine::AccessibleEvent>& events) {
  if (!QAccessible::isActive()) return;
  if (auto* reader =
          dynamic_cast<PictureBoxAccessible*>(QAccessible::queryAccessibleInterface(box))) {
    reader->tell(events);
  }
}

}  // namespace platform
