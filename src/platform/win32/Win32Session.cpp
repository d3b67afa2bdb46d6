#include "platform/win32/Win32Session.h"

#include <utility>

#include "platform/Application.h"
#include "platform/win32/MessageLoop.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TickerSessionWindow";

}  // namespace

Win32Session::Win32Session() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Session::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  // A second session (tests) finds the class already there.
  RegisterClassExW(&wc);
  // Top-level (a message-only window hears no broadcast), never shown, not on the taskbar.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, GetModuleHandleW(nullptr), this);
}

Win32Session::~Win32Session() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void Win32Session::EndProgram() { EndMessageLoops(); }

bool Win32Session::Ending() const { return platform::Ending(); }

LRESULT CALLBACK Win32Session::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* session = reinterpret_cast<Win32Session*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (session != nullptr) {
    switch (message) {
      case WM_QUERYENDSESSION:
        return TRUE;
      case WM_ENDSESSION:
        // The session ends: every form closes with the session's reason (the strip saves),
        // then the program ends before the system ends it.
        if (wParam != FALSE) {
          try {
            session->EndSession();
          } catch (...) {
            ReportFailure(std::current_exception());
          }
          session->EndProgram();
        }
        return 0;
      case WM_CLOSE:
        // Asked to end by another program (the installer before it replaces or removes the
        // program, as a termination signal asks on other systems): the strip closes as any
        // close does, and saves. The window stays until the program ends.
        try {
          session->RunHandler();
        } catch (...) {
          ReportFailure(std::current_exception());
        }
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
