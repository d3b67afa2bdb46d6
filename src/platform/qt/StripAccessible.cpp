#include "platform/qt/StripAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/LabelArray.h"
#include "platform/engine/BoxCore.h"
#include "platform/qt/NativeWidget.h"
#include "platform/qt/PictureBoxWidget.h"

namespace platform {

namespace {

QString FromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One label of a picture box. Labels own no window, so this object has no QObject of its
// own; it reads the label's state at every question, and answers "invalid" once the label
// or its box is gone.
class LabelAccessible final : public QAccessibleInterface {
 public:
  LabelAccessible(PictureBoxWidget* box, LabelArray* labels, int index)
      : box_(box), labels_(labels), index_(index) {}

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
    if (!box_->rect().intersects(rect().translated(-box_->mapToGlobal(QPoint(0, 0))))) {
      flags.invisible = true;
      flags.offscreen = true;
    }
    return flags;
  }

 private:
  const LabelState* label() const;

  QPointer<PictureBoxWidget> box_;
  LabelArray* labels_;
  int index_;
};

const LabelState* LabelAccessible::label() const {
  if (!box_) return nullptr;
  const auto& arrays = box_->core().labelArrays();
  if (std::find(arrays.begin(), arrays.end(), labels_) == arrays.end()) return nullptr;
  if (!labels_->IsLoaded(index_)) return nullptr;
  return &labels_->elements()[static_cast<std::size_t>(index_)].state;
}

// A picture box: named by its tooltip; its children are the labels that show in it now, in
// the order they stand from left to right.
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

  int childCount() const override { return static_cast<int>(shown().size()); }

  QAccessibleInterface* child(int index) const override {
    const auto labels = shown();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return nullptr;
    return interfaceFor(labels[static_cast<std::size_t>(index)]);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto labels = shown();
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const auto found = children_.find(labels[i]);
      if (found != children_.end() && QAccessible::accessibleInterface(found->second) == child) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    for (const Key& key : shown()) {
      QAccessibleInterface* label = interfaceFor(key);
      if (label->rect().contains(x, y)) return label;
    }
    return nullptr;
  }

 private:
  using Key = std::pair<LabelArray*, int>;

  // The labels with a caption that meet the part of the box shown in its window.
  std::vector<Key> shown() const {
    std::vector<Key> result;
    if (!box_) return result;
    const engine::BoxCore& core = box_->core();
    if (core.visiblePart().empty()) return result;
    const Twips from = engine::ToTwips(core.offsetX(), core.dpi());
    const Twips to = engine::ToTwips(core.offsetX() + core.visiblePart().width, core.dpi());
    std::vector<int> indexes;
    for (LabelArray* labels : core.labelArrays()) {
      labels->LabelsBetween(from, to, indexes);
      for (int index : indexes) {
        if (!labels->elements()[static_cast<std::size_t>(index)].state.caption.empty()) {
          result.emplace_back(labels, index);
        }
      }
      indexes.clear();
    }
    return result;
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
};

}  // namespace

QAccessibleInterface* StripAccessibleFactory(const QString&, QObject* object) {
  // Picture boxes carry no meta-object of their own: the class name says "QWidget".
  if (auto* box = dynamic_cast<PictureBoxWidget*>(object)) return new PictureBoxAccessible(box);
  return nullptr;
}

}  // namespace platform
