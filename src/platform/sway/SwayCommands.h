// What the program asks of sway for one of its X11 windows, as the command text sway's IPC
// runs (plain C++: the socket is the caller's). sway floats a utility window and places it
// itself, centred, whatever place the window asks for; its command interface is the one way a
// client has to put its window elsewhere. A window is named by its X11 id and by the process
// id it carries (_NET_WM_PID), so a window of another program or X server with the same id
// is never touched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// sway focuses every new window: this keeps it from focusing the window when it maps (the
// person may still give it the keyboard). It stays in sway's running configuration.
std::string KeepFromFocusCommand(std::uint32_t window, long pid);

// Puts the floating window's top-left corner at x, y with its client area width x height.
// minimumSize is the person's floating_minimum_size (see MinimumSizeIn), set back at once.
std::string PlaceCommand(std::uint32_t window, long pid, int x, int y, int width, int height,
                         std::string_view minimumSize);

// The floating_minimum_size ("<width> x <height>") that the text of a sway configuration sets
// last, or sway's own automatic one when it sets none or one this cannot read.
std::string MinimumSizeIn(std::string_view config);

}  // namespace platform
