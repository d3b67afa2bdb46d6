#include "platform/win32/PictureBoxWindow.h"

#include <algorithm>

#include "platform/win32/FormWindow.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/PointerEvents.h"
#include "platform/win32/ToolTipText.h"

namespace platform::win32 {

namespace {

constexpr const wchar_t* kPictureBoxClass = L"TickerPictureBox";
// Posted to itself after the box moved under a still pointer.
constexpr UINT kHoverCheck = WM_APP + 1;
// Long captions whose display text and pieces are kept: more than a window's width of labels
// ever shows.
constexpr std::size_t kMaxCachedCaptions = 16;
// Pieces of a long caption are drawn this far, in pixels, beyond the dirty columns: glyphs
// may reach beyond their advance.
constexpr int kSliceMargin = 64;

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void PictureBoxWindow::RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    // Double-clicks on the title picture reload the feed.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &PictureBoxWindow::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = nullptr;  // set at every WM_SETCURSOR: the label's pointer or the arrow
    wc.lpszClassName = kPictureBoxClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

PictureBoxWindow::PictureBoxWindow(FormWindow& form, PictureBox& box,
                                   const PictureBox::Definition& definition)
    : form_(form),
      box_(box),
      area_{definition.left, definition.top, definition.width, definition.height},
      backColor_(definition.backColor),
      foreColor_(definition.foreColor),
      picture_(definition.picture),
      toolTip_(definition.toolTipText),
      font_(definition.font) {
  RegisterClassOnce();
  hwnd_ = CreateWindowExW(0, kPictureBoxClass, Widen(definition.name).c_str(),
                          WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, form.handle(), nullptr,
                          GetModuleHandleW(nullptr), this);
  form_.addControl(hwnd_, 0, false, nullptr);
  form_.addPictureBox(this);
}

PictureBoxWindow::~PictureBoxWindow() {
  *alive_ = false;
  form_.removeControl(hwnd_);
  form_.removePictureBox(this);
  if (toolTip_hwnd_ != nullptr) DestroyWindow(toolTip_hwnd_);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

unsigned PictureBoxWindow::dpi() const { return form_.dpi(); }

void PictureBoxWindow::setArea(const RectTwips& area) {
  const bool moved = area.left != area_.left || area.top != area_.top;
  area_ = area;
  form_.pictureBoxChanged(this);
  if (moved) scheduleHoverCheck();
}

void PictureBoxWindow::setBackColor(Color value) {
  backColor_ = value;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBoxWindow::setPicture(const StdPicture& value) {
  picture_ = value;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBoxWindow::setToolTip(const std::string& value) {
  toolTip_ = value;
  if (hoverKnown_ && hovered_.labels == nullptr) updateToolTip(hovered_);
}

RECT PictureBoxWindow::logicalRect() const {
  const unsigned d = dpi();
  const int left = ToPixels(area_.left, d);
  const int top = ToPixels(area_.top, d);
  return {left, top, left + std::max(0, ToPixels(area_.width, d)),
          top + std::max(0, ToPixels(area_.height, d))};
}

void PictureBoxWindow::layOut() {
  const RECT logical = logicalRect();
  const RECT client{0, 0, form_.clientPixelWidth(), form_.clientPixelHeight()};
  RECT part{};
  if (!IntersectRect(&part, &logical, &client)) part = {0, 0, 0, 0};
  // A box in front that covers a whole side needs no pixels of this one under it; without
  // that overlap the pixels of this window can be scrolled.
  for (PictureBoxWindow* front : form_.pictureBoxes()) {
    if (front == this) break;
    const RECT cover = front->visiblePart_;
    if (Empty(cover) || Empty(part)) continue;
    if (cover.top > part.top || cover.bottom < part.bottom) continue;
    if (cover.left <= part.left && cover.right > part.left) {
      part.left = cover.right;
    } else if (cover.right >= part.right && cover.left < part.right) {
      part.right = cover.left;
    }
  }
  if (Empty(part)) {
    visiblePart_ = {0, 0, 0, 0};
    ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  const POINT offset{part.left - logical.left, part.top - logical.top};
  const bool shown =
      IsWindowVisible(hwnd_) != FALSE || (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
  if (Same(part, visiblePart_) && shown) {
    const int dx = offset_.x - offset.x;
    const int dy = offset_.y - offset.y;
    offset_ = offset;
    if (dx != 0 || dy != 0) {
      // The pixels already drawn move; only the exposed columns are painted.
      ScrollWindowEx(hwnd_, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    }
    return;
  }
  visiblePart_ = part;
  offset_ = offset;
  SetWindowPos(hwnd_, nullptr, part.left, part.top, part.right - part.left, part.bottom - part.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (toolTip_hwnd_ != nullptr && hoverKnown_) updateToolTip(hovered_);
}

void PictureBoxWindow::attach(LabelArray* labels) {
  arrays_.push_back(labels);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBoxWindow::detach(LabelArray* labels) {
  arrays_.erase(std::remove(arrays_.begin(), arrays_.end(), labels), arrays_.end());
  if (capture_.labels == labels) capture_ = {};
  if (hovered_.labels == labels) hovered_ = {};
  captionChanged(labels, -1);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBoxWindow::labelsChanged(const RectTwips& area) {
  if (Empty(visiblePart_) || area.width <= 0 || area.height <= 0) return;
  const unsigned d = dpi();
  // Most labels of a long row lie outside the window: tell that in twips, cheaply.
  const double twipsPerPixel = 1440.0 / d;
  const double shownFrom = (offset_.x - 2.0) * twipsPerPixel;
  const double shownTo =
      (offset_.x + (visiblePart_.right - visiblePart_.left) + 2.0) * twipsPerPixel;
  if (area.left > shownTo || static_cast<double>(area.left) + area.width < shownFrom) return;
  // One pixel more on each side covers the rounding of the edges.
  RECT local{ToPixels(area.left, d) - 1 - offset_.x, ToPixels(area.top, d) - 1 - offset_.y, 0, 0};
  local.right = local.left + ToPixels(area.width, d) + 3;
  local.bottom = local.top + ToPixels(area.height, d) + 3;
  InvalidateRect(hwnd_, &local, FALSE);
}

void PictureBoxWindow::captionChanged(const LabelArray* labels, int index) {
  captions_.erase(std::remove_if(captions_.begin(), captions_.end(),
                                 [&](const CaptionCache& entry) {
                                   return entry.labels == labels &&
                                          (index < 0 || entry.index == index);
                                 }),
                  captions_.end());
  if (hoverKnown_ && hovered_.labels == labels && (index < 0 || hovered_.index == index)) {
    updateToolTip(hovered_);
  }
}

bool PictureBoxWindow::isAttached(const LabelArray* labels) const {
  return std::find(arrays_.begin(), arrays_.end(), labels) != arrays_.end();
}

void PictureBoxWindow::twipsAt(int x, int y, Twips& tx, Twips& ty) const {
  const unsigned d = dpi();
  tx = ToTwips(x + offset_.x, d);
  ty = ToTwips(y + offset_.y, d);
}

PictureBoxWindow::Target PictureBoxWindow::targetAt(Twips x, Twips y) const {
  for (auto it = arrays_.rbegin(); it != arrays_.rend(); ++it) {
    const int index = (*it)->HitTest(x, y);
    if (index >= 0) return {*it, index};
  }
  return {};
}

const LabelState* PictureBoxWindow::labelOf(const Target& target) const {
  if (target.labels == nullptr || !isAttached(target.labels) ||
      !target.labels->IsLoaded(target.index)) {
    return nullptr;
  }
  return &target.labels->elements()[static_cast<std::size_t>(target.index)].state;
}

RECT PictureBoxWindow::localRect(const LabelState& label) const {
  const unsigned d = dpi();
  const int left = ToPixels(label.left, d) - offset_.x;
  const int top = ToPixels(label.top, d) - offset_.y;
  return {left, top, left + std::max(0, ToPixels(label.width, d)),
          top + std::max(0, ToPixels(label.height, d))};
}

void PictureBoxWindow::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  const RECT dirty = ps.rcPaint;
  const int width = dirty.right - dirty.left;
  const int height = dirty.bottom - dirty.top;
  if (width > 0 && height > 0) {
    // Drawn off screen, then copied at once: no flicker of the background under the text.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP surface = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldSurface = SelectObject(memory, surface);
    SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
    HBRUSH brush = CreateSolidBrush(ColorRefOf(backColor_));
    FillRect(memory, &dirty, brush);
    DeleteObject(brush);
    if (HBITMAP bitmap = BitmapOf(picture_); bitmap != nullptr) {
      BITMAP info{};
      GetObjectW(bitmap, sizeof(info), &info);
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, bitmap);
      BitBlt(memory, -offset_.x, -offset_.y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
    drawLabels(memory, dirty);
    SetViewportOrgEx(memory, 0, 0, nullptr);
    BitBlt(dc, dirty.left, dirty.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldSurface);
    DeleteObject(surface);
    DeleteDC(memory);
  }
  EndPaint(hwnd_, &ps);
}

const std::wstring& PictureBoxWindow::displayOf(const LabelArray* labels, int index,
                                                const FontEntry& font,
                                                const std::vector<FontEntry::Piece>** pieces) {
  const std::string& caption = labels->elements()[static_cast<std::size_t>(index)].state.caption;
  if (caption.size() <= FontEntry::kWholeLimit) {
    shortText_ = FontEntry::DisplayText(caption);
    wholePiece_.assign(1, FontEntry::Piece{0, shortText_.size(), 0});
    *pieces = &wholePiece_;
    return shortText_;
  }
  ++captionClock_;
  for (CaptionCache& entry : captions_) {
    if (entry.labels == labels && entry.index == index) {
      if (entry.data != caption.data() || entry.size != caption.size() || entry.font != &font) {
        entry.data = caption.data();
        entry.size = caption.size();
        entry.font = &font;
        entry.text = FontEntry::DisplayText(caption);
        font.layOut(entry.text, entry.pieces);
      }
      entry.used = captionClock_;
      *pieces = &entry.pieces;
      return entry.text;
    }
  }
  if (captions_.size() >= kMaxCachedCaptions) {
    captions_.erase(std::min_element(
        captions_.begin(), captions_.end(),
        [](const CaptionCache& a, const CaptionCache& b) { return a.used < b.used; }));
  }
  CaptionCache& entry = captions_.emplace_back(CaptionCache{labels,
                                                            index,
                                                            caption.data(),
                                                            caption.size(),
                                                            &font,
                                                            FontEntry::DisplayText(caption),
                                                            {},
                                                            captionClock_});
  font.layOut(entry.text, entry.pieces);
  *pieces = &entry.pieces;
  return entry.text;
}

void PictureBoxWindow::drawLabels(HDC dc, const RECT& dirty) {
  const unsigned d = dpi();
  // Only the labels whose extent meets the dirty columns (one pixel of slack for rounding).
  const Twips from = ToTwips(dirty.left + offset_.x - 1, d);
  const Twips to = ToTwips(dirty.right + 1 + offset_.x, d);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  for (LabelArray* labels : arrays_) {
    labels->LabelsBetween(from, to, paintList_);
    const FontEntry& font = FontOf(labels->font(), d);
    HGDIOBJ oldFont = SelectObject(dc, font.handle());
    for (const int index : paintList_) {
      const LabelState& label = labels->elements()[static_cast<std::size_t>(index)].state;
      const RECT box = localRect(label);
      RECT clip{};
      if (!IntersectRect(&clip, &box, &dirty) || label.caption.empty()) continue;
      SetTextColor(dc, ColorRefOf(label.foreColor));
      const std::vector<FontEntry::Piece>* pieces = nullptr;
      const std::wstring& text = displayOf(labels, index, font, &pieces);
      // Only the pieces near the dirty columns, each where it stands in the whole line.
      const long long fromX = dirty.left - box.left - kSliceMargin;
      const long long toX = dirty.right - box.left + kSliceMargin;
      auto piece = std::upper_bound(pieces->begin(), pieces->end(), fromX,
                                    [](long long x, const FontEntry::Piece& p) { return x < p.x; });
      if (piece != pieces->begin()) --piece;
      for (; piece != pieces->end() && piece->x < toX; ++piece) {
        ExtTextOutW(dc, box.left + static_cast<int>(piece->x), box.top, ETO_CLIPPED, &clip,
                    text.data() + piece->begin, static_cast<UINT>(piece->end - piece->begin),
                    nullptr);
      }
    }
    SelectObject(dc, oldFont);
  }
}

void PictureBoxWindow::makeToolTip() {
  if (toolTip_hwnd_ != nullptr) return;
  // Shown whatever window is active (the strip seldom is); an "&" is shown as it stands.
  toolTip_hwnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  if (toolTip_hwnd_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = hwnd_;
  tool.uId = 1;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  GetClientRect(hwnd_, &tool.rect);
  SendMessageW(toolTip_hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // Lines break where the text breaks them, not at the control's own width.
  SendMessageW(toolTip_hwnd_, TTM_SETMAXTIPWIDTH, 0, 4096);
}

// The tool is the hovered label's rectangle (or the whole box), with the text it shows: moving
// onto another label leaves the tool and starts the tooltip's delay again.
void PictureBoxWindow::updateToolTip(const Target& target) {
  makeToolTip();
  if (toolTip_hwnd_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = hwnd_;
  tool.uId = 1;
  if (const LabelState* label = labelOf(target)) {
    tipText_ = ToolTipText(Widen(label->toolTipText));
    tool.rect = localRect(*label);
  } else {
    tipText_ = target.labels == nullptr ? ToolTipText(Widen(toolTip_)) : std::wstring();
    GetClientRect(hwnd_, &tool.rect);
  }
  SendMessageW(toolTip_hwnd_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  if (tipText_.empty()) SendMessageW(toolTip_hwnd_, TTM_POP, 0, 0);
  SendMessageW(toolTip_hwnd_, TTM_UPDATE, 0, 0);
}

void PictureBoxWindow::hover(const Target& target) {
  if (!hoverKnown_ || !(target == hovered_)) {
    hoverKnown_ = true;
    hovered_ = target;
    if (toolTip_hwnd_ != nullptr) SendMessageW(toolTip_hwnd_, TTM_POP, 0, 0);
    updateToolTip(target);
  }
  const LabelState* label = labelOf(target);
  const bool custom = label != nullptr && label->mousePointer == vbCustom;
  HCURSOR pointer = custom ? CursorOf(target.labels->mouseIcon()) : LoadCursorW(nullptr, IDC_ARROW);
  customPointer_ = custom;
  if (pointer != pointer_) {
    pointer_ = pointer;
    SetCursor(pointer_);
  }
}

void PictureBoxWindow::scheduleHoverCheck() {
  if (hoverCheckPending_ || !IsWindowVisible(hwnd_)) return;
  hoverCheckPending_ = true;
  // As the window system does, after the move has been handled: handlers run one at a time.
  PostMessageW(hwnd_, kHoverCheck, 0, 0);
}

void PictureBoxWindow::checkHover() {
  // A held button keeps the pointer's events with the control that was pressed.
  if (!IsWindowVisible(hwnd_) || captured_ || GetKeyState(VK_LBUTTON) < 0 ||
      GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0) {
    return;
  }
  POINT pt{};
  if (!::GetCursorPos(&pt)) return;
  // Only when the pointer is over this very box: not over a control in front of it, nor over
  // another program's window that covers it.
  if (::WindowFromPoint(pt) != hwnd_) return;
  ScreenToClient(hwnd_, &pt);
  Twips x = 0, y = 0;
  twipsAt(pt.x, pt.y, x, y);
  const Target target = targetAt(x, y);
  if (hoverKnown_ && target == hovered_) return;
  hover(target);
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  deliver(target, Kind::Move, 0, shift, x, y);
}

void PictureBoxWindow::deliver(const Target& target, Kind kind, int button, int shift, Twips x,
                               Twips y) {
  if (target.labels != nullptr) {
    // A label that went away while it held the pointer gets nothing more.
    const LabelState* label = labelOf(target);
    if (label == nullptr) return;
    const IndexedMouseHandler& handler = kind == Kind::Down   ? target.labels->MouseDown
                                         : kind == Kind::Move ? target.labels->MouseMove
                                                              : target.labels->MouseUp;
    if (!handler) return;
    IndexedMouseHandler call = handler;
    call(target.index, button, shift, x - label->left, y - label->top);
    return;
  }
  const MouseHandler& handler = kind == Kind::Down   ? box_.MouseDown
                                : kind == Kind::Move ? box_.MouseMove
                                                     : box_.MouseUp;
  if (!handler) return;
  MouseHandler call = handler;
  call(button, shift, x, y);
}

void PictureBoxWindow::press(UINT message, WPARAM wParam, LPARAM lParam, bool doubleClick) {
  const int button = ButtonOf(message);
  if (button == 0) return;
  Twips x = 0, y = 0;
  twipsAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), x, y);
  // The first button pressed decides which control holds the pointer until all are up.
  const bool firstButton = (ButtonsOf(wParam) & ~button) == 0;
  if (firstButton || !captured_) {
    capture_ = targetAt(x, y);
    captured_ = true;
    SetCapture(hwnd_);
  }
  const Target target = capture_;
  // The second press of a double-click is a double-click, not a press: a label has no
  // double-click of its own, so it gets nothing (its link opens once per double-click).
  if (doubleClick && target.labels != nullptr) return;
  const std::shared_ptr<bool> alive = alive_;
  deliver(target, Kind::Down, button, ShiftOf(wParam), x, y);
  if (!*alive || !doubleClick || target.labels != nullptr) return;
  if (EventHandler handler = box_.DblClick) handler();
}

LRESULT CALLBACK PictureBoxWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<PictureBoxWindow*>(create->lpCreateParams);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<PictureBoxWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    ReportFailure(std::current_exception());
    return 0;
  }
}

LRESULT PictureBoxWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(customPointer_ && pointer_ != nullptr ? pointer_
                                                        : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == toolTip_hwnd_ && header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        info->lpszText = const_cast<wchar_t*>(tipText_.c_str());
        info->hinst = nullptr;
        return 0;
      }
      break;
    }
    case kHoverCheck:
      hoverCheckPending_ = false;
      checkHover();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      press(message, wParam, lParam, false);
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      press(message, wParam, lParam, true);
      return 0;
    case WM_MOUSEMOVE: {
      Twips x = 0, y = 0;
      twipsAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), x, y);
      Target target;
      if (captured_ && ButtonsOf(wParam) != 0) {
        target = capture_;
      } else {
        captured_ = false;
        target = targetAt(x, y);
        hover(target);
      }
      if (toolTip_hwnd_ != nullptr) {
        MSG relay{hwnd_, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(toolTip_hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
      }
      deliver(target, Kind::Move, ButtonsOf(wParam), ShiftOf(wParam), x, y);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      Twips x = 0, y = 0;
      twipsAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), x, y);
      const Target target = captured_ ? capture_ : targetAt(x, y);
      if (ButtonsOf(wParam) == 0) {
        captured_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
      }
      deliver(target, Kind::Up, ButtonOf(message), ShiftOf(wParam), x, y);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd_) captured_ = false;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace platform::win32
