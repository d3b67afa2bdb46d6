// The end of the desktop session and of the program, over the toolkit's session manager and
// the termination signals (SIGTERM at log-out or from a service manager, SIGINT from Ctrl+C,
// SIGHUP when the terminal goes away).
#pragma once

#include <signal.h>

#include <QMetaObject>
#include <array>
#include <functional>
#include <memory>

#include "platform/engine/EndOfSession.h"

class QSocketNotifier;

namespace platform {

class SystemSession : public engine::EndOfSession {
 public:
  // Call once the application object exists. The program's end is the engine's.
  explicit SystemSession(engine::Engine& engine);
  ~SystemSession() override;

  // The first handler set also starts catching the termination signals: until then they end
  // the program at once, as they would without it. A signal the program was started with set
  // to be ignored (nohup, a background job) stays ignored. The handler runs from the event
  // loop, never inside the signal itself. Signals that cannot be caught are reported on
  // standard error and keep ending the program at once.
  void OnEnd(std::function<void()> handler) override;

 protected:
  // Ends every event loop (exit, not quit: quit would first send every window a close
  // request); tests replace it to keep their own loop alive.
  void ExitEventLoops() override;

 private:
  void CatchSignals();
  void Signalled();

  bool catching_ = false;
  std::array<struct sigaction, 3> previous_{};
  std::array<bool, 3> replaced_{};
  std::unique_ptr<QSocketNotifier> notifier_;
  QMetaObject::Connection commitData_;
};

}  // namespace platform
