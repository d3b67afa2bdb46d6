// The end of the desktop session and of the program on Windows. The session's end reaches the
// program as WM_QUERYENDSESSION and WM_ENDSESSION, sent to every top-level window: the session
// keeps a hidden one of its own to hear them. The same window hears the session being locked
// and unlocked (WM_WTSSESSION_CHANGE) and the display going off and on (WM_POWERBROADCAST), which
// it reports to the engine: nobody sees the screen then. Another program asks the ticker to end by
// sending WM_CLOSE to that window (class "TickerSessionWindow"): the strip closes and saves.
#pragma once

#include "platform/engine/EndOfSession.h"
#include "platform/win32/Win32.h"

namespace platform::win32 {

class Win32Session final : public engine::EndOfSession {
 public:
  // The program's end is the engine's.
  explicit Win32Session(engine::Engine& engine);
  ~Win32Session() override;

  // The hidden window that hears the session's end.
  HWND handle() const { return window_; }

 protected:
  // Every message loop, a message box's included, returns.
  void ExitEventLoops() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HPOWERNOTIFY displayNotice_ = nullptr;
};

}  // namespace platform::win32
