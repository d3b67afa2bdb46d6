// Taking the keyboard for another start of the program and giving it back, over the toolkit's
// own X connection (plain xcb: no toolkit type crosses this header). Window managers hand the
// keyboard only to requests that carry the person's action: a later start brings the
// launcher's startup notification id, whose time stamp lets the request through.
#pragma once

#include <cstdint>
#include <string>

struct xcb_connection_t;

namespace platform {

// The X time stamp in a startup notification id ("..._TIME<n>"): the moment of the click or
// key that started the program; 0 (the current time) when the id carries none.
std::uint32_t StartupTime(const std::string& startupId);

// Asks the window manager to make the mapped top-level window the active one for a later start
// with the startup notification id startupId ("" for none): the id goes on the window
// (_NET_STARTUP_ID), the request carries its time, and the launcher's notification ends.
// Does nothing without a connection or a window; a refused request is not reported.
void ActivateForLaterStart(xcb_connection_t* connection, std::uint32_t window,
                           const std::string& startupId);

// The window the window manager has made active (_NET_ACTIVE_WINDOW), 0 for none or unknown.
std::uint32_t ActiveWindow(xcb_connection_t* connection);

// Asks the window manager to make another program's window the active one, as a task bar
// does when a person picks it there. Does nothing without a connection or a window.
void ActivateAsTaskBar(xcb_connection_t* connection, std::uint32_t window);

// Whether the event is the change of the active window on the root window, which the toolkit
// asks to hear of.
bool IsActiveWindowChange(xcb_connection_t* connection, const void* xcbEvent);

}  // namespace platform
