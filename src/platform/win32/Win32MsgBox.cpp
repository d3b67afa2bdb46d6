#include "platform/win32/Win32MsgBox.h"

#include <windows.h>

#include <utility>

#include "platform/services/MsgBox.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

Win32MsgBox::Win32MsgBox(std::string caption) : caption_(std::move(caption)) {}

int Win32MsgBox::Show(const std::string& prompt, int style) {
  // Only the button and icon groups are taken from style.
  const UINT type = static_cast<UINT>(style) & (MB_TYPEMASK | MB_ICONMASK);
  const HWND owner = ::GetActiveWindow();
  const int pressed = ::MessageBoxW(owner, Widen(prompt).c_str(), Widen(caption_).c_str(),
                                    type | (owner == nullptr ? MB_TASKMODAL : 0));
  return pressed == 0 ? vbOK : pressed;
}

}  // namespace platform::win32
