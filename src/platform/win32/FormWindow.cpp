#include "platform/win32/FormWindow.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/PictureBoxWindow.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/PointerEvents.h"

namespace platform::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"TickerForm";

std::vector<FormWindow*>& Registry() {
  static std::vector<FormWindow*> forms;
  return forms;
}

}  // namespace

void FormWindow::RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &FormWindow::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

FormWindow::FormWindow(Form& form, const Form::Definition& definition)
    : form_(form),
      borderStyle_(definition.borderStyle),
      startUpPosition_(definition.startUpPosition),
      showInTaskbar_(definition.showInTaskbar),
      activateOnShow_(definition.activateOnShow),
      width_(definition.clientWidth),
      height_(definition.clientHeight),
      backColor_(definition.backColor) {
  RegisterClassOnce();
  const unsigned dpi = DpiOf(nullptr);
  const SIZE extra = frameExtra(dpi);
  hwnd_ = CreateWindowExW(exStyle(), kFormClass, Widen(definition.caption).c_str(), style(), 0, 0,
                          ToPixels(width_, dpi) + extra.cx, ToPixels(height_, dpi) + extra.cy,
                          nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!definition.icons.empty()) {
    // The first icon is the large one, the last the small one.
    bigIcon_ = IconOf(definition.icons.front());
    smallIcon_ = IconOf(definition.icons.back());
    if (bigIcon_ != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, (LPARAM)bigIcon_);
    if (smallIcon_ != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, (LPARAM)smallIcon_);
  }
  // The size asked in twips, in the pixels of the display the window is on.
  applyGeometry(false, true);
  Registry().push_back(this);
}

FormWindow::~FormWindow() {
  *alive_ = false;
  auto& forms = Registry();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

std::vector<FormWindow*> FormWindow::All() { return Registry(); }

FormWindow* FormWindow::FromHandle(HWND hwnd) {
  for (FormWindow* form : Registry()) {
    if (form->hwnd_ == hwnd) return form;
  }
  return nullptr;
}

DWORD FormWindow::style() const {
  if (borderStyle_ == BorderStyle::FixedToolWindow) {
    return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  }
  return WS_POPUP | WS_CLIPCHILDREN;
}

DWORD FormWindow::exStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  // A tool window has no taskbar button; a popup that wants one says so.
  if (borderStyle_ == BorderStyle::FixedToolWindow || !showInTaskbar_) ex |= WS_EX_TOOLWINDOW;
  if (showInTaskbar_) ex |= WS_EX_APPWINDOW;
  return ex;
}

SIZE FormWindow::frameExtra(unsigned dpi) const {
  if (borderStyle_ == BorderStyle::None) return {0, 0};
  RECT r{0, 0, 100, 100};
  AdjustWindowRectExForDpi(&r, style(), FALSE, exStyle(), dpi);
  return {r.right - r.left - 100, r.bottom - r.top - 100};
}

Twips FormWindow::frameExtraWidth() const { return ToTwips(frameExtra(dpi()).cx, dpi()); }
Twips FormWindow::frameExtraHeight() const { return ToTwips(frameExtra(dpi()).cy, dpi()); }

int FormWindow::clientPixelWidth() const { return std::max(0, ToPixels(width_, dpi())); }
int FormWindow::clientPixelHeight() const { return std::max(0, ToPixels(height_, dpi())); }

void FormWindow::applyGeometry(bool move, bool size) {
  const unsigned d = dpi();
  const SIZE extra = frameExtra(d);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  if (!move) flags |= SWP_NOMOVE;
  if (!size) flags |= SWP_NOSIZE;
  applying_ = true;
  SetWindowPos(hwnd_, nullptr, ToPixels(left_, d), ToPixels(top_, d), clientPixelWidth() + extra.cx,
               clientPixelHeight() + extra.cy, flags);
  applying_ = false;
}

void FormWindow::setPosition(Twips left, Twips top) {
  left_ = left;
  top_ = top;
  positionSet_ = true;
  applyGeometry(true, false);
}

void FormWindow::setClientSize(Twips width, Twips height) {
  width_ = width;
  height_ = height;
  applyGeometry(false, true);
  layOutPictureBoxes(0);
}

void FormWindow::setBackColor(Color value) {
  backColor_ = value;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::ensureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  if (EventHandler load = form_.Load) load();
}

void FormWindow::showForm() {
  const std::shared_ptr<bool> alive = alive_;
  ensureLoaded();
  if (!*alive || Ending()) return;
  closed_ = false;
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  if (!visible()) {
    if (!shownOnce_ && startUpPosition_ == StartUpPosition::CenterScreen) {
      centreOnScreen();
    } else if (!shownOnce_ && !positionSet_) {
      placeByWindowSystem();
    }
    if (positionSet_) applyGeometry(true, false);
    shownOnce_ = true;
    ShowWindow(hwnd_, activateOnShow_ ? SW_SHOW : SW_SHOWNOACTIVATE);
  }
  if (activateOnShow_) takeKeyboard();
}

