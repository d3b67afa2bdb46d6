// Scrolling and the hover pause: the strip moves 30 twips a tick, reloads when its row has
// passed the title picture, pauses while the pointer rests on an item (or an item has the
// keyboard focus) and resumes when the pointer leaves the strip (and the focus the item).
#include "platform/program/Application.h"
#include "ticker/SetWhileInScope.h"
#include "ticker/frmTicker.h"

namespace {

constexpr platform::Twips kStep = 30;
constexpr platform::Twips kRestartBeyondEdge = 30;

}  // namespace

void frmTicker::tmrScroll_Timer() {
  // A headline with the keyboard focus holds the strip as a resting pointer does.
  if (lblItem.FocusedIndex() >= 0) {
    StopScroll();
    return;
  }
  picTicker.setLeft(picTicker.Left() - kStep);
  const float t = picTicker.Width() + picTicker.Left() - picTitle.Width();
  if (t < 0) {
    tmrScroll.setEnabled(false);
    {
      // Until the strip is back at the right edge the old row stays still, whatever pointer
      // moves or a closing dialog ask for while the feed loads.
      const SetWhileInScope runEnding(blnRunEnding);
      LoadPage();
    }
    if (Closed() || services_.session.Ending()) return;
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
  // The hover poll goes on while a headline has the focus, and resumes once it has left.
  if (blnOptionsOpen || lblItem.FocusedIndex() >= 0) return;
  if (tmrMouse.Enabled()) tmrMouse.setEnabled(false);
  // During the end-of-run reload the pause is over, but the end-of-run tick starts the strip.
  if (blnRunEnding) return;
  if (!tmrScroll.Enabled()) tmrScroll.setEnabled(true);
}

void frmTicker::RestartTicker() {
  blnOptionsOpen = false;
  if (blnRunEnding) return;
  tmrScroll.setEnabled(true);
}

void frmTicker::tmrMouse_Timer() {
  services_.cursor.GetCursorPos(ptCursor);
  lngHwndUnder = services_.cursor.WindowFromPoint(ptCursor);
  if (lngHwndUnder == hWnd()) return;
  if (lngHwndUnder == picTicker.hWnd()) return;
  ResumeScroll();
}
