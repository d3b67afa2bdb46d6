// Conversions between the forms' twips and the toolkit's logical pixels.
#pragma once

#include <QPoint>
#include <QRect>
#include <cmath>

#include "platform/forms/Units.h"

namespace platform {

// Rounds half up, so that moving by whole pixels never changes how a position rounds.
inline int ToPixels(Twips twips) {
  return static_cast<int>(std::floor(static_cast<double>(twips) / kTwipsPerPixel + 0.5));
}

inline Twips ToTwips(double pixels) { return static_cast<Twips>(pixels * kTwipsPerPixel); }

inline QRect ToPixels(const RectTwips& r) {
  return QRect(ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height));
}

inline RectTwips ToTwips(const QRect& r) {
  return {ToTwips(r.x()), ToTwips(r.y()), ToTwips(r.width()), ToTwips(r.height())};
}

}  // namespace platform