void FormWindow::hideForm() { ShowWindow(hwnd_, SW_HIDE); }

void FormWindow::takeKeyboard() {
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  std::vector<const Control*> stops;
  for (const Control& control : controls_) {
    if (control.takesFocus) stops.push_back(&control);
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
  for (const Control* stop : stops) {
    if (IsWindowEnabled(stop->hwnd) && IsWindowVisible(stop->hwnd)) {
      SetFocus(stop->hwnd);
      lastFocus_ = stop->hwnd;
      break;
    }
  }
}

// The whole window, frame included, in the middle of the work area of the screen that holds
// the program's other shown window (the one the user is working with), else of the primary
// screen.
void FormWindow::centreOnScreen() {
  HMONITOR monitor = nullptr;
  for (const FormWindow* other : All()) {
    if (other == this || !other->visible()) continue;
    monitor = MonitorFromWindow(other->hwnd_, MONITOR_DEFAULTTONULL);
    if (monitor != nullptr) break;
  }
  if (monitor == nullptr) monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return;
  const RECT area = info.rcWork;
  const unsigned d = dpi();
  const SIZE extra = frameExtra(d);
  const int width = clientPixelWidth() + extra.cx;
  const int height = clientPixelHeight() + extra.cy;
  left_ = ToTwips(area.left + (area.right - area.left - width) / 2, d);
  top_ = ToTwips(area.top + (area.bottom - area.top - height) / 2, d);
  positionSet_ = true;
}

// A popup window has no default place of its own (CW_USEDEFAULT puts it at 0, 0): the place
// the window system gives a new overlapped window is asked of a throwaway one.
void FormWindow::placeByWindowSystem() {
  HWND probe = CreateWindowExW(WS_EX_TOOLWINDOW, kFormClass, L"", WS_OVERLAPPED, CW_USEDEFAULT,
                               CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  if (probe == nullptr) return;
  RECT r{};
  const bool known = GetWindowRect(probe, &r) != FALSE;
  DestroyWindow(probe);
  if (!known) return;
  left_ = ToTwips(r.left, dpi());
  top_ = ToTwips(r.top, dpi());
  positionSet_ = true;
}

bool FormWindow::requestClose(int unloadMode) {
  const std::shared_ptr<bool> alive = alive_;
  closeReason_ = unloadMode;
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  if (!*alive) return true;
  closeReason_ = vbFormControlMenu;
  return closed_;
}

void FormWindow::onClose() {
  const int reason = closeReason_;
  closeReason_ = vbFormControlMenu;
  int cancel = 0;
  const std::shared_ptr<bool> alive = alive_;
  if (QueryUnloadHandler handler = form_.QueryUnload) handler(cancel, reason);
  if (!*alive || cancel != 0) return;
  ShowWindow(hwnd_, SW_HIDE);
  closed_ = true;
}

void FormWindow::setTopmost(bool topmost) {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void FormWindow::addImage(const Image& image) {
  images_.push_back(
      {"", image.Left(), image.Top(), image.Width(), image.Height(), image.Picture()});
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::addPictureBox(PictureBoxWindow* box) {
  boxes_.push_back(box);
  layOutPictureBoxes(boxes_.size() - 1);
}

void FormWindow::removePictureBox(PictureBoxWindow* box) {
  auto found = std::find(boxes_.begin(), boxes_.end(), box);
  if (found == boxes_.end()) return;
  const auto index = static_cast<std::size_t>(found - boxes_.begin());
  boxes_.erase(found);
  layOutPictureBoxes(index);
}

void FormWindow::pictureBoxChanged(PictureBoxWindow* box) {
  auto found = std::find(boxes_.begin(), boxes_.end(), box);
  if (found != boxes_.end()) layOutPictureBoxes(static_cast<std::size_t>(found - boxes_.begin()));
}

void FormWindow::layOutPictureBoxes(std::size_t from) {
  for (std::size_t i = from; i < boxes_.size(); ++i) boxes_[i]->layOut();
}

int FormWindow::addControl(HWND control, int tabIndex, bool takesFocus,
                           std::function<void(int)> onCommand) {
  const int id = nextControlId_++;
  SetWindowLongPtrW(control, GWLP_ID, id);
  controls_.push_back({control, id, tabIndex, takesFocus, false, false, std::move(onCommand)});
  // Later controls lie behind earlier ones; the tab order is the stacking order of the
  // controls that take the focus, by their index.
  SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (takesFocus) {
    std::vector<const Control*> stops;
    for (const Control& c : controls_) {
      if (c.takesFocus) stops.push_back(&c);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    HWND after = HWND_TOP;
    for (const Control* stop : stops) {
      SetWindowPos(stop->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = stop->hwnd;
    }
  }
  return id;
}

void FormWindow::removeControl(HWND control) {
  controls_.erase(std::remove_if(controls_.begin(), controls_.end(),
                                 [control](const Control& c) { return c.hwnd == control; }),
                  controls_.end());
  if (lastFocus_ == control) lastFocus_ = nullptr;
}

void FormWindow::setButtonRole(HWND button, bool isDefault, bool isCancel) {
  for (Control& control : controls_) {
    if (control.hwnd == button) {
      control.isDefault = isDefault;
      control.isCancel = isCancel;
    }
  }
}

// Enter presses the focused button, else the default one.
int FormWindow::defaultButtonId() const {
  const HWND focus = GetFocus();
  for (const Control& control : controls_) {
    if (control.hwnd == focus && (control.isDefault || control.isCancel || control.onCommand)) {
      wchar_t className[16] = {};
      GetClassNameW(focus, className, 16);
      if (lstrcmpiW(className, L"Button") == 0) return control.id;
    }
  }
  for (const Control& control : controls_) {
    if (control.isDefault && IsWindowEnabled(control.hwnd) && IsWindowVisible(control.hwnd)) {
      return control.id;
    }
  }
  return 0;
}

void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0 || id == IDOK || id == IDCANCEL) {
    // The dialog keys: Enter (when no button is the default) and Escape.
    for (const Control& control : controls_) {
      if (id == IDCANCEL && control.isCancel && IsWindowEnabled(control.hwnd) &&
          IsWindowVisible(control.hwnd)) {
        SendMessageW(control.hwnd, BM_CLICK, 0, 0);
        return;
      }
    }
    if (lParam == 0) return;
  }
  for (const Control& control : controls_) {
    if (control.id == id) {
      if (std::function<void(int)> handler = control.onCommand) handler(code);
      return;
    }
  }
}

void FormWindow::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  HBRUSH brush = CreateSolidBrush(ColorRefOf(backColor_));
  FillRect(dc, &ps.rcPaint, brush);
  DeleteObject(brush);
  const unsigned d = dpi();
  for (const Image::Definition& image : images_) {
    HBITMAP bitmap = BitmapOf(image.picture);
    if (bitmap == nullptr) continue;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, ToPixels(image.left, d), ToPixels(image.top, d), ToPixels(image.width, d),
           ToPixels(image.height, d), memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  EndPaint(hwnd_, &ps);
}

void FormWindow::onMoved() {
  // Nobody moves a hidden window; the engine's own moves are what the program set.
  if (applying_ || !visible() || IsIconic(hwnd_)) return;
  RECT r{};
  if (!GetWindowRect(hwnd_, &r)) return;
  const unsigned d = dpi();
  if (r.left == ToPixels(left_, d) && r.top == ToPixels(top_, d)) return;
  // The user or the window system moved the window: that is its position now.
  left_ = ToTwips(r.left, d);
  top_ = ToTwips(r.top, d);
}

void FormWindow::deliverMouse(const MouseHandler& handler, int button, WPARAM wParam,
                              LPARAM lParam) {
  if (!handler) return;
  const unsigned d = dpi();
  MouseHandler call = handler;
  call(button, ShiftOf(wParam), ToTwips(static_cast<short>(LOWORD(lParam)), d),
       ToTwips(static_cast<short>(HIWORD(lParam)), d));
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<FormWindow*>(create->lpCreateParams);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    ReportFailure(std::current_exception());
    return 0;
  }
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint();
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE)) onMoved();
      break;
    }
    case WM_DPICHANGED: {
      // The same twips in the new display's pixels, where the system suggests.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      left_ = ToTwips(suggested->left, HIWORD(wParam));
      top_ = ToTwips(suggested->top, HIWORD(wParam));
      applyGeometry(true, true);
      layOutPictureBoxes(0);
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      // A window that handles no key does not take the keyboard when it is clicked.
      if (!activateOnShow_) return MA_NOACTIVATE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case DM_GETDEFID:
      if (const int id = defaultButtonId(); id != 0) return MAKELRESULT(id, DC_HASDEFID);
      return 0;
    case WM_COMMAND:
      onCommand(wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int button = ButtonOf(message);
      if (buttonsHeld_ == 0) SetCapture(hwnd_);
      buttonsHeld_ |= button;
      deliverMouse(form_.MouseDown, button, wParam, lParam);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int button = ButtonOf(message);
      buttonsHeld_ = ButtonsOf(wParam);
      if (buttonsHeld_ == 0 && GetCapture() == hwnd_) ReleaseCapture();
      deliverMouse(form_.MouseUp, button, wParam, lParam);
      return 0;
    }
    case WM_CAPTURECHANGED:
      buttonsHeld_ = 0;
      return 0;
    case WM_MOUSEMOVE:
      deliverMouse(form_.MouseMove, ButtonsOf(wParam), wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace platform::win32
