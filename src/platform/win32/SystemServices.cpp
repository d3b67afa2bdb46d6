#include "platform/SystemServices.h"

#include <utility>

#include "platform/Application.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Cursor.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32MsgBox.h"
#include "platform/win32/Win32Screens.h"
#include "platform/win32/WinInetDownload.h"

namespace platform {

namespace {

// The end of the session reaches the forms as WM_QUERYENDSESSION and WM_ENDSESSION: they close
// with the session's reason, then this handler runs (it saves), then the program ends.
class Win32Session final : public Session {
 public:
  void OnEnd(std::function<void()> handler) override { OnSessionEnd(std::move(handler)); }
  void EndProgram() override { platform::EndProgram(); }
  bool Ending() const override { return platform::Ending(); }
};

}  // namespace

struct SystemServices::Impl {
  win32::WinInetDownload download;
  win32::Win32LinkOpener opener;
  win32::Win32MsgBox msgBox{APP_DISPLAY_NAME};
  win32::Win32Clock clock;
  win32::Win32Cursor cursor;
  win32::Win32Screens screens;
  Win32Session session;
};

SystemServices::SystemServices() : d(std::make_unique<Impl>()) {}

SystemServices::~SystemServices() = default;

Services SystemServices::services() {
  return {d->download, d->opener, d->msgBox, d->clock, d->cursor, d->screens, d->session};
}

}  // namespace platform
