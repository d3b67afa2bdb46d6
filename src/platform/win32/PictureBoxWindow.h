// The child window of a picture box: the part of the box that shows inside its form. It
// places itself where the form engine says, scrolls the pixels already drawn, paints with
// GDI, shows the pointer's shape and the tooltip the engine chose, and reports the pointer.
// Screen readers find the box and its labels in it (StripAccessibleObject).
#pragma once

#include "platform/engine/Surface.h"
#include "platform/win32/StripAccessibleObject.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

class FormWindow;

class PictureBoxWindow final : public Win32Window<engine::NativeBox> {
 public:
  PictureBoxWindow(FormWindow& form, const char* name, engine::BoxEvents& events,
                   engine::AccessibleModel& reader);
  ~PictureBoxWindow() override;
  PictureBoxWindow(const PictureBoxWindow&) = delete;
  PictureBoxWindow& operator=(const PictureBoxWindow&) = delete;
  // The window's handle as the engine knows it, beside the message handler below.
  using Win32Window::handle;

  // engine::NativeBox.
  void place(const engine::Pixels& part) override;
  void scroll(int dx, int dy) override;
  bool readerAttached() const override;
  void accessibleChanged(const std::vector<engine::AccessibleEvent>& events) override;

 private:
  template <class Window>
  friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  FormWindow& form_;
  engine::BoxEvents& events_;
  bool trackingLeave_ = false;  // WM_MOUSELEAVE asked for since the pointer came
  StripAccessibleObject accessible_;
};

}  // namespace platform::win32
