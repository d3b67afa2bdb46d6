// The window handles of the controls that have no hWnd() of their own.
#pragma once

#include "platform/engine/EngineAccess.h"
#include "platform/win32/Win32.h"

namespace platform {

class ComboBox;

namespace win32 {

// The combo box's own window (the field with its list).
HWND HwndOf(const ComboBox& combo);

}  // namespace win32

}  // namespace platform
