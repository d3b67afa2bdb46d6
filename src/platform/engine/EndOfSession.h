// The part of the system's Session that every window system shares: the program's handler for
// the end, and what the desktop session's end does (once per session: every open form is asked
// to close with vbAppWindows, then the handler runs). A surface's session hears the end in its
// window system's way and calls EndSession, or RunHandler for a termination signal.
#pragma once

#include <functional>

#include "platform/services/Services.h"

namespace platform::engine {

class EndOfSession : public Session {
 public:
  EndOfSession() = default;
  EndOfSession(const EndOfSession&) = delete;
  EndOfSession& operator=(const EndOfSession&) = delete;

  void OnEnd(std::function<void()> handler) override { handler_ = std::move(handler); }
  // Once per session; later calls do nothing.
  void EndSession();

 protected:
  // Runs the program's handler (a copy: it may set another), when there is one.
  void RunHandler();
  bool HasHandler() const { return static_cast<bool>(handler_); }

 private:
  std::function<void()> handler_;
  bool sessionEnded_ = false;
};

}  // namespace platform::engine
