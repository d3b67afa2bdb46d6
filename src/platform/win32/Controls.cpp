#include "platform/win32/Controls.h"

#include "platform/win32/Fonts.h"

namespace platform::win32 {

HWND CreateControl(FormWindow& form, const wchar_t* className, const std::string& text, DWORD style,
                   const engine::Pixels& area) {
  HWND control = CreateWindowExW(0, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                 area.left, area.top, area.width, area.height, form.hwnd(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(Font{}, form.dpi()).handle()),
               TRUE);
  return control;
}

std::string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return Narrow(text);
}

}  // namespace platform::win32
