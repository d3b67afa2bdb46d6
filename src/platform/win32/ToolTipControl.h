// The tooltip control of one window: one tool, its rectangle and its text, shown whatever
// window is active (the strip seldom is), an "&" as it stands, lines broken where the text
// breaks them, each line laid out as the captions are (shaped, in bidirectional order, in the
// direction of its first strong character, characters the font lacks from other fonts).
#pragma once

#include <optional>
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
  // Answers a notice (WM_NOTIFY) of any window's tooltip control made here: the request for the
  // text, its showing and its painting; nothing for any other notice.
  static std::optional<LRESULT> Answer(LPARAM notice);

 private:
  const HWND& owner_;
  HWND tip_ = nullptr;
  std::string text_;
  std::wstring wide_;

  RECT insets_{};  // of the text in the window, found at its showing

  std::optional<LRESULT> answer(LPARAM notice);
  RECT insets(HDC dc) const;
  bool resize();
  void paint(HDC dc) const;
};

}  // namespace platform::win32
