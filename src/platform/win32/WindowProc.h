// The window procedure of a class of the surface's windows: the object made the window (its
// this is the creation parameter) and handles its messages in handle(); an error that
// escapes a handler goes to the program's failure handler, never through the system.
#pragma once

#include <exception>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

template <class Window>
LRESULT CALLBACK WindowProcOf(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (auto* self = static_cast<Window*>(create->lpCreateParams); self != nullptr) {
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    ReportFailure(std::current_exception());
    return 0;
  }
}

// Registers the window class once per run (later calls find it there).
inline void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style,
                                HCURSOR cursor) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace platform::win32
