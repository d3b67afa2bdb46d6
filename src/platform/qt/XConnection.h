// The toolkit's own X connection, for the back end's X11 requests and events.
#pragma once

#include <QGuiApplication>

struct xcb_connection_t;

namespace platform {

// The connection, or none when the program does not run on X11.
inline xcb_connection_t* XConnection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 == nullptr ? nullptr : x11->connection();
}

}  // namespace platform
