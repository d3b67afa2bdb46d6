#include "platform/x11/X11ScreenSaver.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/x11/X11Atom.h"

namespace platform {

namespace {

// The extension's first event code on this connection; 0 when the server lacks it.
std::uint8_t FirstEvent(xcb_connection_t* connection) {
  const xcb_query_extension_reply_t* extension =
      xcb_get_extension_data(connection, &xcb_screensaver_id);
  return extension != nullptr && extension->present ? extension->first_event : 0;
}

}  // namespace

bool WatchScreenSaver(xcb_connection_t* connection) {
  if (connection == nullptr || FirstEvent(connection) == 0) return false;
  xcb_screensaver_select_input(connection, Root(connection), XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
  xcb_flush(connection);
  return true;
}

bool ScreenSaverOn(xcb_connection_t* connection) {
  if (connection == nullptr || FirstEvent(connection) == 0) return false;
  xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
      connection, xcb_screensaver_query_info(connection, Root(connection)), nullptr);
  if (info == nullptr) return false;
  const bool on = info->state == XCB_SCREENSAVER_STATE_ON;
  std::free(info);
  return on;
}

std::optional<bool> ScreenSaverNotice(xcb_connection_t* connection, const void* xcbEvent) {
  const std::uint8_t first = connection == nullptr ? 0 : FirstEvent(connection);
  const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
  if (first == 0 || (event->response_type & 0x7f) != first + XCB_SCREENSAVER_NOTIFY) return {};
  const auto* notice = static_cast<const xcb_screensaver_notify_event_t*>(xcbEvent);
  // Cycling changes the picture only: the saver is still on.
  return notice->state == XCB_SCREENSAVER_STATE_ON || notice->state == XCB_SCREENSAVER_STATE_CYCLE;
}

}  // namespace platform
