// The system's own session (the desktop session's end and the termination signals), except
// that ending the program is counted instead of making the test's event loops return. Made
// without an engine it ends one of its own, which no other test shares.
#pragma once

#include "platform/engine/Engine.h"
#include "platform/qt/QtSurface.h"
#include "platform/qt/SystemSession.h"

struct SessionEngine {
  std::unique_ptr<platform::engine::Surface> surface = platform::MakeQtSurface();
  platform::engine::Engine ownEngine{*surface};
};

class SessionForTest final : private SessionEngine, public platform::SystemSession {
 public:
  SessionForTest() : SystemSession(ownEngine) {}
  // The session of the windows made on engine: its end closes them.
  explicit SessionForTest(platform::engine::Engine& engine) : SystemSession(engine) {}
  int exits = 0;

 protected:
  void ExitEventLoops() override { ++exits; }
};
