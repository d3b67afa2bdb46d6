// Small helpers of the X11 back end's own requests, over the toolkit's X connection.
#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>

namespace platform {

// The atom of name, made when missing; XCB_ATOM_NONE when the server does not answer.
xcb_atom_t Atom(xcb_connection_t* connection, const char* name);

// The root window of the connection's first screen.
xcb_window_t Root(xcb_connection_t* connection);

// Asks the window manager, as EWMH has clients ask it, to do type for window: a client message
// to the root window with the five 32-bit values of data.
void AskWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                      const std::array<std::uint32_t, 5>& data);

}  // namespace platform
