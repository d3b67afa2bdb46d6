// What the common controls of a form share: creation as a child of the form at a place in
// twips, in the forms' font, and the text of a window as UTF-8.
#pragma once

#include <string>

#include "platform/forms/Form.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

// A child control of the form at the rectangle (twips), in the forms' font; extraHeight
// pixels are added below (a combo box's list).
HWND CreateControl(FormWindow& form, const wchar_t* className, const std::string& text, DWORD style,
                   const RectTwips& rect, int extraHeight = 0);

// The window's text as UTF-8.
std::string WindowText(HWND hwnd);

}  // namespace platform::win32
