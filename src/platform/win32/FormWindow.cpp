#include "platform/win32/FormWindow.h"

#include "platform/win32/GdiPainter.h"
#include "platform/win32/NameForReaders.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/PointerEvents.h"
#include "platform/win32/WindowProc.h"

namespace platform::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"TickerForm";

// WORKAROUND: a window manager may minimise a dialog that offers no minimise box (openbox 3.6
// does). Wine 8 then tells the program nothing and keeps the window shown and not minimised,
// so that nothing can bring it back. With the style's minimise box Wine minimises the window
// as the window manager did; a tool window's caption draws no minimise box, and its system
// menu offers none (see the constructor).
DWORD StyleOf(const Form::Definition& definition) {
  if (definition.borderStyle == BorderStyle::FixedToolWindow) {
    return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  }
  return WS_POPUP | WS_CLIPCHILDREN;
}

DWORD ExStyleOf(const Form::Definition& definition) {
  DWORD ex = WS_EX_CONTROLPARENT;
  // A tool window has no taskbar button; a popup that wants one says so.
  if (definition.borderStyle == BorderStyle::FixedToolWindow || !definition.showInTaskbar) {
    ex |= WS_EX_TOOLWINDOW;
  }
  if (definition.showInTaskbar) ex |= WS_EX_APPWINDOW;
  return ex;
}

}  // namespace

void FormWindow::reportKeyboardWith(HWND window) {
  if (window == nullptr || !IsWindow(window)) return;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  events_.keyboardWith(reinterpret_cast<WindowHandle>(window), process == GetCurrentProcessId());
}

