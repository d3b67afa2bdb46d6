#include "platform/Label.h"

#include "platform/ComboBox.h"

#include "platform/win32/Controls.h"
#include "platform/win32/Handles.h"

namespace platform {

struct Label::Impl {
  win32::FormWindow* form = nullptr;
  HWND label = nullptr;
  std::string caption;
};

Label::Label(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  d->form = &win32::FormWindow::Of(parent);
  d->caption = definition.caption;
  // Plain text: an "&" is shown as it stands.
  d->label =
      win32::CreateControl(*d->form, WC_STATICW, definition.caption, SS_LEFT | SS_NOPREFIX,
                           {definition.left, definition.top, definition.width, definition.height});
  d->form->addControl(d->label, definition.tabIndex, false, nullptr);
}

Label::~Label() {
  d->form->removeControl(d->label);
  DestroyWindow(d->label);
}

std::string Label::Caption() const { return d->caption; }

// Screen readers name a control without a text of its own by the static text just before it
// in the stacking order: the label goes there.
void Label::Names(ComboBox& control) {
  HWND target = win32::HwndOf(control);
  if (target == nullptr || d->label == nullptr) return;
  HWND above = GetWindow(target, GW_HWNDPREV);
  SetWindowPos(d->label, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace platform
