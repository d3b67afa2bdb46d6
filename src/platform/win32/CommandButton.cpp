#include "platform/forms/CommandButton.h"

#include "platform/win32/Controls.h"

namespace platform {

struct CommandButton::Impl {
  win32::FormWindow* form = nullptr;
  HWND button = nullptr;
  std::string caption;
  bool isDefault = false;
  bool isCancel = false;
};

CommandButton::CommandButton(Form& parent, const Definition& definition)
    : d(std::make_unique<Impl>()) {
  d->form = &win32::FormWindow::Of(parent);
  d->caption = definition.caption;
  d->isDefault = definition.isDefault;
  d->isCancel = definition.isCancel;
  // "&" marks the access key, which the dialog manager presses with Alt.
  d->button =
      win32::CreateControl(*d->form, WC_BUTTONW, definition.caption,
                           WS_TABSTOP | (definition.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                           {definition.left, definition.top, definition.width, definition.height});
  d->form->addControl(d->button, definition.tabIndex, true, [this](int code) {
    if (code != BN_CLICKED) return;
    if (EventHandler click = Click) click();
  });
  d->form->setButtonRole(d->button, definition.isDefault, definition.isCancel);
}

CommandButton::~CommandButton() {
  d->form->removeControl(d->button);
  DestroyWindow(d->button);
}

std::string CommandButton::Caption() const { return d->caption; }
bool CommandButton::Default() const { return d->isDefault; }
bool CommandButton::Cancel() const { return d->isCancel; }

}  // namespace platform
