#include "platform/forms/LabelArray.h"

#include <algorithm>
#include <stdexcept>

#include "platform/engine/BoxCore.h"
#include "platform/forms/PictureBox.h"

namespace platform {

namespace {

RectTwips RectOf(const LabelState& label) {
  return {label.left, label.top, label.width, label.height};
}

bool SameRect(const RectTwips& a, const RectTwips& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

[[noreturn]] void NotLoaded(const char* name, int index) {
  throw std::out_of_range(std::string(name) + "(" + std::to_string(index) + ") is not loaded");
}

}  // namespace

const LabelState& LabelArray::Element::s() const {
  if (!array_->IsLoaded(index_)) NotLoaded(array_->name_, index_);
  return array_->slots_[static_cast<std::size_t>(index_)].state;
}

LabelState& LabelArray::Element::change() {
  if (!array_->IsLoaded(index_)) NotLoaded(array_->name_, index_);
  return array_->slots_[static_cast<std::size_t>(index_)].state;
}

// Every setter stores the value and repaints what the label covered and covers, unless the
// label already had it.
#define LABEL_SETTER(Setter, field, Type)    \
  void LabelArray::Element::Setter(Type v) { \
    LabelState& state = change();            \
    if (state.field == v) return;            \
    const RectTwips before = RectOf(state);  \
    state.field = v;                         \
    array_->changed(index_, before);         \
  }

LABEL_SETTER(setLeft, left, Twips)
LABEL_SETTER(setTop, top, Twips)
LABEL_SETTER(setWidth, width, Twips)
LABEL_SETTER(setHeight, height, Twips)
void LabelArray::Element::setCaption(const text::SharedText& v) {
  LabelState& state = change();
  if (state.caption == v) return;
  const RectTwips before = RectOf(state);
  state.caption = v;
  array_->container_.captionChanged(array_, index_);
  array_->changed(index_, before);
}
LABEL_SETTER(setToolTipText, toolTipText, const text::SharedText&)
LABEL_SETTER(setForeColor, foreColor, Color)
LABEL_SETTER(setMousePointer, mousePointer, int)

#undef LABEL_SETTER

void LabelArray::Element::setVisible(bool v) {
  LabelState& state = change();
  if (state.visible == v) return;
  state.visible = v;
  array_->byLeftStale_ = true;
  array_->container_.labelsChanged(RectOf(state));
}

LabelArray::LabelArray(PictureBox& container, const Definition& definition)
    : container_(container),
      name_(definition.name),
      font_(definition.font),
      mouseIcon_(definition.mouseIcon) {
  slots_.push_back(Slot{definition.element0, true});
  count_ = 1;
  container_.attach(this);
}

LabelArray::~LabelArray() { container_.detach(this); }

LabelArray::Element LabelArray::operator()(int index) {
  if (!IsLoaded(index)) NotLoaded(name_, index);
  return Element(*this, index);
}

int LabelArray::Count() const { return count_; }

int LabelArray::UBound() const { return static_cast<int>(slots_.size()) - 1; }

bool LabelArray::IsLoaded(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < slots_.size() &&
         slots_[static_cast<std::size_t>(index)].loaded;
}

void LabelArray::Load(int index) {
  if (index < 0) throw std::invalid_argument("negative label index");
  if (IsLoaded(index)) {
    throw std::invalid_argument(std::string(name_) + "(" + std::to_string(index) +
                                ") is already loaded");
  }
  const auto at = static_cast<std::size_t>(index);
  if (at >= slots_.size()) slots_.resize(at + 1);
  Slot& slot = slots_[at];
  slot.state = slots_[0].state;
  slot.state.visible = false;
  slot.loaded = true;
  container_.captionChanged(this, index);
  ++count_;
}

void LabelArray::Unload(int index) {
  if (index == 0) throw std::invalid_argument(std::string(name_) + "(0) cannot be unloaded");
  if (!IsLoaded(index)) NotLoaded(name_, index);
  Slot& slot = slots_[static_cast<std::size_t>(index)];
  if (slot.state.visible) {
    byLeftStale_ = true;
    container_.labelsChanged(RectOf(slot.state));
  }
  slot = Slot{};
  container_.captionChanged(this, index);
  --count_;
  while (!slots_.back().loaded) slots_.pop_back();
}

void LabelArray::changed(int index, const RectTwips& before) {
  const LabelState& state = slots_[static_cast<std::size_t>(index)].state;
  if (!state.visible) return;
  const RectTwips after = RectOf(state);
  if (before.left != after.left || before.width != after.width) byLeftStale_ = true;
  container_.labelsChanged(before);
  if (!SameRect(before, after)) container_.labelsChanged(after);
}

void LabelArray::sortByLeft() const {
  byLeft_.clear();
  widest_ = 0;
  bool ordered = true;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& slot = slots_[i];
    if (!slot.loaded || !slot.state.visible) continue;
    if (!byLeft_.empty() &&
        slot.state.left < slots_[static_cast<std::size_t>(byLeft_.back())].state.left) {
      ordered = false;
    }
    byLeft_.push_back(static_cast<int>(i));
    widest_ = std::max(widest_, slot.state.width);
  }
  // A row laid out from left to right is already in order: no sort needed.
  if (!ordered) {
    std::stable_sort(byLeft_.begin(), byLeft_.end(), [this](int a, int b) {
      return slots_[static_cast<std::size_t>(a)].state.left <
             slots_[static_cast<std::size_t>(b)].state.left;
    });
  }
  byLeftStale_ = false;
}

int LabelArray::HitTest(Twips x, Twips y) const {
  if (byLeftStale_) sortByLeft();
  const auto stateOf = [this](int i) -> const LabelState& {
    return slots_[static_cast<std::size_t>(i)].state;
  };
  // A label containing x starts at most widest_ before it.
  const double earliest = static_cast<double>(x) - widest_;
  auto it = std::lower_bound(byLeft_.begin(), byLeft_.end(), earliest,
                             [&](int i, double v) { return stateOf(i).left < v; });
  int found = -1;
  for (; it != byLeft_.end() && stateOf(*it).left <= x; ++it) {
    const LabelState& label = stateOf(*it);
    const double right = static_cast<double>(label.left) + label.width;
    const double bottom = static_cast<double>(label.top) + label.height;
    if (x >= label.left && x < right && y >= label.top && y < bottom) found = std::max(found, *it);
  }
  return found;
}

void LabelArray::LabelsBetween(Twips from, Twips to, std::vector<int>& out) const {
  out.clear();
  if (byLeftStale_) sortByLeft();
  const auto stateOf = [this](int i) -> const LabelState& {
    return slots_[static_cast<std::size_t>(i)].state;
  };
  const double earliest = static_cast<double>(from) - widest_;
  auto it = std::lower_bound(byLeft_.begin(), byLeft_.end(), earliest,
                             [&](int i, double v) { return stateOf(i).left < v; });
  for (; it != byLeft_.end() && stateOf(*it).left < to; ++it) {
    const LabelState& label = stateOf(*it);
    if (label.width > 0 && static_cast<double>(label.left) + label.width > from) out.push_back(*it);
  }
  std::sort(out.begin(), out.end());
}

int LabelArray::FocusedIndex() const { return engine::CoreOf(container_).focusedIndex(this); }

}  // namespace platform
