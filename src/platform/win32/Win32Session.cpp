#include "platform/win32/Win32Session.h"

#include <utility>

#include "platform/win32/HiddenWindow.h"
#include "platform/win32/MessageLoop.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TickerSessionWindow";

}  // namespace

// Top-level: a message-only window hears no broadcast.
Win32Session::Win32Session(engine::Engine& engine)
    : EndOfSession(engine),
      window_(
          CreateHiddenWindow(HiddenKind::TopLevel, kClassName, &Win32Session::WindowProc, this)) {}

Win32Session::~Win32Session() { DestroyHiddenWindow(window_); }

void Win32Session::ExitEventLoops() { EndMessageLoops(); }

LRESULT CALLBACK Win32Session::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = HiddenWindowOwner<Win32Session>(hwnd, message, lParam);
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
