#include "platform/engine/Pictures.h"

namespace platform::engine {

bool DrawnFromTwice(double scale) { return scale > 1.5; }

HotSpot PointerHotSpot(const StdPicture& picture, int width, int height) {
  if (picture.resource == ":/images/hand.png") return {15, 10};
  return {width / 2, height / 2};
}

}  // namespace platform::engine
