#include "platform/services/SystemServices.h"

#include "platform/engine/Engine.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Cursor.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32MsgBox.h"
#include "platform/win32/Win32Screens.h"
#include "platform/win32/Win32Session.h"
#include "platform/win32/Win32Surface.h"
#include "platform/win32/WinInetDownload.h"

namespace platform {

struct SystemServices::Impl {
  win32::Win32Surface surface;
  engine::Engine engine{surface};
  SystemClock clock;
  win32::WinInetDownload download{&win32::DispatchOne, clock};
  win32::Win32LinkOpener opener;
  win32::Win32MsgBox msgBox{APP_DISPLAY_NAME};
  win32::Win32Cursor cursor{engine};
  win32::Win32Screens screens;
  win32::Win32Session session{engine};
};

SystemServices::SystemServices() : d(std::make_unique<Impl>()) {}

SystemServices::~SystemServices() = default;

Services SystemServices::services() {
  return {d->engine, d->download, d->opener,  d->msgBox,
          d->clock,  d->cursor,   d->screens, d->session};
}

}  // namespace platform
