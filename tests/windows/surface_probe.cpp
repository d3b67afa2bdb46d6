// The surface tests' probe over Win32 under Wine: real windows on an X server with a window
// manager, messages sent as the window system sends them; and the test program's main.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/program/Application.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32.h"
#include "surface/SurfaceProbe.h"

namespace platform::surface_test {
namespace {

HWND H(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

WPARAM Held(int buttons) {
  WPARAM held = 0;
  if (buttons & vbLeftButton) held |= MK_LBUTTON;
  if (buttons & vbRightButton) held |= MK_RBUTTON;
  if (buttons & vbMiddleButton) held |= MK_MBUTTON;
  return held;
}

UINT Message(engine::FormEvents::Pointer kind, int button, bool doubleClick) {
  using Pointer = engine::FormEvents::Pointer;
  if (kind == Pointer::Move) return WM_MOUSEMOVE;
  const int index = button == vbLeftButton ? 0 : button == vbRightButton ? 1 : 2;
  static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr UINT kDouble[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
  static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  if (kind == Pointer::Up) return kUp[index];
  return doubleClick ? kDouble[index] : kDown[index];
}

// The tooltip control whose tool is the window, or null.
HWND ToolTipOf(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = s->owner;
        tool.uId = 1;
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 &&
            SendMessageW(hwnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != 0) {
          s->found = hwnd;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Win32Probe final : public SurfaceProbe {
 public:
  bool waitFor(const std::function<bool()>& ready) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready() && std::chrono::steady_clock::now() < end) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      win32::PumpWaitingMessages();
    }
    return ready();
  }

  engine::Pixels clientOnScreen(WindowHandle window) override {
    RECT r{};
    GetClientRect(H(window), &r);
    POINT at{0, 0};
    ClientToScreen(H(window), &at);
    return {at.x, at.y, r.right, r.bottom};
  }

  Color pixel(WindowHandle window, int x, int y) override {
    RedrawWindow(H(window), nullptr, nullptr, RDW_UPDATENOW);
    HDC dc = GetDC(H(window));
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(H(window), dc);
    return color & 0xFFFFFF;
  }

  void mouse(WindowHandle window, engine::FormEvents::Pointer kind, int button, int buttons, int x,
             int y, bool doubleClick) override {
    SendMessageW(H(window), Message(kind, button, doubleClick), Held(buttons),
                 MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
    win32::PumpWaitingMessages();
  }

  std::string toolTipAt(WindowHandle window, int x, int y) override {
    mouse(window, engine::FormEvents::Pointer::Move, 0, 0, x, y, false);
    HWND tip = ToolTipOf(H(window));
    if (tip == nullptr) return {};
    wchar_t shown[1024] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = H(window);
    tool.uId = 1;
    tool.lpszText = shown;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return win32::Narrow(shown);
  }

  bool active(WindowHandle window) override { return GetActiveWindow() == H(window); }
};

}  // namespace

SurfaceProbe& Probe() {
  static Win32Probe probe;
  return probe;
}

}  // namespace platform::surface_test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  platform::InitializeFormEngine();
  return RUN_ALL_TESTS();
}
