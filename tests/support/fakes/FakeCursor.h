// A pointer the test puts where it likes, over the window it names.
#pragma once

#include "platform/services/Services.h"

class FakeCursor final : public platform::Cursor {
 public:
  explicit FakeCursor(const platform::engine::Engine& engine) : Cursor(engine) {}
  bool GetCursorPos(platform::PointApi& pt) const override {
    if (!readable) return false;
    pt = point;
    return true;
  }
  platform::PointApi point{};
  // The window under the pointer: a handle of ours, another non-zero value, or 0.
  platform::WindowHandle window = 0;
  // False: the position cannot be read.
  bool readable = true;

 protected:
  platform::WindowHandle WindowAt(platform::PointApi) const override { return window; }
};
