#include "platform/services/SystemServices.h"

#include "platform/engine/Engine.h"
#include "platform/qt/QtSurface.h"
#include "platform/qt/ScreenWatch.h"
#include "platform/qt/SystemServiceClasses.h"
#include "platform/qt/SystemSession.h"

namespace platform {

namespace {

// The strip window's download control: a request without progress fails after a minute.
const Inet::Definition kInet1{.requestTimeout = 60};

}  // namespace

InetDownload::InetDownload(const Clock& clock) : inet_(kInet1, clock) {}

FetchResult InetDownload::OpenURL(const std::string& url, FetchOrigin origin) {
  return inet_.OpenURL(url, origin);
}

bool InetDownload::StillExecuting() const { return inet_.StillExecuting(); }

struct SystemServices::Impl {
  std::unique_ptr<engine::Surface> surface = MakeQtSurface();
  engine::Engine engine{*surface};
  SystemClock clock;
  InetDownload download{clock};
  ProcessLinkOpener opener;
  SystemSession session{engine};
  BoxMsgBox msgBox{session};
  PointerCursor cursor{engine};
  DesktopScreens screens;
  ScreenWatch screenWatch{engine};
};

SystemServices::SystemServices() : d(std::make_unique<Impl>()) {}

SystemServices::~SystemServices() = default;

Services SystemServices::services() {
  return Services{.engine = d->engine,
                  .download = d->download,
                  .opener = d->opener,
                  .msgBox = d->msgBox,
                  .clock = d->clock,
                  .cursor = d->cursor,
                  .screens = d->screens,
                  .session = d->session};
}

}  // namespace platform
