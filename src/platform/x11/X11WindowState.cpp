#include "platform/x11/X11WindowState.h"

#include <xcb/xcb.h>

#include "platform/x11/X11Atom.h"

#include <cstdlib>

namespace platform {

namespace {

bool HasState(xcb_connection_t* connection, xcb_window_t id, xcb_atom_t state, xcb_atom_t wanted) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  if (reply == nullptr) return false;
  bool present = false;
  if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / 4;
    for (int i = 0; i < count; ++i) present = present || atoms[i] == wanted;
  }
  std::free(reply);
  return present;
}

constexpr std::uint32_t kRemoveState = 0;  // _NET_WM_STATE_REMOVE
constexpr std::uint32_t kAddState = 1;     // _NET_WM_STATE_ADD

// A mapped window's state belongs to the window manager: it is asked for a change (EWMH).
void AskForState(xcb_connection_t* connection, xcb_window_t id, xcb_atom_t state,
                 std::uint32_t action, xcb_atom_t which) {
  // The fourth value: the request comes from a normal application.
  AskWindowManager(connection, id, state, {action, which, 0, 1, 0});
}

}  // namespace

void AddSkipTaskbarState(xcb_connection_t* connection, std::uint32_t id, bool mapped) {
  if (connection == nullptr || id == 0) return;
  const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  const xcb_atom_t skipTaskbar = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
  if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE) return;
  if (HasState(connection, id, state, skipTaskbar)) return;
  if (!mapped) {
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1,
                        &skipTaskbar);
  } else {
    AskForState(connection, id, state, kAddState, skipTaskbar);
  }
  xcb_flush(connection);
}

bool IsWindowStateChange(xcb_connection_t* connection, std::uint32_t id, const void* xcbEvent) {
  const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
  if (connection == nullptr || (event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
  const auto* change = static_cast<const xcb_property_notify_event_t*>(xcbEvent);
  static const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  return change->window == id && change->atom == state;
}

void WithdrawDemandsAttention(xcb_connection_t* connection, std::uint32_t id) {
  if (connection == nullptr || id == 0) return;
  const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  const xcb_atom_t attention = Atom(connection, "_NET_WM_STATE_DEMANDS_ATTENTION");
  if (state == XCB_ATOM_NONE || attention == XCB_ATOM_NONE) return;
  if (!HasState(connection, id, state, attention)) return;
  AskForState(connection, id, state, kRemoveState, attention);
  xcb_flush(connection);
}

void SetUtilityWindowType(xcb_connection_t* connection, std::uint32_t id) {
  if (connection == nullptr || id == 0) return;
  const xcb_atom_t type = Atom(connection, "_NET_WM_WINDOW_TYPE");
  const xcb_atom_t utility = Atom(connection, "_NET_WM_WINDOW_TYPE_UTILITY");
  if (type == XCB_ATOM_NONE || utility == XCB_ATOM_NONE) return;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, type, XCB_ATOM_ATOM, 32, 1, &utility);
  xcb_flush(connection);
}

void RestoreFromMinimised(xcb_connection_t* connection, std::uint32_t id) {
  if (connection == nullptr || id == 0) return;
  xcb_map_window(connection, id);
  xcb_flush(connection);
}

}  // namespace platform
