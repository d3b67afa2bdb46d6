#include "platform/engine/BoxCore.h"

#include <algorithm>

#include "platform/engine/Engine.h"
#include "platform/engine/FormCore.h"
#include "platform/engine/ToolTipText.h"

namespace platform::engine {

namespace {

// Pieces of a long caption are drawn this far, in pixels, beyond the dirty columns: glyphs may
// reach beyond their advance.
constexpr int kSliceMargin = 64;

}  // namespace

BoxCore::BoxCore(FormCore& form, PictureBox& owner, const PictureBox::Definition& definition)
    : form_(form),
      owner_(owner),
      name_(definition.name),
      area_{definition.left, definition.top, definition.width, definition.height},
      backColor_(definition.backColor),
      foreColor_(definition.foreColor),
      picture_(definition.picture),
      toolTip_(definition.toolTipText),
      font_(definition.font),
      native_(form.engine().surface().makeBox(form.native(), definition.name, *this, reader_)) {
  form_.addBox(this);
}

Surface& BoxCore::surface() const { return form_.engine().surface(); }

BoxCore::~BoxCore() {
  lifetime_.end();
  if (formGone_) return;
  form_.keyboardFocus().boxGone(this);
  form_.removeBox(this);
}

namespace {

// Where a box's window was once its form has gone before it: the box is left with its values
// and nothing to show them on.
class NoWindow final : public NativeBox {
 public:
  WindowHandle handle() const override { return 0; }
  unsigned dpi() const override { return 96; }
  void invalidate(const Pixels&) override {}
  void setPointerShape(const StdPicture*) override {}
  void setToolTip(const std::string&, const Pixels&) override {}
  void capturePointer(bool) override {}
  PointerNow pointerNow() const override { return {}; }
  void place(const Pixels&) override {}
  void scroll(int, int) override {}
  bool readerAttached() const override { return false; }
  void accessibleChanged(const std::vector<AccessibleEvent>&) override {}
};

}  // namespace

void BoxCore::formGone() {
  formGone_ = true;
  visiblePart_ = {};
  native_ = std::make_unique<NoWindow>();
}

unsigned BoxCore::dpi() const { return formGone_ ? native_->dpi() : form_.dpi(); }

const MeasuringFont& BoxCore::measuringFont() const { return surface().font(font_, dpi()); }

void BoxCore::setArea(const RectTwips& area) {
  const bool moved = area.left != area_.left || area.top != area_.top;
  area_ = area;
  if (formGone_) return;
  form_.boxChanged(this);
  if (moved) scheduleHoverCheck();
}

void BoxCore::setBackColor(Color value) {
  backColor_ = value;
  native_->invalidate({});
}

void BoxCore::setPicture(const StdPicture& value) {
  picture_ = value;
  native_->invalidate({});
}

void BoxCore::setToolTip(const std::string& value) {
  toolTip_ = value;
  if (hoverKnown_ && hovered_.labels == nullptr) updateToolTip();
}

void BoxCore::layOut() {
  if (formGone_) return;
  reader_.noteChange();
  const unsigned d = dpi();
  const Pixels logical{ToPixels(area_.left, d), ToPixels(area_.top, d),
                       std::max(0, ToPixels(area_.width, d)),
                       std::max(0, ToPixels(area_.height, d))};
  Pixels part = logical.intersected(form_.clientPixels());
  // A box in front that covers a whole side needs no pixels of this one under it; without
  // that overlap the window system can scroll this window's pixels.
  for (const BoxCore* front : form_.boxes()) {
    if (front == this) break;
    const Pixels cover = front->visiblePart_;
    if (cover.empty() || part.empty()) continue;
    if (cover.top > part.top || cover.bottom() < part.bottom()) continue;
    if (cover.left <= part.left && cover.right() > part.left) {
      part = {cover.right(), part.top, part.right() - cover.right(), part.height};
    } else if (cover.right() >= part.right() && cover.left < part.right()) {
      part.width = cover.left - part.left;
    }
  }
  if (part.empty()) {
    if (!visiblePart_.empty()) native_->place({});
    visiblePart_ = {};
    return;
  }
  const int offsetX = part.left - logical.left;
  const int offsetY = part.top - logical.top;
  if (part == visiblePart_) {
    const int dx = offsetX_ - offsetX;
    const int dy = offsetY_ - offsetY;
    offsetX_ = offsetX;
    offsetY_ = offsetY;
    if (dx != 0 || dy != 0) native_->scroll(dx, dy);
    return;
  }
  visiblePart_ = part;
  offsetX_ = offsetX;
  offsetY_ = offsetY;
  native_->place(part);
  native_->invalidate({});
  if (hoverKnown_) updateToolTip();
}

void BoxCore::attach(LabelArray* labels) {
  arrays_.push_back(labels);
  reader_.noteChange();
  native_->invalidate({});
}

void BoxCore::detach(LabelArray* labels) {
  arrays_.erase(std::remove(arrays_.begin(), arrays_.end(), labels), arrays_.end());
  if (capture_.labels == labels) capture_ = {};
  if (hovered_.labels == labels) hovered_ = {};
  captions_.forget(labels, -1);
  reader_.noteChange();
  if (!formGone_) form_.keyboardFocus().labelGone(labels, -1);
  native_->invalidate({});
}

void BoxCore::labelsChanged(const RectTwips& area) {
  // The label under a resting pointer may have a new tooltip.
  if (hoverKnown_ && hovered_.labels != nullptr) updateToolTip();
  reader_.noteChange();
  if (visiblePart_.empty() || area.width <= 0 || area.height <= 0) return;
  const unsigned d = dpi();
  // Most labels of a long row lie outside the window: tell that in twips, cheaply.
  const double shownFrom = ToTwips(offsetX_ - 2.0, d);
  const double shownTo = ToTwips(offsetX_ + visiblePart_.width + 2.0, d);
  if (area.left > shownTo || static_cast<double>(area.left) + area.width < shownFrom) return;
  // One pixel more on each side covers the rounding of the edges.
  const Pixels pixels{ToPixels(area.left, d) - 1 - offsetX_, ToPixels(area.top, d) - 1 - offsetY_,
                      ToPixels(area.width, d) + 3, ToPixels(area.height, d) + 3};
  const Pixels local = pixels.intersected({0, 0, visiblePart_.width, visiblePart_.height});
  if (!local.empty()) native_->invalidate(local);
}

void BoxCore::captionChanged(const LabelArray* labels, int index) {
  captions_.forget(labels, index);
  reader_.noteChange();
  if (!formGone_ && index >= 0) form_.keyboardFocus().labelGone(labels, index);
  if (hoverKnown_ && hovered_.labels == labels && (index < 0 || hovered_.index == index)) {
    updateToolTip();
  }
}

Twips BoxCore::twipsX(int x) const { return ToTwips(x + offsetX_, dpi()); }
Twips BoxCore::twipsY(int y) const { return ToTwips(y + offsetY_, dpi()); }

BoxCore::Target BoxCore::targetAt(Twips x, Twips y) const {
  for (auto it = arrays_.rbegin(); it != arrays_.rend(); ++it) {
    const int index = (*it)->HitTest(x, y);
    if (index >= 0) return {*it, index};
  }
  return {};
}

const LabelState* BoxCore::labelOf(const Target& target) const {
  if (target.labels == nullptr ||
      std::find(arrays_.begin(), arrays_.end(), target.labels) == arrays_.end() ||
      !target.labels->IsLoaded(target.index)) {
    return nullptr;
  }
  return &target.labels->elements()[static_cast<std::size_t>(target.index)].state;
}

Pixels BoxCore::localRect(const LabelState& label) const {
  const unsigned d = dpi();
  return {ToPixels(label.left, d) - offsetX_, ToPixels(label.top, d) - offsetY_,
          std::max(0, ToPixels(label.width, d)), std::max(0, ToPixels(label.height, d))};
}

void BoxCore::paint(Painter& painter, const Pixels& dirty) {
  painter.fill(dirty, backColor_);
  if (!picture_.empty()) {
    painter.picture(picture_, PictureArea(surface(), picture_, -offsetX_, -offsetY_, dpi()), dirty);
  }
  drawLabels(painter, dirty);
  if (!formGone_) form_.keyboardFocus().paint(*this, painter, dirty);
}

// Laying out a caption of megabytes on every tick of the scroll would take the whole
// processor: only the pieces near the dirty columns are drawn, each where it stands in the
// whole line.
void BoxCore::drawLabels(Painter& painter, const Pixels& dirty) {
  const unsigned d = dpi();
  // Only the labels whose extent meets the dirty columns (one pixel of slack for rounding).
  const Twips from = ToTwips(dirty.left + offsetX_ - 1, d);
  const Twips to = ToTwips(dirty.right() + 1 + offsetX_, d);
  for (LabelArray* labels : arrays_) {
    labels->LabelsBetween(from, to, paintList_);
    const MeasuringFont& font = surface().font(labels->font(), d);
    for (const int index : paintList_) {
      const LabelState& label = labels->elements()[static_cast<std::size_t>(index)].state;
      const Pixels box = localRect(label);
      const Pixels clip = box.intersected(dirty);
      if (clip.empty() || label.caption.empty()) continue;
      const std::string& caption = label.caption;
      const std::vector<Piece>& pieces = captions_.piecesOf(labels, index, caption, font);
      const long long from64 = static_cast<long long>(dirty.left - box.left - kSliceMargin) * 64;
      const long long to64 = static_cast<long long>(dirty.right() - box.left + kSliceMargin) * 64;
      auto piece = std::upper_bound(pieces.begin(), pieces.end(), from64,
                                    [](long long x64, const Piece& p) { return x64 < p.x64; });
      if (piece != pieces.begin()) --piece;
      for (; piece != pieces.end() && piece->x64 < to64; ++piece) {
        const std::string_view text(caption.data() + piece->begin, piece->end - piece->begin);
        painter.text(font, text, piece->rightToLeft,
                     static_cast<long long>(box.left) * 64 + piece->x64, box.top, label.foreColor,
                     clip);
      }
    }
  }
}

void BoxCore::updateToolTip() {
  if (const LabelState* label = labelOf(hovered_)) {
    native_->setToolTip(ToolTipText(label->toolTipText), localRect(*label));
    return;
  }
  const Pixels whole{0, 0, visiblePart_.width, visiblePart_.height};
  native_->setToolTip(hovered_.labels == nullptr ? ToolTipText(toolTip_) : std::string(), whole);
}

void BoxCore::hover(const Target& target) {
  if (!hoverKnown_ || !(target == hovered_)) {
    hoverKnown_ = true;
    hovered_ = target;
    updateToolTip();
  }
  const LabelState* label = labelOf(target);
  const bool custom = label != nullptr && label->mousePointer == vbCustom;
  const std::string icon = custom ? target.labels->mouseIcon().resource : std::string();
  if (custom == customPointer_ && icon == pointerIcon_) return;
  customPointer_ = custom;
  pointerIcon_ = icon;
  native_->setPointerShape(custom ? &target.labels->mouseIcon() : nullptr);
}

void BoxCore::scheduleHoverCheck() {
  if (hoverCheckPending_ || visiblePart_.empty()) return;
  // A row moving under a pointer that is elsewhere brings nothing under it: the window system
  // is not asked where the pointer is at every step of the scroll. It may not report the
  // pointer coming back when the window itself maps or moves under it (Qt 6.4 on X11), so a
  // pointer that is away is looked for again at every tenth step. The look delivers nothing and
  // can be made at once; only a pointer found back over this box is worth a check of its own.
  if (pointerAway_) {
    if (++stepsAway_ < kLookWhileAwayEvery) return;
    stepsAway_ = 0;
    if (captured_ || !native_->pointerNow().overThisWindow) return;
    pointerAway_ = false;
  }
  hoverCheckPending_ = true;
  // As a window system does, after the move has been handled: handlers run one at a time.
  surface().post([this, alive = lifetime_.witness()] {
    if (!alive) return;
    hoverCheckPending_ = false;
    checkHover();
  });
}

void BoxCore::checkHover() {
  // A held button keeps the pointer's events with the control that was pressed.
  if (visiblePart_.empty() || captured_) return;
  const PointerNow now = native_->pointerNow();
  // Only when the pointer is over this very box: not over a control in front of it, nor over
  // another program's window that covers it. Until it comes back the window system says so.
  pointerAway_ = !now.overThisWindow;
  if (now.buttons != 0 || !now.overThisWindow) return;
  const Twips x = twipsX(now.x);
  const Twips y = twipsY(now.y);
  const Target target = targetAt(x, y);
  if (hoverKnown_ && target == hovered_) return;
  hover(target);
  deliver(target, FormEvents::Pointer::Move, 0, now.modifiers, x, y);
}

void BoxCore::deliver(const Target& target, FormEvents::Pointer kind, int button, int modifiers,
                      Twips x, Twips y) {
  using Pointer = FormEvents::Pointer;
  if (target.labels != nullptr) {
    // A label that went away while it held the pointer gets nothing more.
    const LabelState* label = labelOf(target);
    if (label == nullptr) return;
    const IndexedMouseHandler& handler = kind == Pointer::Down   ? target.labels->MouseDown
                                         : kind == Pointer::Move ? target.labels->MouseMove
                                                                 : target.labels->MouseUp;
    if (!handler) return;
    IndexedMouseHandler call = handler;
    call(target.index, button, modifiers, x - label->left, y - label->top);
    return;
  }
  const MouseHandler& handler = kind == Pointer::Down   ? owner_.MouseDown
                                : kind == Pointer::Move ? owner_.MouseMove
                                                        : owner_.MouseUp;
  if (!handler) return;
  MouseHandler call = handler;
  call(button, modifiers, x, y);
}

void BoxCore::press(int button, int buttons, int modifiers, Twips x, Twips y, bool doubleClick) {
  // The first button pressed decides which control holds the pointer until all are up.
  const bool firstButton = (buttons & ~button) == 0;
  if (firstButton || !captured_) {
    capture_ = targetAt(x, y);
    captured_ = true;
    native_->capturePointer(true);
  }
  const Target target = capture_;
  // WORKAROUND: the window system pairs two presses into a double-click by time and place
  // alone. When one of the program's windows was hidden, minimised or restored between them
  // (the first press opened a dialog that the person then minimised from its title bar, a
  // click only the window manager sees), the person did something else in between: this
  // press is a press of its own.
  if (doubleClick && form_.engine().windowChanges() != windowChangesAtPress_) doubleClick = false;
  windowChangesAtPress_ = form_.engine().windowChanges();
  // The second press of a double-click is a double-click, not a press: a label has no
  // double-click of its own, so it gets nothing (its link opens once per double-click).
  if (doubleClick && target.labels != nullptr) return;
  const Lifetime::Witness alive = lifetime_.witness();
  deliver(target, FormEvents::Pointer::Down, button, modifiers, x, y);
  if (!alive || !doubleClick || target.labels != nullptr) return;
  if (EventHandler handler = owner_.DblClick) handler();
}

int BoxCore::focusedIndex(const LabelArray* labels) const {
  return formGone_ ? -1 : form_.keyboardFocus().focusedIn(labels);
}

bool BoxCore::clickLabel(LabelArray* labels, int index, int button) {
  const Target target{labels, index};
  const LabelState* label = labelOf(target);
  if (label == nullptr) return false;
  click(target, button, label->left + label->width / 2, label->top + label->height / 2);
  return true;
}

void BoxCore::click(const Target& target, int button, Twips x, Twips y) {
  const Lifetime::Witness alive = lifetime_.witness();
  deliver(target, FormEvents::Pointer::Down, button, 0, x, y);
  // The press may have closed the form or unloaded the label: deliver looks it up again.
  if (alive) deliver(target, FormEvents::Pointer::Up, button, 0, x, y);
}

void BoxCore::pointerCrossed(bool inside) {
  pointerInside_ = inside;
  pointerAway_ = !inside;
  if (!formGone_) form_.noteCrossing(inside);
}

void BoxCore::pointer(FormEvents::Pointer kind, int button, int buttons, int modifiers, int x,
                      int y, bool doubleClick) {
  using Pointer = FormEvents::Pointer;
  const Twips tx = twipsX(x);
  const Twips ty = twipsY(y);
  pointerAway_ = false;
  if (kind == Pointer::Down) {
    if (button != 0) press(button, buttons, modifiers, tx, ty, doubleClick);
    return;
  }
  if (kind == Pointer::Move) {
    Target target;
    if (captured_ && buttons != 0) {
      target = capture_;
    } else {
      captured_ = false;
      target = targetAt(tx, ty);
      hover(target);
    }
    deliver(target, Pointer::Move, buttons, modifiers, tx, ty);
    return;
  }
  const Target target = captured_ ? capture_ : targetAt(tx, ty);
  if (buttons == 0) {
    captured_ = false;
    native_->capturePointer(false);
  }
  if (button != 0) deliver(target, Pointer::Up, button, modifiers, tx, ty);
}

}  // namespace platform::engine
