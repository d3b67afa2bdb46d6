// The back end's way into the parts of a control that its public header keeps private, and
// the window handles of the controls that have no hWnd() of their own. Each control's header
// names EngineAccess a friend; only the file that defines a control's Impl can use it for
// that control.
#pragma once

#include "platform/win32/Win32.h"

namespace platform {

class ComboBox;

struct EngineAccess {
  template <class Control>
  static auto& Impl(const Control& control) {
    return *control.d;
  }
};

namespace win32 {

// The combo box's own window (the field with its list).
HWND HwndOf(const ComboBox& combo);

}  // namespace win32

}  // namespace platform
