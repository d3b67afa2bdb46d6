#include "platform/engine/FormCore.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/engine/BoxCore.h"
#include "platform/engine/Engine.h"

namespace platform::engine {

FormCore::FormCore(Engine& engine, Form& owner, const Form::Definition& definition)
    : engine_(engine),
      owner_(owner),
      startUpPosition_(definition.startUpPosition),
      activateOnShow_(definition.activateOnShow),
      width_(definition.clientWidth),
      height_(definition.clientHeight),
      backColor_(definition.backColor),
      dialogKeys_(engine.surface()),
      native_(engine.surface().makeForm(definition, *this)) {
  // The size asked in twips, in the pixels of the display the window is on.
  native_->resizeClient(std::max(0, ToPixels(width_, dpi())),
                        std::max(0, ToPixels(height_, dpi())));
  // A window without a title bar shows its caption to nobody: a reader names it by the program.
  if (definition.borderStyle == BorderStyle::None) native_->setReaderName(APP_DISPLAY_NAME);
  engine_.formMade(this);
}

FormCore::~FormCore() {
  lifetime_.end();
  // Child windows go with their form's window, before it.
  for (BoxCore* box : boxes_) box->formGone();
  engine_.formGone(this);
}

Twips FormCore::frameExtraWidth() const { return ToTwips(native_->frameExtra().width, dpi()); }
Twips FormCore::frameExtraHeight() const { return ToTwips(native_->frameExtra().height, dpi()); }

Pixels FormCore::clientPixels() const {
  return {0, 0, std::max(0, ToPixels(width_, dpi())), std::max(0, ToPixels(height_, dpi()))};
}

void FormCore::setPosition(Twips left, Twips top) {
  // Where the window system keeps the window where it wants it, asking again only brings the
  // same answer (a tiling compositor centres it anew): a drag is the window manager's to make,
  // and the position stays the one the window has, which moved() reports as it changes.
  if (movesRefused_ && native_->shown()) {
    if (pointerHeld() && native_->startSystemMove()) {
      // The window manager has the pointer until its buttons are up; the toolkit may not hear
      // of their release.
      buttonsHeld_ = 0;
      for (BoxCore* box : boxes_) box->captureLost();
    }
    return;
  }
  left_ = left;
  top_ = top;
  positionSet_ = true;
  applyPosition();
}

void FormCore::applyPosition() { native_->moveTo(ToPixels(left_, dpi()), ToPixels(top_, dpi())); }

void FormCore::setClientSize(Twips width, Twips height) {
  width_ = width;
  height_ = height;
  const Pixels client = clientPixels();
  native_->resizeClient(client.width, client.height);
  // A hidden window is told of its size only when shown; the controls follow now.
  layOutBoxes(0);
}

void FormCore::setBackColor(Color value) {
  backColor_ = value;
  native_->invalidate({});
}

void FormCore::ensureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  if (EventHandler load = owner_.Load) load();
}

void FormCore::show() {
  const Lifetime::Witness alive = lifetime_.witness();
  ensureLoaded();
  if (!alive || engine_.ending()) return;
  closed_ = false;
  // A form comes back from whatever state it was left in, also one the window manager put it
  // in without telling (a minimised dialog must come back at the next right-click).
  native_->restore(activateOnShow_);
  if (!native_->shown()) {
    if (!shownOnce_ && startUpPosition_ == StartUpPosition::CenterScreen) {
      centreOnScreen();
      centrePending_ = true;
    }
    if (positionSet_) applyPosition();
    shownOnce_ = true;
    native_->show(activateOnShow_);
  }
  // Only a window that handles keys takes the keyboard; the strip never does.
  if (!activateOnShow_) return;
  native_->activate();
  dialogKeys_.focusFirst();
}

bool FormCore::key(int keyCode, int modifiers, bool repeat) {
  const Lifetime::Witness alive = lifetime_.witness();
  if (!dialogKeys_.key(keyCode, modifiers) && !keyboardFocus_.key(keyCode, modifiers, repeat)) {
    return false;
  }
  if (alive && keyCode == Key::Tab) native_->showFocusCues();
  return true;
}

void FormCore::takeKeyboard(const std::string& startupId) {
  const Lifetime::Witness alive = lifetime_.witness();
  show();
  if (!alive || !native_->shown()) return;
  // The keys go to its labels, from the first that shows, once the window system has given it
  // the keyboard (a window without labels has focused its first control as it showed).
  focusFirstLabel_ = true;
  const bool alreadyActive = native_->active();
  native_->takeKeyboard(startupId);
  if (alreadyActive) activated();
}

void FormCore::activated() {
  dialogKeys_.activated();
  if (std::exchange(focusFirstLabel_, false)) keyboardFocus_.focusFirst();
}

void FormCore::deactivated() {
  dialogKeys_.deactivated();
  focusFirstLabel_ = false;
  keyboardFocus_.clear();
}

void FormCore::keyboardWith(WindowHandle window, bool ours) {
  engine_.noteKeyboardWith(window, ours);
}

void FormCore::hide() {
  native_->hide();
  engine_.noteWindowChange();
}

// The whole window, frame included, in the middle of the available area of the screen that
// holds the program's other shown window (the one the user is working with), else of the
// primary screen.
void FormCore::centreOnScreen() {
  const NativeForm* near = nullptr;
  for (const FormCore* other : engine_.forms()) {
    if (other != this && other->visible()) {
      near = other->native_.get();
      break;
    }
  }
  const Pixels area = native_->workAreaNear(near);
  if (area.empty()) return;
  const Pixels client = clientPixels();
  const Pixels extra = native_->frameExtra();
  const int width = client.width + extra.width;
  const int height = client.height + extra.height;
  left_ = ToTwips(area.left + (area.width - width) / 2, dpi());
  top_ = ToTwips(area.top + (area.height - height) / 2, dpi());
  positionSet_ = true;
}

