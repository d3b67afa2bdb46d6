// The form engine's surface on Win32: top-level and child windows, GDI fonts and bitmaps,
// thread timers, and calls posted to a hidden window of its own to run after the event being
// handled.
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "platform/engine/Surface.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class Win32Surface final : public engine::Surface {
 public:
  Win32Surface();
  ~Win32Surface() override;
  Win32Surface(const Win32Surface&) = delete;
  Win32Surface& operator=(const Win32Surface&) = delete;

  std::unique_ptr<engine::NativeForm> makeForm(const Form::Definition& definition,
                                               engine::FormEvents& events) override;
  std::unique_ptr<engine::NativeBox> makeBox(engine::NativeForm& parent, const char* name,
                                             engine::BoxEvents& events,
                                             engine::AccessibleModel& reader) override;
  std::unique_ptr<engine::NativeControl> makeControl(engine::NativeForm& parent,
                                                     const engine::ControlDefinition& definition,
                                                     engine::ControlEvents& events) override;
  std::unique_ptr<engine::NativeTimer> makeTimer(std::function<void()> tick) override;
  const engine::MeasuringFont& font(const Font& font, unsigned dpi) override;
  engine::Pixels pictureSize(const StdPicture& picture) override;
  // When the system refuses the message (a full queue), the call runs at the next one posted.
  void post(std::function<void()> call) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void runPosted();

  HWND window_ = nullptr;
  std::deque<std::function<void()>> posted_;
};

}  // namespace platform::win32