FormWindow::FormWindow(const Form::Definition& definition, engine::FormEvents& events)
    : events_(events),
      style_(StyleOf(definition)),
      exStyle_(ExStyleOf(definition)),
      framed_(definition.borderStyle != BorderStyle::None),
      icons_(definition.icons) {
  static const bool registered = (RegisterWindowClass(kFormClass, &WindowProcOf<FormWindow>, 0,
                                                      LoadCursorW(nullptr, IDC_ARROW)),
                                  true);
  (void)registered;
  CreateWindowExW(exStyle_, kFormClass, Widen(definition.caption).c_str(), style_, 0, 0, 0, 0,
                  nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (HMENU menu = GetSystemMenu(hwnd_, FALSE); menu != nullptr && (style_ & WS_MINIMIZEBOX)) {
    DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
  }
  setIcons();
}

// The icons drawn for the window's dpi, again when it moves to a display of another.
void FormWindow::setIcons() {
  if (icons_.empty()) return;
  const unsigned dpi = DpiOf(hwnd_);
  if (HICON big = IconOf(icons_.front(), dpi); big != nullptr) {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  }
  if (HICON small = IconOf(icons_.back(), dpi); small != nullptr) {
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }
}

FormWindow::~FormWindow() {
  lifetime_.end();
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

FormWindow* FormWindow::FromHandle(HWND hwnd) {
  wchar_t name[16] = {};
  if (hwnd == nullptr || GetClassNameW(hwnd, name, 16) == 0 || lstrcmpW(name, kFormClass) != 0) {
    return nullptr;
  }
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

engine::Pixels FormWindow::frameExtra() const {
  if (!framed_) return {};
  RECT r{0, 0, 100, 100};
  AdjustWindowRectExForDpi(&r, style_, FALSE, exStyle_, dpi());
  return {0, 0, r.right - r.left - 100, r.bottom - r.top - 100};
}

void FormWindow::moveTo(int x, int y) {
  moved_ = true;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void FormWindow::resizeClient(int width, int height) {
  const engine::Pixels extra = frameExtra();
  SetWindowPos(hwnd_, nullptr, 0, 0, width + extra.width, height + extra.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

engine::Pixels FormWindow::frameNow() const {
  RECT r{};
  if (!GetWindowRect(hwnd_, &r)) return {};
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A popup window has no default place of its own (CW_USEDEFAULT puts it at 0, 0): the place
// the window system gives a new overlapped window is asked of a throwaway one.
bool FormWindow::placeByWindowSystem() {
  HWND probe = CreateWindowExW(WS_EX_TOOLWINDOW, kFormClass, L"", WS_OVERLAPPED, CW_USEDEFAULT,
                               CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  if (probe == nullptr) return false;
  RECT r{};
  const bool known = GetWindowRect(probe, &r) != FALSE;
  DestroyWindow(probe);
  if (!known) return false;
  SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void FormWindow::show(bool activate) {
  const bool placedHere = !shownOnce_ && !moved_ && placeByWindowSystem();
  shownOnce_ = true;
  sizeState_ = SizeState::Normal;
  ShowWindow(hwnd_, activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  const engine::Lifetime::Witness alive = lifetime_.witness();
  events_.mapped();
  // Where the window system put it is the form's position.
  if (alive && placedHere) reportMoved();
}

void FormWindow::hide() { ShowWindow(hwnd_, SW_HIDE); }

void FormWindow::setReaderName(const std::string& name) { NameForReaders(hwnd_, Widen(name)); }

// A window the window system reported minimised that is still not iconic (the window manager
// minimised it behind the system's back) is mapped anew: hidden and shown again.
void FormWindow::restore(bool activate) {
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
    ShowWindow(hwnd_, SW_RESTORE);
  } else if (shown() && sizeState_ == SizeState::Minimised) {
    ShowWindow(hwnd_, SW_HIDE);
    ShowWindow(hwnd_, activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  }
  sizeState_ = SizeState::Normal;
}

void FormWindow::activate() {
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

// The later start that asks lent this process the right to take the foreground
// (AllowSetForegroundWindow); Windows has no startup notification to end.
void FormWindow::takeKeyboard(const std::string&) {
  // Windows may not say which window it was in WM_ACTIVATE when another program had it.
  reportKeyboardWith(GetForegroundWindow());
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

void FormWindow::giveKeyboardTo(WindowHandle window) {
  if (const auto other = reinterpret_cast<HWND>(window); IsWindow(other)) {
    SetForegroundWindow(other);
  }
}

void FormWindow::setTopmost(bool topmost) {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// The work area of the screen that shows the middle of the other window, else the primary's.
engine::Pixels FormWindow::workAreaNear(const engine::NativeForm* other) const {
  HMONITOR monitor = nullptr;
  if (other != nullptr) {
    const engine::Pixels frame = other->frameNow();
    monitor = MonitorFromPoint(POINT{frame.left + frame.width / 2, frame.top + frame.height / 2},
                               MONITOR_DEFAULTTONULL);
  }
  if (monitor == nullptr) monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return {};
  const RECT& r = info.rcWork;
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void FormWindow::reportMoved() {
  if (!shown() || IsIconic(hwnd_)) return;
  const engine::Pixels frame = frameNow();
  events_.moved(frame.left, frame.top);
}

// Only a change between minimised, maximised and normal is a change of state; a new size is
// not.
void FormWindow::reportSize(WPARAM type) {
  const SizeState state = type == SIZE_MINIMIZED   ? SizeState::Minimised
                          : type == SIZE_MAXIMIZED ? SizeState::Maximised
                                                   : SizeState::Normal;
  if ((type != SIZE_RESTORED && state == SizeState::Normal) || state == sizeState_) return;
  sizeState_ = state;
  events_.stateChanged();
}

bool FormWindow::pointerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  engine::FormEvents::Pointer kind{};
  bool doubleClick = false;
  if (!PointerKindOf(message, kind, doubleClick)) return false;
  if (message == WM_MOUSEMOVE && !trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    events_.pointerCrossed(true);
  }
  events_.pointer(kind, ButtonOf(message), ButtonsOf(wParam), ModifiersOf(wParam),
                  static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  return true;
}

// The same twips in the new display's pixels, where the system suggests.
void FormWindow::dpiChanged(LPARAM lParam) {
  const auto* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  events_.moved(suggested->left, suggested->top);
  setIcons();
  events_.dpiChanged();
}

// True when the window must not take the focus for itself: the engine gave it back to a
// control.
bool FormWindow::activationChanged(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    events_.deactivated();
    return false;
  }
  // The window that had the keyboard until now, when Windows says which.
  reportKeyboardWith(reinterpret_cast<HWND>(lParam));
  events_.activated();
  return IsChild(hwnd_, GetFocus()) != FALSE;
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (pointerMessage(message, wParam, lParam)) return 0;
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
    case WM_CLOSE: {
      const engine::Lifetime::Witness alive = lifetime_.witness();
      if (events_.closeRequested() && alive) ShowWindow(hwnd_, SW_HIDE);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_WINDOWPOSCHANGED:
      if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOMOVE)) reportMoved();
      break;
    case WM_SIZE:
      reportSize(wParam);
      break;
    case WM_SHOWWINDOW:
      if (wParam == FALSE) events_.stateChanged();
      break;
    case WM_DPICHANGED:
      dpiChanged(lParam);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != hwnd_) break;
      SetCursor(pointer_);
      return TRUE;
    case WM_NOTIFY:
      if (const auto answer = ToolTipControl::Answer(lParam)) return *answer;
      break;
    case WM_CONTEXTMENU:
      // The Menu key (Shift+F10 comes as a key, see dialogMessage); a right-click is a
      // pointer event of its own.
      if (lParam == -1 && events_.key(engine::Key::Menu, 0)) return 0;
      break;
    case WM_ACTIVATE:
      if (activationChanged(wParam, lParam)) return 0;
      break;
    case WM_COMMAND:
      onCommand(wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace platform::win32