void FormCore::mapped() {
  if (centrePending_) {
    centrePending_ = false;
    centreOnScreen();
  }
  // The window manager may have placed the new window itself: it goes where it was asked.
  if (!positionSet_) return;
  const Pixels now = native_->frameNow();
  if (now.left != ToPixels(left_, dpi()) || now.top != ToPixels(top_, dpi())) applyPosition();
}

bool FormCore::requestClose(int unloadMode) {
  int cancel = 0;
  const Lifetime::Witness alive = lifetime_.witness();
  if (QueryUnloadHandler handler = owner_.QueryUnload) handler(cancel, unloadMode);
  if (!alive) return true;
  if (cancel != 0) return false;
  native_->close();
  closed_ = true;
  engine_.noteWindowChange();
  return true;
}

bool FormCore::closeRequested() {
  int cancel = 0;
  const Lifetime::Witness alive = lifetime_.witness();
  if (QueryUnloadHandler handler = owner_.QueryUnload) handler(cancel, vbFormControlMenu);
  if (!alive) return true;
  if (cancel != 0) return false;
  closed_ = true;
  engine_.noteWindowChange();
  return true;
}

void FormCore::moved(int x, int y) {
  // Nobody moves a hidden window: its position is the one it will show at.
  if (!native_->shown()) return;
  const unsigned d = dpi();
  // The same pixel keeps the twips the program set.
  if (x == ToPixels(left_, d) && y == ToPixels(top_, d)) return;
  left_ = ToTwips(x, d);
  top_ = ToTwips(y, d);
}

void FormCore::moveRefused(int x, int y) {
  movesRefused_ = true;
  if (!native_->shown()) return;
  // The place the program asked for (the saved one, at the first showing) is asked of the
  // window manager another way where it can be; a drag is the window manager's own.
  if (!pointerHeld() && native_->askPlacement(ToPixels(left_, dpi()), ToPixels(top_, dpi()))) {
    return;
  }
  moved(x, y);
}

bool FormCore::pointerHeld() const {
  return buttonsHeld_ != 0 || std::any_of(boxes_.begin(), boxes_.end(),
                                          [](const BoxCore* b) { return b->holdsPointer(); });
}

void FormCore::pointerCrossed(bool inside) {
  pointerInside_ = inside;
  noteCrossing(inside);
}

void FormCore::noteCrossing(bool inside) {
  if (!inside) leaveSeen_ = true;
}

bool FormCore::pointerKnownOutside() const {
  return leaveSeen_ && !pointerInside_ &&
         std::none_of(boxes_.begin(), boxes_.end(),
                      [](const BoxCore* b) { return b->pointerInside(); });
}

bool FormCore::ownsWindow(WindowHandle window) const {
  if (native_->handle() == window) return true;
  return std::any_of(boxes_.begin(), boxes_.end(), [window](const BoxCore* box) {
    const NativeBox* native = box->nativeIfAny();
    return native != nullptr && native->handle() == window;
  });
}

void FormCore::stateChanged() { engine_.noteWindowChange(); }

void FormCore::dpiChanged() {
  const Pixels client = clientPixels();
  native_->resizeClient(client.width, client.height);
  layOutBoxes(0);
  native_->invalidate({});
}

void FormCore::addImage(const Image& image) {
  images_.push_back(
      {"", image.Left(), image.Top(), image.Width(), image.Height(), image.Picture()});
  native_->invalidate({});
}

void FormCore::addBox(BoxCore* box) {
  boxes_.push_back(box);
  layOutBoxes(boxes_.size() - 1);
}

void FormCore::removeBox(BoxCore* box) {
  auto found = std::find(boxes_.begin(), boxes_.end(), box);
  if (found == boxes_.end()) return;
  const auto index = static_cast<std::size_t>(found - boxes_.begin());
  boxes_.erase(found);
  layOutBoxes(index);
}

void FormCore::boxChanged(BoxCore* box) {
  auto found = std::find(boxes_.begin(), boxes_.end(), box);
  if (found != boxes_.end()) layOutBoxes(static_cast<std::size_t>(found - boxes_.begin()));
}

void FormCore::layOutBoxes(std::size_t from) {
  for (std::size_t i = from; i < boxes_.size(); ++i) boxes_[i]->layOut();
}

void FormCore::paint(Painter& painter, const Pixels& dirty) {
  painter.fill(dirty, backColor_);
  const unsigned d = dpi();
  for (const Image::Definition& image : images_) {
    const Pixels area{ToPixels(image.left, d), ToPixels(image.top, d), ToPixels(image.width, d),
                      ToPixels(image.height, d)};
    const Pixels clip = area.intersected(dirty);
    if (clip.empty()) continue;
    painter.picture(image.picture,
                    PictureArea(engine_.surface(), image.picture, area.left, area.top, d), clip);
  }
}

void FormCore::pointer(Pointer kind, int button, int buttons, int modifiers, int x, int y) {
  // A press keeps the pointer's events with the form until every button is up.
  if (kind == Pointer::Down && buttonsHeld_ == 0) native_->capturePointer(true);
  buttonsHeld_ = buttons;
  if (kind == Pointer::Up && buttons == 0) native_->capturePointer(false);
  const MouseHandler& handler = kind == Pointer::Down   ? owner_.MouseDown
                                : kind == Pointer::Move ? owner_.MouseMove
                                                        : owner_.MouseUp;
  if (!handler || (kind != Pointer::Move && button == 0)) return;
  MouseHandler call = handler;
  call(kind == Pointer::Move ? buttons : button, modifiers, ToTwips(x, dpi()), ToTwips(y, dpi()));
}

}  // namespace platform::engine
