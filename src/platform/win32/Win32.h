// The Windows headers as the form engine takes them (Unicode, Windows 10 functions, no min and
// max macros), and the conversions every part of the surface needs: UTF-8 text to and from the
// system's UTF-16 (WideText.h), twips to and from the pixels of a window's display, colours to
// COLORREF.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#ifndef WINVER
#define WINVER 0x0A00
#endif

#include <windows.h>
// The common controls, after the base types they use.
#include <commctrl.h>
// The form engine's RGB (platform/forms/Units.h) is a function, not the system's macro.
#undef RGB

#include <string>
#include <string_view>

#include "platform/engine/Surface.h"
#include "platform/forms/Units.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

// Twips to pixels and back, as the form engine converts them.

// The pixels per inch of the display that holds the window (the system's when hwnd is null
// or the system cannot tell).
unsigned DpiOf(HWND hwnd);

// A colour value as GDI takes it; a scheme colour (&H800000nn) is the desktop's own.
COLORREF ColorRefOf(Color value);

}  // namespace platform::win32
