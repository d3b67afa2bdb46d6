#include "platform/win32/Win32Session.h"

#include <wtsapi32.h>

#include <cstring>
#include <utility>

#include "platform/engine/Engine.h"

#include "platform/win32/HiddenWindow.h"
#include "platform/win32/MessageLoop.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TickerSessionWindow";

// GUID_CONSOLE_DISPLAY_STATE: the display of the console is off (0), on (1) or dimmed (2).
constexpr GUID kConsoleDisplayState{
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// The display's new state when the broadcast reports it.
bool DisplayOff(LPARAM lParam, bool& off) {
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  if (setting == nullptr || setting->PowerSetting != kConsoleDisplayState ||
      setting->DataLength < sizeof(DWORD)) {
    return false;
  }
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof state);
  off = state == 0;  // a dimmed display is still seen
  return true;
}

}  // namespace

// Top-level: a message-only window hears no broadcast.
Win32Session::Win32Session(engine::Engine& engine)
    : EndOfSession(engine),
      window_(
          CreateHiddenWindow(HiddenKind::TopLevel, kClassName, &Win32Session::WindowProc, this)) {
  // Without them the strip goes on as if always seen.
  WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION);
  displayNotice_ =
      RegisterPowerSettingNotification(window_, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

Win32Session::~Win32Session() {
  if (displayNotice_ != nullptr) UnregisterPowerSettingNotification(displayNotice_);
  WTSUnRegisterSessionNotification(window_);
  DestroyHiddenWindow(window_);
}

void Win32Session::ExitEventLoops() { EndMessageLoops(); }

LRESULT CALLBACK Win32Session::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = HiddenWindowOwner<Win32Session>(hwnd, message, lParam);
  if (session != nullptr) {
    switch (message) {
      case WM_QUERYENDSESSION:
        return TRUE;
      case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_LOCK || wParam == WTS_SESSION_UNLOCK) {
          session->engine().noteUnseen(engine::Unseen::Locked, wParam == WTS_SESSION_LOCK);
        }
        return 0;
      case WM_POWERBROADCAST:
        if (bool off = false; wParam == PBT_POWERSETTINGCHANGE && DisplayOff(lParam, off)) {
          session->engine().noteUnseen(engine::Unseen::DisplayOff, off);
        }
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
