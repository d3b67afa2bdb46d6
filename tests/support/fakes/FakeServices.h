// One of each fake service, handed out together as the windows' Services.
#pragma once

#include "platform/engine/Engine.h"
#include "platform/services/Services.h"
#include "support/fakes/FakeClock.h"
#include "support/fakes/FakeCursor.h"
#include "support/fakes/FakeDownload.h"
#include "support/fakes/FakeLinkOpener.h"
#include "support/fakes/FakeMsgBox.h"
#include "support/fakes/FakeScreens.h"
#include "support/fakes/FakeSession.h"

struct FakeServices {
  // The windows' engine on the surface, fresh for each set of services.
  explicit FakeServices(platform::engine::Surface& surface) : engine(surface) {}

  platform::engine::Engine engine;
  FakeDownload download;
  FakeLinkOpener opener;
  FakeMsgBox msgBox;
  FakeClock clock;
  FakeCursor cursor{engine};
  FakeScreens screens;
  FakeSession session;

  platform::Services services() {
    return {.engine = engine,
            .download = download,
            .opener = opener,
            .msgBox = msgBox,
            .clock = clock,
            .cursor = cursor,
            .screens = screens,
            .session = session};
  }
};
