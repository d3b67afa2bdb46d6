#include "platform/win32/NativeControls.h"

#include "platform/engine/ControlCore.h"
#include "platform/win32/Controls.h"
#include "platform/win32/Handles.h"
#include "platform/win32/NameForReaders.h"

namespace platform::win32 {

namespace {

// What every control's window does; a kind of control does more where it has more.
class ControlWindow : public engine::NativeControl {
 public:
  ControlWindow(FormWindow& form, HWND hwnd) : form_(form), hwnd_(hwnd) {}
  ~ControlWindow() override {
    form_.removeControl(hwnd_);
    DestroyWindow(hwnd_);
  }
  HWND hwnd() const { return hwnd_; }

  void focus() override { SetFocus(hwnd_); }
  // A combo box's field is a window of its own. The focus stays with the control while
  // another window is active only in the engine's memory.
  bool focused() const override {
    const HWND focus = GetFocus();
    return focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus));
  }
  std::string text() const override { return WindowText(hwnd_); }

 protected:
  FormWindow& form_;
  HWND hwnd_;
};

class FieldWindow final : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

  void selectAll() override { SendMessageW(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1)); }
  void setText(const std::string& text) override { SetWindowTextW(hwnd_, Widen(text).c_str()); }
  void addItem(const std::string& item) override {
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
  int itemCount() const override {
    const auto count = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
  }
  std::string item(int index) const override {
    const auto length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
    return Narrow(text);
  }
  bool listOpen() const override { return SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != FALSE; }
};

class ButtonWindow final : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

  // As the dialog manager presses a button: the command, without moving the focus.
  void press() override {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
  }
};

class LabelWindow final : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

  // Screen readers name a control without a text of its own by the static text just before it
  // in the stacking order: the label goes there (the dialog manager's access keys follow it
  // too). WORKAROUND: what readers make of that differs between systems (Wine 8's name the box
  // by its own text): the box and the field in it are named outright.
  void labels(engine::NativeControl& control, const std::string& name) override {
    const HWND target = static_cast<ControlWindow&>(control).hwnd();
    const HWND above = GetWindow(target, GW_HWNDPREV);
    SetWindowPos(hwnd_, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    NameForReaders(target, Widen(name));
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof(parts);
    if (GetComboBoxInfo(target, &parts) && parts.hwndItem != nullptr) {
      NameForReaders(parts.hwndItem, Widen(name));
    }
  }
};

}  // namespace

std::unique_ptr<engine::NativeControl> MakeNativeControl(
    FormWindow& form, const engine::ControlDefinition& definition, engine::ControlEvents& events) {
  const engine::Pixels& area = definition.area;
  std::unique_ptr<ControlWindow> made;
  std::function<void(int)> onCommand;
  switch (definition.kind) {
    case engine::ControlKind::Field:
      // An editable field over a list; typed text is neither added to the list nor completed.
      // The window's height includes the dropped list.
      made = std::make_unique<FieldWindow>(
          form, CreateControl(form, WC_COMBOBOXW, "",
                              WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                              {area.left, area.top, area.width, area.height + 160}));
      onCommand = [&events, hwnd = made->hwnd()](int code) {
        if (code == CBN_EDITCHANGE) {
          events.edited();
        } else if (code == CBN_SELCHANGE) {
          const auto index = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
          if (index != CB_ERR) events.picked(static_cast<int>(index));
        }
      };
      break;
    case engine::ControlKind::Button:
      // "&" marks the access key, which the dialog manager presses with Alt.
      made = std::make_unique<ButtonWindow>(
          form, CreateControl(
                    form, WC_BUTTONW, definition.caption,
                    WS_TABSTOP | (definition.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), area));
      onCommand = [&events](int code) {
        if (code == BN_CLICKED) events.pressed();
      };
      break;
    case engine::ControlKind::Label:
      // Plain text: an "&" is shown as it stands.
      made = std::make_unique<LabelWindow>(
          form, CreateControl(form, WC_STATICW, definition.caption, SS_LEFT | SS_NOPREFIX, area));
      break;
  }
  form.addControl(made->hwnd(), std::move(onCommand));
  return made;
}

HWND HwndOf(const ComboBox& combo) {
  return static_cast<const ControlWindow&>(engine::CoreOf(combo).native()).hwnd();
}

}  // namespace platform::win32
