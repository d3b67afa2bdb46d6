// The form engine's drawing in GDI, and the paint of a window: drawn off screen in the dirty
// rectangle on the text DC (where the captions were laid out), then copied at once, so that
// nothing flickers under the text.
#pragma once

#include <functional>

#include "platform/engine/Surface.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class GdiPainter final : public engine::Painter {
 public:
  // Draws on the text DC (Fonts.h), whose viewport and bitmap the paint has set.
  GdiPainter();

  void fill(const engine::Pixels& area, Color color) override;
  void picture(const StdPicture& picture, const engine::Pixels& area,
               const engine::Pixels& clip) override;
  void text(const engine::MeasuringFont& font, std::string_view utf8, bool rightToLeft,
            long long x64, int top, Color color, const engine::Pixels& clip) override;
  void focusFrame(const engine::Pixels& area, Color color, const engine::Pixels& clip) override;

 private:
  HDC dc_;
};

// Answers WM_PAINT: paint draws the dirty rectangle (the window's pixels) with the painter.
void PaintWindow(HWND hwnd,
                 const std::function<void(engine::Painter&, const engine::Pixels&)>& paint);

}  // namespace platform::win32
