#include "platform/Form.h"

#include "platform/Image.h"
#include "platform/qt/EngineAccess.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/Widgets.h"

namespace platform {

struct Form::Impl {
  QPointer<FormWidget> window;
};

Form::Form(const Definition& definition) : d(std::make_unique<Impl>()) {
  d->window = new FormWidget(*this, definition);
}

Form::~Form() { delete d->window.data(); }

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

WindowHandle Form::hWnd() const { return reinterpret_cast<WindowHandle>(d->window.data()); }

void Form::Show() { d->window->showForm(); }
void Form::Hide() { d->window->hideForm(); }
bool Form::Visible() const { return d->window->isVisible(); }
bool Form::Loaded() const { return d->window->loaded(); }
void Form::EnsureLoaded() { d->window->ensureLoaded(); }

bool Form::Unload() { return d->window->requestClose(vbFormCode); }
bool Form::Closed() const { return d->window->closed(); }

void Form::SetTopmost(bool topmost) { d->window->setTopmost(topmost); }

FormWidget* qt::FormWidgetOf(const Form& form) { return EngineAccess::Impl(form).window.data(); }
QWidget* qt::WidgetOf(const Form& form) { return FormWidgetOf(form); }

void Form::addImage(const Image* image) { d->window->addImage(*image); }

}  // namespace platform
