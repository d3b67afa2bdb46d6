#include "platform/win32/HiddenWindow.h"

namespace platform::win32 {

HWND CreateHiddenWindow(HiddenKind kind, const wchar_t* className, WNDPROC procedure, void* owner,
                        const wchar_t* title) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.lpszClassName = className;
  // A second window of the class (tests make several sessions) finds it already there.
  RegisterClassExW(&wc);
  if (kind == HiddenKind::TopLevel) {
    return CreateWindowExW(WS_EX_TOOLWINDOW, className, title, WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, instance, owner);
  }
  return CreateWindowExW(0, className, title, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                         owner);
}

void DestroyHiddenWindow(HWND& hwnd) {
  if (hwnd == nullptr) return;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);
  hwnd = nullptr;
}

}  // namespace platform::win32
