// What a form's window and a picture box's window do alike as the form engine's windows: their
// handle and display, repainting, the pointer's shape, the tooltip, capture and the pointer's
// place. Native is the engine's kind of window (NativeForm or NativeBox); the window class
// that derives from this makes hwnd_ and hands its messages on.
#pragma once

#include <string>

#include "platform/engine/Surface.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/PointerEvents.h"
#include "platform/win32/ToolTipControl.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

template <class Native>
class Win32Window : public Native {
 public:
  // engine::NativeWindow.
  WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  unsigned dpi() const override { return DpiOf(hwnd_); }
  void invalidate(const engine::Pixels& area) override {
    const RECT r{area.left, area.top, area.right(), area.bottom()};
    InvalidateRect(hwnd_, area.empty() ? nullptr : &r, FALSE);
  }
  // Shown at once, and again at every WM_SETCURSOR.
  void setPointerShape(const StdPicture* custom) override {
    pointer_ = custom != nullptr ? CursorOf(*custom) : LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(pointer_);
  }
  void setToolTip(const std::string& text, const engine::Pixels& area) override {
    toolTip_.set(text, area);
  }
  void capturePointer(bool capture) override { CapturePointer(hwnd_, capture); }
  engine::PointerNow pointerNow() const override { return PointerNowOver(hwnd_); }

 protected:
  HWND hwnd_ = nullptr;
  HCURSOR pointer_ = LoadCursorW(nullptr, IDC_ARROW);  // the engine's choice, else the arrow
  ToolTipControl toolTip_{hwnd_};
};

}  // namespace platform::win32
