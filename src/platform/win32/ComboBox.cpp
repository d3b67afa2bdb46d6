#include "platform/forms/ComboBox.h"

#include "platform/win32/Controls.h"
#include "platform/win32/Handles.h"

namespace platform {

struct ComboBox::Impl {
  win32::FormWindow* form = nullptr;
  HWND combo = nullptr;
  bool quiet = false;  // the engine itself is changing the text: no Change
};

// Change follows every change of the text (each edit, code, and a pick from the list, which
// puts the entry into the field before Click); Click follows a pick only.
ComboBox::ComboBox(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  d->form = &win32::FormWindow::Of(parent);
  // An editable field over a list; typed text is neither added to the list nor completed.
  // The window's height includes the dropped list.
  d->combo = win32::CreateControl(
      *d->form, WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
      {definition.left, definition.top, definition.width, definition.height}, 160);
  d->form->addControl(d->combo, definition.tabIndex, true, [this](int code) {
    if (code == CBN_EDITCHANGE) {
      if (d->quiet) return;
      if (EventHandler change = Change) change();
    } else if (code == CBN_SELCHANGE) {
      const auto index = SendMessageW(d->combo, CB_GETCURSEL, 0, 0);
      if (index == CB_ERR) return;
      const std::string picked = List(static_cast<int>(index));
      if (picked != Text()) {
        d->quiet = true;
        SetWindowTextW(d->combo, win32::Widen(picked).c_str());
        d->quiet = false;
        if (EventHandler change = Change) change();
      }
      if (EventHandler click = Click) click();
    }
  });
}

ComboBox::~ComboBox() {
  d->form->removeControl(d->combo);
  DestroyWindow(d->combo);
}

std::string ComboBox::Text() const { return win32::WindowText(d->combo); }

void ComboBox::setText(const std::string& value) {
  if (value == Text()) return;
  d->quiet = true;
  SetWindowTextW(d->combo, win32::Widen(value).c_str());
  d->quiet = false;
  if (EventHandler change = Change) change();
}

void ComboBox::AddItem(const std::string& item) {
  SendMessageW(d->combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(item).c_str()));
}

int ComboBox::ListCount() const {
  const auto count = SendMessageW(d->combo, CB_GETCOUNT, 0, 0);
  return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::string ComboBox::List(int index) const {
  if (index < 0 || index >= ListCount()) return {};
  const auto length = SendMessageW(d->combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto got = SendMessageW(d->combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
  return win32::Narrow(text);
}

HWND win32::HwndOf(const ComboBox& combo) { return EngineAccess::Impl(combo).combo; }

}  // namespace platform
