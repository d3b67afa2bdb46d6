#include "platform/win32/GdiPainter.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/Fonts.h"
#include "platform/win32/Pictures.h"

namespace platform::win32 {

namespace {

RECT RectOf(const engine::Pixels& p) { return {p.left, p.top, p.right(), p.bottom()}; }

}  // namespace

GdiPainter::GdiPainter() : dc_(TextDc()) {}

void GdiPainter::fill(const engine::Pixels& area, Color color) {
  if (area.empty()) return;
  const RECT r = RectOf(area);
  HBRUSH brush = CreateSolidBrush(ColorRefOf(color));
  FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

// The bitmap stretched over the whole area (its drawing at twice the size at 192 dots per inch),
// pixel for pixel without blending: the title pictures stay sharp.
void GdiPainter::picture(const StdPicture& picture, const engine::Pixels& area,
                         const engine::Pixels& clip) {
  HBITMAP bitmap = BitmapOf(picture, area.width);
  if (bitmap == nullptr || area.empty() || clip.empty()) return;
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof(info), &info) == 0) return;
  const int saved = SaveDC(dc_);
  IntersectClipRect(dc_, clip.left, clip.top, clip.right(), clip.bottom());
  HDC source = CreateCompatibleDC(dc_);
  HGDIOBJ old = SelectObject(source, bitmap);
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, area.left, area.top, area.width, area.height, source, 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  RestoreDC(dc_, saved);
}

void GdiPainter::text(const engine::MeasuringFont& font, std::string_view utf8, bool rightToLeft,
                      long long x64, int top, Color color, const engine::Pixels& clip) {
  if (clip.empty()) return;
  const auto& entry = static_cast<const FontEntry&>(font);
  const FontEntry::Line* line = entry.laidOut(utf8, rightToLeft);
  if (line == nullptr) return;
  const RECT r = RectOf(clip);
  HGDIOBJ old = SelectObject(dc_, entry.handle());
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SetTextColor(dc_, ColorRefOf(color));
  const int x = static_cast<int>(std::floor(static_cast<double>(x64) / 64.0));
  if (line->analysis != nullptr) {
    ScriptStringOut(line->analysis.get(), x, top, ETO_CLIPPED, &r, 0, 0, FALSE);
  } else {
    ExtTextOutW(dc_, x, top, ETO_CLIPPED, &r, line->text.data(),
                static_cast<UINT>(line->text.size()), nullptr);
  }
  SelectObject(dc_, old);
}

void GdiPainter::focusFrame(const engine::Pixels& area, Color color, const engine::Pixels& clip) {
  if (area.width < 2 || area.height < 2 || clip.empty()) return;
  const int saved = SaveDC(dc_);
  IntersectClipRect(dc_, clip.left, clip.top, clip.right(), clip.bottom());
  HPEN pen = CreatePen(PS_DOT, 1, ColorRefOf(color));
  SelectObject(dc_, pen);
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  SetBkMode(dc_, TRANSPARENT);
  Rectangle(dc_, area.left, area.top, area.right(), area.bottom());
  RestoreDC(dc_, saved);
  DeleteObject(pen);
}

// Every window is painted through the one text DC into a back buffer kept for the run, grown to
// the largest dirty rectangle yet: no DC or bitmap is made per paint. Paints do not nest: they
// come from the message loop one at a time.
void PaintWindow(HWND hwnd,
                 const std::function<void(engine::Painter&, const engine::Pixels&)>& paint) {
  static HBITMAP buffer = nullptr;
  static SIZE bufferSize{0, 0};
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT dirty = ps.rcPaint;
  const int width = dirty.right - dirty.left;
  const int height = dirty.bottom - dirty.top;
  HDC memory = TextDc();
  if (width > bufferSize.cx || height > bufferSize.cy) {
    const SIZE size{std::max<LONG>(width, bufferSize.cx), std::max<LONG>(height, bufferSize.cy)};
    HBITMAP grown = CreateCompatibleBitmap(dc, size.cx, size.cy);
    if (grown != nullptr) {
      SelectObject(memory, grown);
      if (buffer != nullptr) DeleteObject(buffer);
      buffer = grown;
      bufferSize = size;
    }
  }
  if (width > 0 && height > 0 && width <= bufferSize.cx && height <= bufferSize.cy) {
    SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
    GdiPainter painter;
    paint(painter, {dirty.left, dirty.top, width, height});
    SetViewportOrgEx(memory, 0, 0, nullptr);
    BitBlt(dc, dirty.left, dirty.top, width, height, memory, 0, 0, SRCCOPY);
  }
  EndPaint(hwnd, &ps);
}

}  // namespace platform::win32
