#include "platform/engine/Surface.h"

#include <algorithm>
#include <cmath>

namespace platform::engine {

Pixels Pixels::intersected(const Pixels& other) const {
  const int l = std::max(left, other.left);
  const int t = std::max(top, other.top);
  const int r = std::min(right(), other.right());
  const int b = std::min(bottom(), other.bottom());
  if (r <= l || b <= t) return {};
  return {l, t, r - l, b - t};
}

Pixels PictureArea(Surface& surface, const StdPicture& picture, int x, int y, unsigned dpi) {
  const Pixels own = surface.pictureSize(picture);
  return {x, y, static_cast<int>(own.width * dpi / 96), static_cast<int>(own.height * dpi / 96)};
}

}  // namespace platform::engine
