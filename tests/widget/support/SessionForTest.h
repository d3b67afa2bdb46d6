// The system's own session (the desktop session's end and the termination signals), except
// that ending the program is counted instead of making the test's event loops return.
#pragma once

#include "platform/qt/SystemSession.h"

class SessionForTest final : public platform::SystemSession {
 public:
  int exits = 0;

 protected:
  void ExitEventLoops() override { ++exits; }
};
