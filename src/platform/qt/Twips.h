// Rectangles in the forms' twips and in the toolkit's logical pixels.
#pragma once

#include <QPoint>
#include <QRect>

#include "platform/forms/Units.h"

namespace platform {

inline QRect ToPixels(const RectTwips& r) {
  return QRect(ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height));
}

inline RectTwips ToTwips(const QRect& r) {
  return {ToTwips(r.x()), ToTwips(r.y()), ToTwips(r.width()), ToTwips(r.height())};
}

}  // namespace platform
