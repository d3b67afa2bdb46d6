#include "platform/engine/ControlCore.h"

#include "platform/engine/Engine.h"
#include "platform/engine/FormCore.h"

namespace platform::engine {

namespace {

// The handler runs from a copy: it may replace itself.
void Raise(const EventHandler* handler) {
  if (handler == nullptr) return;
  if (EventHandler call = *handler) call();
}

}  // namespace

ControlCore::ControlCore(FormCore& form, const Definition& definition)
    : form_(form),
      kind_(definition.kind),
      caption_(definition.caption),
      tabIndex_(definition.tabIndex),
      isDefault_(definition.isDefault),
      isCancel_(definition.isCancel),
      change_(definition.change),
      click_(definition.click) {
  const unsigned dpi = form.dpi();
  const RectTwips& area = definition.area;
  native_ = form.engine().surface().makeControl(
      form.native(),
      {.kind = kind_,
       .name = definition.name,
       .caption = caption_,
       .area = {ToPixels(area.left, dpi), ToPixels(area.top, dpi), ToPixels(area.width, dpi),
                ToPixels(area.height, dpi)},
       .isDefault = isDefault_},
      *this);
  form_.dialogKeys().add(this);
}

ControlCore::~ControlCore() { form_.dialogKeys().remove(this); }

void ControlCore::putText(const std::string& value) {
  quiet_ = true;
  native_->setText(value);
  quiet_ = false;
}

void ControlCore::setText(const std::string& value) {
  if (value == text()) return;
  putText(value);
  Raise(change_);
}

void ControlCore::addItem(const std::string& item) {
  quiet_ = true;
  native_->addItem(item);
  quiet_ = false;
}

void ControlCore::edited() {
  if (!quiet_) Raise(change_);
}

// Change follows every change of the text (each edit, code, and a pick from the list, which
// puts the entry into the field before Click); Click follows a pick only.
void ControlCore::picked(int index) {
  if (index < 0 || index >= native_->itemCount()) return;
  const std::string entry = native_->item(index);
  if (entry != text()) {
    putText(entry);
    Raise(change_);
  }
  Raise(click_);
}

void ControlCore::pressed() { Raise(click_); }

}  // namespace platform::engine
