// Window states that the toolkit cannot ask the X11 window manager for by itself, asked for
// over the toolkit's own X connection (plain xcb: no toolkit type crosses this header).
#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace platform {

// Adds _NET_WM_STATE_SKIP_TASKBAR to the top-level window's state, so that no taskbar shows
// a button for it: on a hidden window by writing the property (the window manager drops it
// at every hide, so call this before every show), on a mapped one by asking the window
// manager. Call it again right after the show: the toolkit may replace the native window
// while showing it (after a change of its stacking flags). Does nothing without a connection
// or a window; a failed request leaves the state as it was.
void AddSkipTaskbarState(xcb_connection_t* connection, std::uint32_t window, bool mapped);

// Whether the event is a change of the top-level window's _NET_WM_STATE, which the toolkit
// asks to hear of. False without a connection.
bool IsWindowStateChange(xcb_connection_t* connection, std::uint32_t window, const void* xcbEvent);

// Asks the window manager to take _NET_WM_STATE_DEMANDS_ATTENTION off the mapped top-level
// window when the window carries it. Does nothing without a connection or a window; a refused
// request leaves the state as it was.
void WithdrawDemandsAttention(xcb_connection_t* connection, std::uint32_t window);

// Asks the window manager to bring a shown top-level window back from minimised, by mapping
// it again as the window conventions say; a window that is not minimised is unchanged. The
// toolkit may not know yet that the user minimised the window, so this does not ask it.
// Does nothing without a connection or a window; the caller maps only a shown window.
void RestoreFromMinimised(xcb_connection_t* connection, std::uint32_t window);

// Names the top-level window a utility window (_NET_WM_WINDOW_TYPE_UTILITY): window managers
// float it at its own size, also tiling ones, and list it in no task list. Call it before the
// window is mapped, and again after each change of its flags (the toolkit rewrites the type).
// Does nothing without a connection or a window.
void SetUtilityWindowType(xcb_connection_t* connection, std::uint32_t window);

}  // namespace platform
