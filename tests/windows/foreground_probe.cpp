// Shows what Wine does when a program that is not active brings up its dialog the way Windows
// asks (SetForegroundWindow, SetActiveWindow, SetFocus), outside the ticker: a topmost strip
// that never activates, and a fixed tool-window dialog with an edit box. A right-click on the
// strip shows the dialog; each fact goes to stdout as one line for foreground_probe.py:
//   READY                        both windows exist, the strip is shown
//   CALLS fg=B active=B focus=B  what the three calls returned (1 = success)
//   NOW foreground=B focus=B     right after the calls: the dialog is the foreground window,
//                                the edit box has the focus
//   LATER foreground=B focus=B   the same once the X server's answers have been handled
//   EDIT text                    the edit box's text, at every change
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT_PTR kLaterTimer = 1;
constexpr int kEditId = 100;
HWND strip = nullptr;
HWND dialog = nullptr;
HWND edit = nullptr;

void Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Facts() {
  return std::string("foreground=") + (GetForegroundWindow() == dialog ? "1" : "0") +
         " focus=" + (GetFocus() == edit ? "1" : "0");
}

void ShowDialog() {
  ShowWindow(dialog, SW_SHOW);
  const bool fg = SetForegroundWindow(dialog) != FALSE;
  const bool active = SetActiveWindow(dialog) != nullptr;
  const bool focus = SetFocus(edit) != nullptr || GetFocus() == edit;
  Say(std::string("CALLS fg=") + (fg ? "1" : "0") + " active=" + (active ? "1" : "0") +
      " focus=" + (focus ? "1" : "0"));
  Say("NOW " + Facts());
  SetTimer(dialog, kLaterTimer, 1000, nullptr);
}

LRESULT CALLBACK StripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_RBUTTONUP:
      ShowDialog();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      EndPaint(hwnd, &paint);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      KillTimer(hwnd, kLaterTimer);
      Say("LATER " + Facts());
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
        char text[256] = {};
        GetWindowTextA(edit, text, sizeof text);
        Say(std::string("EDIT ") + text);
      }
      return 0;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND Make(const wchar_t* cls, WNDPROC proc, DWORD ex, DWORD style, const wchar_t* title, int x,
          int y, int w, int h) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = cls;
  RegisterClassW(&wc);
  return CreateWindowExW(ex, cls, title, style, x, y, w, h, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

}  // namespace

int main() {
  strip = Make(L"ProbeStrip", StripProc, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP, L"ProbeStrip",
               100, 100, 545, 16);
  dialog = Make(L"ProbeDialog", DialogProc, WS_EX_TOOLWINDOW, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                L"Probe : Options", 200, 200, 400, 120);
  if (strip == nullptr || dialog == nullptr) return 1;
  edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20,
                         360, 24, dialog, reinterpret_cast<HMENU>(kEditId),
                         GetModuleHandleW(nullptr), nullptr);
  ShowWindow(strip, SW_SHOWNOACTIVATE);
  UpdateWindow(strip);
  Say("READY");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
