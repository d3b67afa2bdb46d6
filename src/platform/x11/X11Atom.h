// Small helpers of the X11 back end's own requests, over the toolkit's X connection.
#pragma once

#include <xcb/xcb.h>

namespace platform {

// The atom of name, made when missing; XCB_ATOM_NONE when the server does not answer.
xcb_atom_t Atom(xcb_connection_t* connection, const char* name);

// The root window of the connection's first screen.
xcb_window_t Root(xcb_connection_t* connection);

}  // namespace platform
