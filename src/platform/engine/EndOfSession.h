// The part of the system's Session that every window system shares: the program's handler for
// the end, what the desktop session's end does (once per session: every open form is asked to
// close with vbAppWindows, then the handler runs), and the program's end, which the form engine
// keeps. A surface's session hears the end in its window system's way and calls EndSession, or
// RunHandler for a termination signal, and makes its event loops return.
#pragma once

#include <functional>

#include "platform/services/Services.h"

namespace platform::engine {

class Engine;

class EndOfSession : public Session {
 public:
  explicit EndOfSession(Engine& engine) : engine_(engine) {}
  EndOfSession(const EndOfSession&) = delete;
  EndOfSession& operator=(const EndOfSession&) = delete;

  void OnEnd(std::function<void()> handler) override { handler_ = std::move(handler); }
  // Once per session; later calls do nothing.
  void EndSession();
  // Forms no longer show and message boxes no longer wait; every event loop returns.
  void EndProgram() final;
  bool Ending() const final;

 protected:
  // Makes every running event loop return.
  virtual void ExitEventLoops() = 0;
  // Runs the program's handler (a copy: it may set another), when there is one.
  void RunHandler();
  bool HasHandler() const { return static_cast<bool>(handler_); }
  // The engine the session reports to.
  Engine& engine() const { return engine_; }

 private:
  Engine& engine_;
  std::function<void()> handler_;
  bool sessionEnded_ = false;
};

}  // namespace platform::engine
