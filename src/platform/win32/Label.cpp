#include "platform/forms/Label.h"

#include "platform/forms/ComboBox.h"

#include "platform/win32/Controls.h"
#include "platform/win32/Handles.h"
#include "platform/win32/NameForReaders.h"

namespace platform {

namespace {

// The name a label gives the control it names: its caption without the access key's "&", the
// blanks around it and a closing colon.
std::wstring NameFromCaption(const std::string& caption) {
  constexpr const wchar_t* kBlanks = L" \t\r\n";
  std::wstring name = win32::Widen(caption);
  std::erase(name, L'&');
  name.erase(name.find_last_not_of(kBlanks) + 1);
  if (!name.empty() && name.back() == L':') name.pop_back();
  name.erase(name.find_last_not_of(kBlanks) + 1);
  name.erase(0, name.find_first_not_of(kBlanks));
  return name;
}

}  // namespace

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
// in the stacking order: the label goes there (the dialog manager's access keys follow it too).
// WORKAROUND: what readers make of that differs between systems (Wine 8's name the box by its own
// text): the box and the field in it are named outright, by the caption without its access key's
// "&" and its closing colon.
void Label::Names(ComboBox& control) {
  HWND target = win32::HwndOf(control);
  if (target == nullptr || d->label == nullptr) return;
  HWND above = GetWindow(target, GW_HWNDPREV);
  SetWindowPos(d->label, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const std::wstring name = NameFromCaption(d->caption);
  win32::NameForReaders(target, name);
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof(parts);
  if (GetComboBoxInfo(target, &parts) && parts.hwndItem != nullptr) {
    win32::NameForReaders(parts.hwndItem, name);
  }
}

}  // namespace platform
