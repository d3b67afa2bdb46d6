#include "platform/win32/PictureBoxWindow.h"

#include "platform/engine/BoxCore.h"
#include "platform/engine/FormCore.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/GdiPainter.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/PointerEvents.h"
#include "platform/win32/ReaderObjects.h"
#include "platform/win32/WindowProc.h"

namespace platform::win32 {

namespace {

constexpr const wchar_t* kPictureBoxClass = L"TickerPictureBox";

}  // namespace

PictureBoxWindow::PictureBoxWindow(FormWindow& form, const char* name, engine::BoxEvents& events,
                                   engine::AccessibleModel& reader)
    : form_(form), events_(events), accessible_(hwnd_, reader) {
  // Double-clicks on the title picture reload the feed; the pointer is set at every
  // WM_SETCURSOR.
  static const bool registered =
      (RegisterWindowClass(kPictureBoxClass, &WindowProcOf<PictureBoxWindow>, CS_DBLCLKS, nullptr),
       true);
  (void)registered;
  CreateWindowExW(0, kPictureBoxClass, Widen(name).c_str(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                  form.hwnd(), nullptr, GetModuleHandleW(nullptr), this);
  form_.addControl(hwnd_, nullptr);
}

PictureBoxWindow::~PictureBoxWindow() {
  form_.removeControl(hwnd_);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void PictureBoxWindow::place(const engine::Pixels& part) {
  if (part.empty()) {
    ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  SetWindowPos(hwnd_, nullptr, part.left, part.top, part.width, part.height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// The pixels already drawn move; only the uncovered columns are painted.
void PictureBoxWindow::scroll(int dx, int dy) {
  ScrollWindowEx(hwnd_, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

// Windows keeps a flag that screen readers set while they run. Other assistive programs, and
// readers where nothing sets the flag (Wine), count while they read the box.
bool PictureBoxWindow::readerAttached() const {
  BOOL running = FALSE;
  if (SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) != FALSE && running != FALSE) {
    return true;
  }
  return accessible_.usedRecently();
}

void PictureBoxWindow::accessibleChanged(const std::vector<engine::AccessibleEvent>& events) {
  accessible_.tell(events);
}

LRESULT PictureBoxWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  engine::FormEvents::Pointer kind{};
  bool doubleClick = false;
  if (PointerKindOf(message, kind, doubleClick)) {
    if (message == WM_MOUSEMOVE) toolTip_.relay(message, wParam, lParam);
    if (message == WM_MOUSEMOVE && !trackingLeave_) {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
      trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      events_.pointerCrossed(true);
    }
    events_.pointer(kind, ButtonOf(message), ButtonsOf(wParam), ModifiersOf(wParam),
                    static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                    doubleClick);
    return 0;
  }
  switch (message) {
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      events_.pointerCrossed(false);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintWindow(hwnd_, [this](engine::Painter& painter, const engine::Pixels& dirty) {
        events_.paint(painter, dirty);
      });
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(pointer_);
      return TRUE;
    case WM_NOTIFY:
      if (const auto answer = ToolTipControl::Answer(lParam)) return *answer;
      break;
    case WM_GETOBJECT:
      if (!AsksFor(lParam, OBJID_CLIENT)) break;
      if (const LRESULT answer = accessible_.answer(wParam); answer != 0) return answer;
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd_) events_.captureLost();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace platform::win32
