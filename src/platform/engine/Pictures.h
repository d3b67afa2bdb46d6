// What every system does alike with the stored pictures: when a display takes a picture's own
// drawing at twice its size, and where a pointer image points.
#pragma once

#include "platform/forms/StdPicture.h"

namespace platform::engine {

// Whether a picture shown at scale times its own size is drawn from its drawing at twice the
// size (where it has one): above one and a half (192 dots per inch, not 144), sharper than
// its own drawing enlarged.
bool DrawnFromTwice(double scale);

struct HotSpot {
  int x = 0;
  int y = 0;
};

// Where a pointer showing the picture, width x height pixels, points: the tip of the index
// finger of the hand; the middle of any other picture.
HotSpot PointerHotSpot(const StdPicture& picture, int width, int height);

}  // namespace platform::engine
