#include "platform/forms/Form.h"

#include "platform/engine/EngineAccess.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/Image.h"

namespace platform {

struct Form::Impl {
  engine::FormCore core;
};

Form::Form(engine::Engine& engine, const Definition& definition)
    : d(new Impl{engine::FormCore(engine, *this, definition)}) {}

Form::~Form() = default;

Twips Form::Left() const { return d->core.left(); }
void Form::setLeft(Twips value) { d->core.setPosition(value, d->core.top()); }
Twips Form::Top() const { return d->core.top(); }
void Form::setTop(Twips value) { d->core.setPosition(d->core.left(), value); }

Twips Form::Width() const { return d->core.clientWidth() + d->core.frameExtraWidth(); }
void Form::setWidth(Twips value) {
  d->core.setClientSize(value - d->core.frameExtraWidth(), d->core.clientHeight());
}
Twips Form::Height() const { return d->core.clientHeight() + d->core.frameExtraHeight(); }
void Form::setHeight(Twips value) {
  d->core.setClientSize(d->core.clientWidth(), value - d->core.frameExtraHeight());
}

void Form::Move(Twips left, Twips top) { d->core.setPosition(left, top); }

Color Form::BackColor() const { return d->core.backColor(); }
void Form::setBackColor(Color value) { d->core.setBackColor(value); }

WindowHandle Form::hWnd() const { return d->core.native().handle(); }

void Form::Show() { d->core.show(); }
void Form::Hide() { d->core.hide(); }
void Form::TakeKeyboard(const std::string& startupId) { d->core.takeKeyboard(startupId); }
bool Form::Visible() const { return d->core.visible(); }
bool Form::Loaded() const { return d->core.loaded(); }
void Form::EnsureLoaded() { d->core.ensureLoaded(); }

bool Form::Unload() { return d->core.requestClose(vbFormCode); }
bool Form::Closed() const { return d->core.closed(); }

void Form::SetTopmost(bool topmost) { d->core.setTopmost(topmost); }

void Form::addImage(const Image* image) { d->core.addImage(*image); }

engine::FormCore& engine::CoreOf(const Form& form) { return EngineAccess::Impl(form).core; }

}  // namespace platform
