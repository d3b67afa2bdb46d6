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

// The part of the box's own pixels that lies inside the form, in twips of the box; nothing
// when none does.
std::optional<std::pair<Twips, Twips>> InForm(const BoxCore& box) {
  const Pixels window = box.visiblePart();
  if (window.empty()) return std::nullopt;
  const unsigned d = box.dpi();
  // The box's pixel (0, 0) in the form's client pixels.
  const int originX = window.left - box.offsetX();
  const int originY = window.top - box.offsetY();
  const Pixels whole{originX, originY, std::max(0, ToPixels(box.area().width, d)),
                     std::max(0, ToPixels(box.area().height, d))};
  const Pixels inForm = whole.intersected(box.form().clientPixels());
  if (inForm.empty()) return std::nullopt;
  return std::pair{ToTwips(inForm.left - originX, d), ToTwips(inForm.right() - originX, d)};
}

AccessibleNode Describe(const BoxCore& box, const LabelArray& labels, int index, bool offered) {
  const LabelState& label = labels.elements()[static_cast<std::size_t>(index)].state;
  AccessibleNode node;
  node.key = {&labels, index};
  node.link = label.mousePointer == vbCustom;
  node.role = node.link ? AccessibleRole::Link : AccessibleRole::StaticText;
  node.action = node.link ? AccessibleAction::Jump : AccessibleAction::None;
  node.name = label.caption;
  node.description = label.toolTipText;
  node.rect = box.localRect(label);
  const Pixels window = box.visiblePart();
  const Pixels inWindow = node.rect.translated(window.left, window.top).intersected(window);
  node.showing = offered && !inWindow.empty() && !Covered(box, inWindow);
  node.focusable = node.showing;
  node.focused = node.focusable && labels.FocusedIndex() == index;
  return node;
}

const AccessibleNode* Find(const std::vector<AccessibleNode>& nodes, const AccessibleKey& key) {
  const auto found = std::find_if(nodes.begin(), nodes.end(),
                                  [&](const AccessibleNode& node) { return node.key == key; });
  return found == nodes.end() ? nullptr : &*found;
}

}  // namespace

std::string_view ActionName(AccessibleAction action) {
  return action == AccessibleAction::Jump ? "Jump" : "";
}

std::vector<AccessibleEvent> AccessibleEvents(const std::vector<AccessibleNode>& before,
                                              const std::vector<AccessibleNode>& now) {
  using Kind = AccessibleEvent::Kind;
  std::vector<AccessibleEvent> events;
  for (const AccessibleNode& gone : before) {
    if (Find(now, gone.key) == nullptr) events.push_back({Kind::Removed, gone.key});
  }
  for (const AccessibleNode& node : now) {
    const AccessibleNode* was = Find(before, node.key);
    if (was == nullptr) {
      events.push_back({Kind::Added, node.key});
      continue;
    }
    if (was->showing != node.showing) {
      events.push_back({node.showing ? Kind::Shown : Kind::Hidden, node.key});
    }
    if (!(was->name == node.name)) events.push_back({Kind::Renamed, node.key});
    if (!(was->description == node.description)) events.push_back({Kind::Redescribed, node.key});
    if (node.showing && !(was->rect == node.rect)) events.push_back({Kind::Moved, node.key});
  }
  const auto focusedIn = [](const std::vector<AccessibleNode>& nodes) {
    const auto found = std::find_if(nodes.begin(), nodes.end(),
                                    [](const AccessibleNode& node) { return node.focused; });
    return found == nodes.end() ? std::optional<AccessibleKey>() : found->key;
  };
  const std::optional<AccessibleKey> left = focusedIn(before);
  const std::optional<AccessibleKey> came = focusedIn(now);
  if (left != came) {
    if (left) events.push_back({Kind::FocusLost, *left});
    if (came) events.push_back({Kind::Focused, *came});
  }
  return events;
}

AccessibleModel::AccessibleModel(BoxCore& box) : box_(box) {}

AccessibleModel::~AccessibleModel() { lifetime_.end(); }

AccessibleRole AccessibleModel::role() const {
  return box_.labelArrays().empty() ? AccessibleRole::Graphic : AccessibleRole::Pane;
}

const std::string& AccessibleModel::name() const { return box_.toolTip(); }

std::vector<AccessibleNode> AccessibleModel::nodes() const {
  std::vector<AccessibleNode> result;
  const auto span = InForm(box_);
  if (!span) return result;
  std::vector<int> indexes;
  for (const LabelArray* labels : box_.labelArrays()) {
    labels->LabelsBetween(span->first, span->second, indexes);
    for (const int index : indexes) {
      if (labels->elements()[static_cast<std::size_t>(index)].state.caption.empty()) continue;
      result.push_back(Describe(box_, *labels, index, true));
    }
    indexes.clear();
  }
  return result;
}

std::optional<AccessibleNode> AccessibleModel::node(const AccessibleKey& key) const {
  const auto& arrays = box_.labelArrays();
  if (std::find(arrays.begin(), arrays.end(), key.labels) == arrays.end() ||
      !key.labels->IsLoaded(key.index)) {
    return std::nullopt;
  }
  if (const auto offered = nodes(); const AccessibleNode* found = Find(offered, key)) {
    return *found;
  }
  return Describe(box_, *key.labels, key.index, false);
}

std::optional<AccessibleNode> AccessibleModel::nodeAt(int x, int y) const {
  if (!inWindow(x, y)) return std::nullopt;
  for (const AccessibleNode& node : nodes()) {
    const Pixels& r = node.rect;
    if (node.showing && x >= r.left && x < r.right() && y >= r.top && y < r.bottom()) return node;
  }
  return std::nullopt;
}

bool AccessibleModel::inWindow(int x, int y) const {
  const Pixels& window = box_.visiblePart();
  return x >= 0 && y >= 0 && x < window.width && y < window.height;
}

bool AccessibleModel::act(const AccessibleKey& key) {
  const auto offered = nodes();
  const AccessibleNode* node = Find(offered, key);
  if (node == nullptr || node->action == AccessibleAction::None) return false;
  const auto& arrays = box_.labelArrays();
  LabelArray* labels = *std::find(arrays.begin(), arrays.end(), key.labels);
  // Queued: the reader does not wait while the link opens, and the press never runs inside
  // another of the program's handlers.
  box_.surface().post([this, alive = lifetime_.witness(), labels, index = key.index] {
    if (alive) box_.clickLabel(labels, index);
  });
  return true;
}

void AccessibleModel::noteChange() {
  pending_ = true;
  if (running_) return;
  NativeBox* native = box_.nativeIfAny();
  if (native == nullptr || !native->readerAttached()) {
    // Nobody was told: a reader that comes later hears of every label as new.
    told_.clear();
    return;
  }
  if (!timer_) timer_ = box_.surface().makeTimer([this] { tick(); });
  running_ = true;
  timer_->start(kAccessibleChangeInterval);
}

void AccessibleModel::noteFocus() {
  NativeBox* native = box_.nativeIfAny();
  if (native != nullptr && native->readerAttached()) report();
}

void AccessibleModel::tick() {
  NativeBox* native = box_.nativeIfAny();
  if (!pending_ || native == nullptr || !native->readerAttached()) {
    running_ = false;
    timer_->stop();
    return;
  }
  report();
}

void AccessibleModel::report() {
  pending_ = false;
  std::vector<AccessibleNode> now = nodes();
  const std::vector<AccessibleEvent> events = AccessibleEvents(told_, now);
  told_ = std::move(now);
  if (!events.empty()) box_.native().accessibleChanged(events);
}

}  // namespace platform::engine
