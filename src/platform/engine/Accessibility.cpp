#include "platform/engine/Accessibility.h"

#include <algorithm>

#include "platform/engine/BoxCore.h"
#include "platform/engine/FormCore.h"

namespace platform::engine {

namespace {

// True when the part of rect (form pixels) that is in the box's window lies wholly under one
// box in front of it.
bool Covered(const BoxCore& box, const Pixels& inWindow) {
  for (const BoxCore* front : box.form().boxes()) {
    if (front == &box) break;
    if (front->visiblePart().intersected(inWindow) == inWindow) return true;
  }
  return false;
}

bool SameLabels(const std::vector<AccessibleLabel>& a, const std::vector<AccessibleLabel>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.labels == y.labels && x.index == y.index && x.showing == y.showing &&
           x.link == y.link && x.name == y.name && x.description == y.description;
  });
}

bool SameRects(const std::vector<AccessibleLabel>& a, const std::vector<AccessibleLabel>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const auto& x, const auto& y) { return x.rect == y.rect; });
}

}  // namespace

std::vector<AccessibleLabel> AccessibleLabels(const BoxCore& box) {
  std::vector<AccessibleLabel> result;
  const Pixels window = box.visiblePart();
  if (window.empty()) return result;
  const unsigned d = box.dpi();
  // The box's pixel (0, 0) in the form's client pixels.
  const int originX = window.left - box.offsetX();
  const int originY = window.top - box.offsetY();
  const Pixels whole{originX, originY, std::max(0, ToPixels(box.area().width, d)),
                     std::max(0, ToPixels(box.area().height, d))};
  const Pixels inForm = whole.intersected(box.form().clientPixels());
  if (inForm.empty()) return result;
  const Twips from = ToTwips(inForm.left - originX, d);
  const Twips to = ToTwips(inForm.right() - originX, d);
  std::vector<int> indexes;
  for (LabelArray* labels : box.labelArrays()) {
    labels->LabelsBetween(from, to, indexes);
    for (const int index : indexes) {
      const LabelState& label = labels->elements()[static_cast<std::size_t>(index)].state;
      if (label.caption.empty()) continue;
      const Pixels rect = box.localRect(label);
      const Pixels inWindow = rect.translated(window.left, window.top).intersected(window);
      const bool showing = !inWindow.empty() && !Covered(box, inWindow);
      result.push_back({labels, index, label.caption, label.toolTipText,
                        label.mousePointer == vbCustom, rect, showing, showing,
                        labels->FocusedIndex() == index});
    }
    indexes.clear();
  }
  return result;
}

void TellFocusChanged(BoxCore& box) {
  NativeBox* native = box.nativeIfAny();
  if (native != nullptr && native->readerAttached()) {
    native->accessibleChanged(NativeBox::AccessibleChange::Focus);
  }
}

bool PressAccessibleLabel(BoxCore& box, LabelArray* labels, int index) {
  const std::vector<AccessibleLabel> offered = AccessibleLabels(box);
  const bool found = std::any_of(offered.begin(), offered.end(), [&](const AccessibleLabel& l) {
    return l.labels == labels && l.index == index;
  });
  return found && box.clickLabel(labels, index);
}

AccessibleChanges::~AccessibleChanges() = default;

void AccessibleChanges::note() {
  pending_ = true;
  if (running_) return;
  NativeBox* native = box_.nativeIfAny();
  if (native == nullptr || !native->readerAttached()) return;
  if (!timer_) timer_ = TheSurface().makeTimer([this] { tick(); });
  running_ = true;
  timer_->start(kAccessibleChangeInterval);
}

void AccessibleChanges::tick() {
  NativeBox* native = box_.nativeIfAny();
  if (!pending_ || native == nullptr || !native->readerAttached()) {
    running_ = false;
    timer_->stop();
    return;
  }
  pending_ = false;
  std::vector<AccessibleLabel> now = AccessibleLabels(box_);
  const bool children = !SameLabels(now, told_);
  const bool bounds = !SameRects(now, told_);
  told_ = std::move(now);
  if (children) native->accessibleChanged(NativeBox::AccessibleChange::Children);
  if (bounds) native->accessibleChanged(NativeBox::AccessibleChange::Bounds);
}

}  // namespace platform::engine
