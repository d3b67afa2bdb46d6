// The X screen-saver extension (MIT-SCREEN-SAVER) over the toolkit's X connection: whether the
// server's screen saver is on, and its notify events as it turns on and off.
#pragma once

#include <optional>

struct xcb_connection_t;

namespace platform {

// Asks the server to report the screen saver turning on and off on the first screen; returns
// whether the server has the extension. Call once per connection.
bool WatchScreenSaver(xcb_connection_t* connection);

// Whether the server's screen saver is on now; false without the extension.
bool ScreenSaverOn(xcb_connection_t* connection);

// The screen saver's new state when the event is the extension's notify, else nothing.
std::optional<bool> ScreenSaverNotice(xcb_connection_t* connection, const void* xcbEvent);

}  // namespace platform
