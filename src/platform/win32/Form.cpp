#include "platform/Form.h"

#include "platform/Image.h"
#include "platform/win32/FormWindow.h"

namespace platform {

struct Form::Impl {
  std::unique_ptr<win32::FormWindow> window;
};

Form::Form(const Definition& definition) : d(std::make_unique<Impl>()) {
  d->window = std::make_unique<win32::FormWindow>(*this, definition);
}

Form::~Form() = default;

Twips Form::Left() const { return d->window->left(); }
void Form::setLeft(Twips value) { d->window->setPosition(value, d->window->top()); }
Twips Form::Top() const { return d->window->top(); }
void Form::setTop(Twips value) { d->window->setPosition(d->window->left(), value); }

Twips Form::Width() const { return d->window->clientWidth() + d->window->frameExtraWidth(); }
void Form::setWidth(Twips value) {
  d->window->setClientSize(value - d->window->frameExtraWidth(), d->window->clientHeight());
}
Twips Form::Height() const { return d->window->clientHeight() + d->window->frameExtraHeight(); }
void Form::setHeight(Twips value) {
  d->window->setClientSize(d->window->clientWidth(), value - d->window->frameExtraHeight());
}

void Form::Move(Twips left, Twips top) { d->window->setPosition(left, top); }

Color Form::BackColor() const { return d->window->backColor(); }
void Form::setBackColor(Color value) { d->window->setBackColor(value); }

WindowHandle Form::hWnd() const { return reinterpret_cast<WindowHandle>(d->window->handle()); }

void Form::Show() { d->window->showForm(); }
void Form::Hide() { d->window->hideForm(); }
bool Form::Visible() const { return d->window->visible(); }
bool Form::Loaded() const { return d->window->loaded(); }
void Form::EnsureLoaded() { d->window->ensureLoaded(); }

bool Form::Unload() { return d->window->requestClose(vbFormCode); }
bool Form::Closed() const { return d->window->closed(); }

void Form::SetTopmost(bool topmost) { d->window->setTopmost(topmost); }

void Form::addImage(const Image* image) { d->window->addImage(*image); }

}  // namespace platform
