// The stored pictures as GDI objects, loaded once from the program's resources. A picture
// that names no compiled-in image gives a null handle.
#pragma once

#include "platform/forms/StdPicture.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

// The picture as a bitmap (title pictures).
HBITMAP BitmapOf(const StdPicture& picture);
// The bitmap to draw the picture width pixels wide with: above one and a half times its own
// width (engine::DrawnFromTwice) its own drawing at twice the size; that one where it has none.
HBITMAP BitmapOf(const StdPicture& picture, int width);
// The picture as an icon of its own size (window icons).
HICON IconOf(const StdPicture& picture);
// The icon for a window at dpi dots per inch: where engine::DrawnFromTwice says, its drawing at
// twice the size.
HICON IconOf(const StdPicture& picture, unsigned dpi);
// The picture as a pointer image, with its hot spot (engine::PointerHotSpot); the system's hand
// when it has none.
HCURSOR CursorOf(const StdPicture& picture);

}  // namespace platform::win32
