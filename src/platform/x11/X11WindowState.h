// Window states that the toolkit cannot ask the X11 window manager for by itself.
#pragma once

class QWidget;

namespace platform {

// Adds _NET_WM_STATE_SKIP_TASKBAR to the top-level window's state, so that no taskbar shows
// a button for it: on a hidden window by writing the property (the window manager drops it
// at every hide, so call this before every show), on a shown one by asking the window
// manager. Call it again right after the show: the toolkit may replace the native window
// while showing it (after a change of its stacking flags). Does nothing off X11.
void AddSkipTaskbarState(QWidget* window);

// Asks the window manager to bring a shown top-level window back from minimised, by mapping
// it again as the window conventions say; a window that is not minimised is unchanged. The
// toolkit may not know yet that the user minimised the window, so this does not ask it.
// Does nothing off X11 or for a window that is not shown.
void RestoreFromMinimised(QWidget* window);

}  // namespace platform
