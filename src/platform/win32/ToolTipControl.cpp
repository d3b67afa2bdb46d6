#include "platform/win32/ToolTipControl.h"

#include <algorithm>

#include "platform/win32/Fonts.h"

#include <usp10.h>

namespace platform::win32 {

namespace {

// Where each tooltip control keeps its ToolTipControl: the control tells of its painting the
// top-level window that owns it, which for a child window's tool is not the tool's window.
constexpr wchar_t kControl[] = L"ticker.ToolTipControl";

// The lines of the text as Uniscribe lays them out on dc in its selected font, with its
// fallback and font linking, each in the direction of its first strong character, a right to
// left line against the right edge; drawn into the rectangle when one is given. Returns the
// lines' extent.
SIZE LayOutLines(HDC dc, std::string_view text, const RECT* into) {
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  SIZE extent{0, 0};
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const bool rightToLeft = RightToLeft(line);
    const std::wstring shown = FontEntry::DisplayText(line);
    const int length = static_cast<int>(shown.size());
    SCRIPT_STRING_ANALYSIS analysis = nullptr;
    const DWORD flags = SSA_GLYPHS | SSA_FALLBACK | SSA_LINK | (rightToLeft ? SSA_RTL : 0);
    if (length > 0 &&
        ScriptStringAnalyse(dc, shown.data(), length, length * 3 / 2 + 16, -1, flags, 0, nullptr,
                            nullptr, nullptr, nullptr, nullptr, &analysis) == S_OK) {
      const int width = static_cast<int>(ScriptString_pSize(analysis)->cx);
      extent.cx = std::max<LONG>(extent.cx, width);
      if (into != nullptr) {
        const int x = rightToLeft ? into->right - width : into->left;
        ScriptStringOut(analysis, x, into->top + extent.cy, ETO_CLIPPED, into, 0, 0, FALSE);
      }
      ScriptStringFree(&analysis);
    }
    extent.cy += lineHeight;
  }
  return extent;
}

HFONT FontOf(HWND tip) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0));
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

ToolTipControl::~ToolTipControl() {
  if (tip_ == nullptr) return;
  RemovePropW(tip_, kControl);
  DestroyWindow(tip_);
}

void ToolTipControl::set(const std::string& text, const engine::Pixels& area) {
  if (tip_ == nullptr) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    if (tip_ == nullptr) return;
    SetPropW(tip_, kControl, this);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = 1;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 4096);
  }
  // Moving onto another label leaves the tool and starts the tooltip's delay again.
  SendMessageW(tip_, TTM_POP, 0, 0);
  text_ = text;
  wide_ = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = owner_;
  tool.uId = 1;
  tool.rect = {area.left, area.top, area.right(), area.bottom()};
  SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_UPDATE, 0, 0);
}

void ToolTipControl::relay(UINT message, WPARAM wParam, LPARAM lParam) {
  if (tip_ == nullptr) return;
  MSG relayed{owner_, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

std::optional<LRESULT> ToolTipControl::Answer(LPARAM notice) {
  const auto* header = reinterpret_cast<const NMHDR*>(notice);
  auto* control = static_cast<ToolTipControl*>(GetPropW(header->hwndFrom, kControl));
  if (control == nullptr || control->tip_ != header->hwndFrom) return std::nullopt;
  return control->answer(notice);
}

// WORKAROUND: Wine 8's tooltip control measures and draws its text with DrawTextW in its own
// font, which falls back to no other font for Arabic, Hebrew, Devanagari or Thai (boxes) and
// shapes nothing. The window is sized to the text as the captions lay it out and the text drawn
// that way over what the control drew, which on Windows draws the same.
std::optional<LRESULT> ToolTipControl::answer(LPARAM notice) {
  switch (reinterpret_cast<const NMHDR*>(notice)->code) {
    case TTN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(notice);
      info->lpszText = wide_.data();
      info->hinst = nullptr;
      return 0;
    }
    case TTN_SHOW:
      return resize() ? TRUE : FALSE;
    case NM_CUSTOMDRAW: {
      const auto* draw = reinterpret_cast<const NMTTCUSTOMDRAW*>(notice);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
      if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT) paint(draw->nmcd.hdc);
      return CDRF_DODEFAULT;
    }
    default:
      return std::nullopt;
  }
}

// How far the text rectangle stands inside the window's, as the control answers, or
// (WORKAROUND: Wine 8 does not answer TTM_ADJUSTRECT) the frame the control put around its own
// measuring of the text, half on each side.
RECT ToolTipControl::insets(HDC dc) const {
  const RECT window{0, 0, 1000, 1000};
  RECT text = window;
  if (SendMessageW(tip_, TTM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&text)) != 0) {
    return {text.left, text.top, window.right - text.right, window.bottom - text.bottom};
  }
  RECT placed{};
  GetWindowRect(tip_, &placed);
  RECT measured{0, 0, static_cast<LONG>(SendMessageW(tip_, TTM_GETMAXTIPWIDTH, 0, 0)), 0};
  DrawTextW(dc, wide_.c_str(), -1, &measured,
            DT_CALCRECT | DT_EXTERNALLEADING | DT_NOPREFIX | DT_WORDBREAK);
  const LONG across = placed.right - placed.left - measured.right;
  const LONG down = placed.bottom - placed.top - measured.bottom;
  return {across / 2, down / 2, across - across / 2, down - down / 2};
}

// The window sized to the lines as drawn, where the control placed it, kept on its monitor.
bool ToolTipControl::resize() {
  HDC dc = GetDC(tip_);
  if (dc == nullptr) return false;
  const HGDIOBJ old = SelectObject(dc, FontOf(tip_));
  const SIZE extent = LayOutLines(dc, text_, nullptr);
  insets_ = insets(dc);
  SelectObject(dc, old);
  ReleaseDC(tip_, dc);
  RECT placed{};
  GetWindowRect(tip_, &placed);
  const int width = extent.cx + insets_.left + insets_.right;
  const int height = extent.cy + insets_.top + insets_.bottom;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &monitor);
  const int left =
      std::max(monitor.rcWork.left, std::min<LONG>(placed.left, monitor.rcWork.right - width));
  return SetWindowPos(tip_, nullptr, left, placed.top, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void ToolTipControl::paint(HDC dc) const {
  RECT area{};
  GetWindowRect(tip_, &area);
  MapWindowPoints(nullptr, tip_, reinterpret_cast<POINT*>(&area), 2);
  area = {area.left + insets_.left, area.top + insets_.top, area.right - insets_.right,
          area.bottom - insets_.bottom};
  HBRUSH back =
      CreateSolidBrush(static_cast<COLORREF>(SendMessageW(tip_, TTM_GETTIPBKCOLOR, 0, 0)));
  FillRect(dc, &area, back);
  DeleteObject(back);
  const int saved = SaveDC(dc);
  SelectObject(dc, FontOf(tip_));
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SetTextColor(dc, static_cast<COLORREF>(SendMessageW(tip_, TTM_GETTIPTEXTCOLOR, 0, 0)));
  LayOutLines(dc, text_, &area);
  RestoreDC(dc, saved);
}

}  // namespace platform::win32
