// The stored pictures as pixmaps and pointer images, loaded once and kept for the run.
#pragma once

#include <QCursor>
#include <QPixmap>

#include "platform/forms/StdPicture.h"

namespace platform {

// The picture's pixmap; a null pixmap for no picture or a resource that does not load.
const QPixmap& PixmapOf(const StdPicture& picture);

// The picture to draw on a device with ratio device pixels to the logical pixel: where
// engine::DrawnFromTwice says, its own drawing at twice the size (a device pixel ratio of 2, so
// that it covers the same logical area); the pixmap above where it has none.
const QPixmap& PixmapOf(const StdPicture& picture, qreal ratio);

// A pointer showing the picture, with its hot spot (engine::PointerHotSpot); the toolkit's
// pointing hand when the picture is empty or does not load.
QCursor CursorOf(const StdPicture& picture);

}  // namespace platform
