#include "platform/x11/X11Activation.h"

#include <xcb/xcb.h>

#include "platform/x11/X11Atom.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// _NET_ACTIVE_WINDOW for window: source 1 is an application, 2 a task bar or pager.
void AskToActivate(xcb_connection_t* connection, xcb_window_t window, std::uint32_t source,
                   std::uint32_t time) {
  const xcb_atom_t activeWindow = Atom(connection, "_NET_ACTIVE_WINDOW");
  if (activeWindow == XCB_ATOM_NONE) return;
  AskWindowManager(connection, window, activeWindow, {source, time, 0, 0, 0});
}

// The startup notification's "remove" message for id, as launchers listen for it: the text in
// pieces of 20 bytes, the first with its own message type, ended by a zero byte.
void EndStartupNotification(xcb_connection_t* connection, xcb_window_t window,
                            const std::string& id) {
  const xcb_atom_t begin = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
  const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
  if (begin == XCB_ATOM_NONE || more == XCB_ATOM_NONE) return;
  std::string text = "remove: ID=\"";
  for (const char c : id) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  text += '"';
  text += '\0';
  for (std::size_t at = 0; at < text.size(); at += 20) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = window;
    event.type = at == 0 ? begin : more;
    std::memcpy(event.data.data8, text.data() + at, std::min<std::size_t>(20, text.size() - at));
    xcb_send_event(connection, 0, Root(connection), XCB_EVENT_MASK_PROPERTY_CHANGE,
                   reinterpret_cast<const char*>(&event));
  }
}

}  // namespace

std::uint32_t StartupTime(const std::string& startupId) {
  const std::size_t mark = startupId.rfind("_TIME");
  if (mark == std::string::npos) return 0;
  const std::string digits = startupId.substr(mark + 5);
  if (digits.empty() || digits.size() > 10 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  const unsigned long long time = std::strtoull(digits.c_str(), nullptr, 10);
  return time > 0xFFFFFFFFull ? 0 : static_cast<std::uint32_t>(time);
}

void ActivateForLaterStart(xcb_connection_t* connection, std::uint32_t window,
                           const std::string& startupId) {
  if (connection == nullptr || window == 0) return;
  if (!startupId.empty()) {
    const xcb_atom_t property = Atom(connection, "_NET_STARTUP_ID");
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    if (property != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE) {
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, utf8, 8,
                          static_cast<std::uint32_t>(startupId.size()), startupId.data());
    }
  }
  AskToActivate(connection, window, 1, StartupTime(startupId));
  if (!startupId.empty()) EndStartupNotification(connection, window, startupId);
  xcb_flush(connection);
}

std::uint32_t ActiveWindow(xcb_connection_t* connection) {
  if (connection == nullptr) return 0;
  const xcb_atom_t activeWindow = Atom(connection, "_NET_ACTIVE_WINDOW");
  if (activeWindow == XCB_ATOM_NONE) return 0;
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, Root(connection), activeWindow, XCB_ATOM_WINDOW, 0, 1);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  if (reply == nullptr) return 0;
  std::uint32_t window = 0;
  if (reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
    std::memcpy(&window, xcb_get_property_value(reply), sizeof window);
  }
  std::free(reply);
  return window;
}

void ActivateAsTaskBar(xcb_connection_t* connection, std::uint32_t window) {
  if (connection == nullptr || window == 0) return;
  AskToActivate(connection, window, 2, XCB_CURRENT_TIME);
  xcb_flush(connection);
}

bool IsActiveWindowChange(xcb_connection_t* connection, const void* xcbEvent) {
  const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
  if (connection == nullptr || (event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
  const auto* change = static_cast<const xcb_property_notify_event_t*>(xcbEvent);
  static const xcb_atom_t activeWindow = Atom(connection, "_NET_ACTIVE_WINDOW");
  return change->window == Root(connection) && change->atom == activeWindow;
}

}  // namespace platform
