// What the common controls of a form share: creation as a child of the form at a place in its
// client pixels, in the forms' font, and the text of a window as UTF-8.
#pragma once

#include <string>

#include "platform/engine/Surface.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

// A child control of the form at the area, in the forms' font.
HWND CreateControl(FormWindow& form, const wchar_t* className, const std::string& text, DWORD style,
                   const engine::Pixels& area);

// The window's text as UTF-8.
std::string WindowText(HWND hwnd);

}  // namespace platform::win32
