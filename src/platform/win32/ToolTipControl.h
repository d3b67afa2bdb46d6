// The tooltip control of one window: one tool, its rectangle and its text, shown whatever
// window is active (the strip seldom is), an "&" as it stands, lines broken where the text
// breaks them.
#pragma once

#include <string>

#include "platform/engine/Surface.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class ToolTipControl final {
 public:
  // owner is the owner's handle, read when the control is first needed.
  explicit ToolTipControl(const HWND& owner) : owner_(owner) {}
  ~ToolTipControl();
  ToolTipControl(const ToolTipControl&) = delete;
  ToolTipControl& operator=(const ToolTipControl&) = delete;

  // The tool becomes area with the UTF-8 text (none when empty); a tooltip showing hides.
  // Made at the first call; when the system cannot make it, no tooltip shows.
  void set(const std::string& text, const engine::Pixels& area);
  // Hands a mouse message of the owner to the control, which times its showing by them.
  void relay(UINT message, WPARAM wParam, LPARAM lParam);
  // Answers the control's request for the text (WM_NOTIFY); false for any other notice.
  bool answer(LPARAM notice);

 private:
  const HWND& owner_;
  HWND tip_ = nullptr;
  std::wstring text_;
};

}  // namespace platform::win32
