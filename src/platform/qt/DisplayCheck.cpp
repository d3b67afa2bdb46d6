#include "platform/program/DisplayCheck.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string ConnectionError(int code) {
  switch (code) {
    case XCB_CONN_CLOSED_PARSE_ERR:
      return "DISPLAY is not a display name";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
      return "the display has no such screen";
    case XCB_CONN_CLOSED_EXT_NOTSUPPORTED:
    case XCB_CONN_CLOSED_REQ_LEN_EXCEED:
    case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
      return "the X server closed the connection";
    default:
      return "no X server accepts the connection";
  }
}

}  // namespace

std::vector<char*> ApplicationArguments(int argc, char** argv) {
  static char platformOption[] = "-platform";
  static char xcb[] = "xcb";
  // WORKAROUND (Qt 6.4, xcb): a window's pixels go to the X server through shared memory, and
  // each upload is answered by a completion event that wakes the toolkit's X thread and then
  // the program's: twenty wake-ups a second for the 2-pixel columns of the scroll, which the
  // drawing request itself carries as well. Whoever sets the variable decides.
  setenv("QT_XCB_NO_MITSHM", "1", 0);
  std::vector<char*> arguments(argv, argv + argc);
  if (Environment("QT_QPA_PLATFORM").empty()) {
    arguments.push_back(platformOption);
    arguments.push_back(xcb);
  }
  arguments.push_back(nullptr);
  return arguments;
}

std::string DisplayProblem() {
  const std::string_view platform = Environment("QT_QPA_PLATFORM");
  if (platform.empty() || platform == "xcb" || platform.starts_with("xcb:")) {
    const std::string_view display = Environment("DISPLAY");
    if (display.empty()) return "DISPLAY is not set";
    xcb_connection_t* connection = xcb_connect(std::string(display).c_str(), nullptr);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (error != 0) return ConnectionError(error) + " (DISPLAY=" + std::string(display) + ")";
    return "";
  }
  return "";
}

}  // namespace platform
