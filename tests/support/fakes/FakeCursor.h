// A pointer the test puts where it likes, over the window it names.
#pragma once

#include "platform/services/Services.h"

class FakeCursor final : public platform::Cursor {
 public:
  bool GetCursorPos(platform::PointApi& pt) const override {
    if (!readable) return false;
    pt = point;
    return true;
  }
  platform::WindowHandle WindowFromPoint(platform::PointApi) const override { return window; }

  platform::PointApi point{};
  // The window under the pointer: a handle of ours, another non-zero value, or 0.
  platform::WindowHandle window = 0;
  // False: the position cannot be read.
  bool readable = true;
};
