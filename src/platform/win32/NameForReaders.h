// A window that a screen reader should call by another name than its text: the strip, whose
// caption nobody sees, is named after the program; the URL box, whose text is its value, by the
// label in front of it. The window answers readers with the system's own accessibility object
// for it (role, state, place, children as for any window of its class), under that name.
#pragma once

#include <string>

#include "platform/win32/Win32.h"

namespace platform::win32 {

// From now on the window's object (OBJID_WINDOW) and its client area's (OBJID_CLIENT) are
// named name for readers; calling it again replaces the name. Its text stays as it is.
void NameForReaders(HWND window, const std::wstring& name);

}  // namespace platform::win32
