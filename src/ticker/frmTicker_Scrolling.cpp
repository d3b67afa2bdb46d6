// Scrolling and the hover pause: the strip moves 30 twips a tick, reloads when its row has
// passed the title picture, pauses while the pointer rests on an item and resumes when the
// pointer leaves the strip.
#include "platform/Application.h"
#include "platform/Cursor.h"
#include "ticker/frmTicker.h"

namespace {

constexpr platform::Twips kStep = 30;
constexpr platform::Twips kRestartBeyondEdge = 30;

}  // namespace

void frmTicker::tmrScroll_Timer() {
  picTicker.setLeft(picTicker.Left() - kStep);
  const float t = picTicker.Width() + picTicker.Left() - picTitle.Width();
  if (t < 0) {
    tmrScroll.setEnabled(false);
    LoadPage();
    if (Closed() || platform::Ending()) return;
    picTicker.setLeft(Width() + kRestartBeyondEdge);
    // What the user did while the feed loaded stands: an options dialog opened or a hover
    // pause begun keeps the strip still.
    if (!blnOptionsOpen && !tmrMouse.Enabled()) tmrScroll.setEnabled(true);
  }
}

void frmTicker::StopScroll() {
  tmrScroll.setEnabled(false);
  if (!blnOptionsOpen) tmrMouse.setEnabled(true);
}

void frmTicker::ResumeScroll() {
  if (blnOptionsOpen) return;
  if (tmrMouse.Enabled()) tmrMouse.setEnabled(false);
  if (!tmrScroll.Enabled()) tmrScroll.setEnabled(true);
}

void frmTicker::RestartTicker() {
  blnOptionsOpen = false;
  tmrScroll.setEnabled(true);
}

void frmTicker::tmrMouse_Timer() {
  platform::GetCursorPos(ptCursor);
  lngHwndUnder = platform::WindowFromPoint(ptCursor);
  if (lngHwndUnder == hWnd()) return;
  if (lngHwndUnder == picTicker.hWnd()) return;
  ResumeScroll();
}
