#include "unit/support/FakeSurface.h"

#include <algorithm>
#include <stdexcept>

#include "platform/engine/BoxCore.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/PictureBox.h"

namespace platform::engine::fake {

namespace {
FakeSurface* current = nullptr;
}  // namespace

long long FakeFont::advance64(std::string_view utf8, bool) const {
  ++measured;
  long long characters = 0;
  for (const char byte : utf8) {
    if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++characters;
  }
  return characters * 7 * 64;
}

bool FakeFont::isMark(char32_t c) const { return c >= 0x300 && c <= 0x36F; }

bool FakeFont::rightToLeft(std::string_view utf8) const {
  for (const char byte : utf8) {
    const auto b = static_cast<unsigned char>(byte);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) return false;
    if (b >= 0xD6 && b <= 0xDB) return true;  // the lead bytes of U+0580 to U+06FF
  }
  return false;
}

std::size_t FakeFont::lastBreak(std::string_view utf8, std::size_t after, std::size_t limit) const {
  for (std::size_t i = std::min(limit, utf8.size()); i > after; --i) {
    if (utf8[i - 1] == ' ') return i;
  }
  return 0;
}

unsigned FakeBox::dpi() const { return current->dpi; }

FakeForm::FakeForm(FormEvents& events, const Form::Definition& definition, WindowHandle handle)
    : events(events), framed(definition.borderStyle != BorderStyle::None), handle_(handle) {}

unsigned FakeForm::dpi() const { return current->dpi; }

void FakeForm::moveTo(int x, int y) {
  if (refusesMoves && isShown) {
    events.moveRefused(frame.left, frame.top);
    return;
  }
  frame.left = x;
  frame.top = y;
  calls.push_back("moveTo " + std::to_string(x) + "," + std::to_string(y));
}

bool FakeForm::askPlacement(int x, int y) {
  if (!takesPlacements) return false;
  calls.push_back("askPlacement " + std::to_string(x) + "," + std::to_string(y));
  return true;
}

void FakeForm::resizeClient(int width, int height) {
  frame.width = width;
  frame.height = height;
}

void FakeForm::show(bool activate) {
  isShown = true;
  calls.push_back(activate ? "show active" : "show inactive");
}

void FakeForm::hide() {
  isShown = false;
  calls.push_back("hide");
}

void FakeForm::restore(bool activate) {
  ++restores;
  restoreMayActivate = activate;
  minimised = false;
}

void FakeForm::activate() { ++activations; }

void FakeForm::close() {
  isShown = false;
  calls.push_back("close");
}

Pixels FakeForm::workAreaNear(const NativeForm* near) const {
  if (near != nullptr && near->frameNow().left >= current->secondWorkArea.left) {
    return current->secondWorkArea;
  }
  return current->primaryWorkArea;
}

FakeControl::FakeControl(FakeSurface& surface, const ControlDefinition& definition,
                         ControlEvents& events)
    : surface(surface), definition(definition), events(events) {
  surface.controls.push_back(this);
}

FakeControl::~FakeControl() {
  std::erase(surface.controls, this);
  if (surface.focusedControl == this) surface.focusedControl = nullptr;
}

void FakeControl::focus() {
  if (surface.focusedControl != this) selected = false;
  surface.focusedControl = this;
}

bool FakeControl::focused() const { return surface.focusedControl == this; }

void FakeControl::press() {
  ++presses;
  if (definition.kind == ControlKind::Button) events.pressed();
}

FakeSurface::FakeSurface() { current = this; }

FakeSurface::~FakeSurface() {
  if (current == this) current = nullptr;
}

std::unique_ptr<NativeForm> FakeSurface::makeForm(const Form::Definition& definition,
                                                  FormEvents& events) {
  auto form = std::make_unique<FakeForm>(events, definition, nextHandle_++);
  forms.push_back(form.get());
  return form;
}

std::unique_ptr<NativeBox> FakeSurface::makeBox(NativeForm&, const char*, BoxEvents& events,
                                                AccessibleModel&) {
  auto box = std::make_unique<FakeBox>(events, nextHandle_++);
  boxes.push_back(box.get());
  return box;
}

std::unique_ptr<NativeControl> FakeSurface::makeControl(NativeForm&,
                                                        const ControlDefinition& definition,
                                                        ControlEvents& events) {
  return std::make_unique<FakeControl>(*this, definition, events);
}

FakeControl& FakeSurface::control(const std::string& name) {
  for (FakeControl* made : controls) {
    if (made->definition.name == name) return *made;
  }
  throw std::out_of_range("no control " + name);
}

std::unique_ptr<NativeTimer> FakeSurface::makeTimer(std::function<void()> tick) {
  return std::make_unique<FakeTimer>(*this, std::move(tick));
}

Pixels FakeSurface::pictureSize(const StdPicture& picture) {
  return picture.empty() ? Pixels{} : Pixels{0, 0, 33, 16};
}

void FakeSurface::runPosted() {
  while (!posted.empty()) {
    std::function<void()> call = std::move(posted.front());
    posted.pop_front();
    call();
  }
}

FakeForm& FakeSurface::nativeOf(const Form& form) {
  return static_cast<FakeForm&>(CoreOf(form).native());
}

FakeBox& FakeSurface::nativeOf(const PictureBox& box) {
  return static_cast<FakeBox&>(CoreOf(box).native());
}

FakeTimer::FakeTimer(FakeSurface& surface, std::function<void()> tick)
    : surface(surface), tick(std::move(tick)) {
  surface.timers.push_back(this);
}

FakeTimer::~FakeTimer() {
  auto& all = surface.timers;
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

}  // namespace platform::engine::fake
