// A session that the test ends: End runs the handler the program set, as the end of the
// desktop session or a termination signal would. EndProgram is counted, not carried out, so
// the test's own event loops keep running; Reset starts afresh.
#pragma once

#include <functional>
#include <utility>

#include "platform/services/Services.h"

class FakeSession final : public platform::Session {
 public:
  void OnEnd(std::function<void()> handler) override { handler_ = std::move(handler); }
  void EndProgram() override {
    ++endProgramCalls;
    ending_ = true;
  }
  bool Ending() const override { return ending_; }

  // The session ends (or a termination signal came): the program's handler runs.
  void End() {
    if (std::function<void()> handler = handler_) handler();
  }
  bool HasHandler() const { return static_cast<bool>(handler_); }
  void Reset() {
    endProgramCalls = 0;
    ending_ = false;
  }

  int endProgramCalls = 0;

 private:
  std::function<void()> handler_;
  bool ending_ = false;
};
