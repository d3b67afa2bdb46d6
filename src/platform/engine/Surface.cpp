#include "platform/engine/Surface.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace platform::engine {

namespace {
Surface* current = nullptr;
}  // namespace

Pixels Pixels::intersected(const Pixels& other) const {
  const int l = std::max(left, other.left);
  const int t = std::max(top, other.top);
  const int r = std::min(right(), other.right());
  const int b = std::min(bottom(), other.bottom());
  if (r <= l || b <= t) return {};
  return {l, t, r - l, b - t};
}

Surface& TheSurface() {
  if (current == nullptr) throw std::logic_error("the form engine has no surface yet");
  return *current;
}

void SetSurface(Surface* surface) { current = surface; }

Pixels PictureArea(const StdPicture& picture, int x, int y, unsigned dpi) {
  const Pixels own = TheSurface().pictureSize(picture);
  return {x, y, static_cast<int>(own.width * dpi / 96), static_cast<int>(own.height * dpi / 96)};
}

}  // namespace platform::engine
