// A timer control: an interval in milliseconds, an Enabled flag and a tick handler.
// Enabling a timer that is already enabled leaves its countdown running as it was.
#pragma once

#include <memory>

#include "platform/forms/Handlers.h"

namespace platform {

class Form;

class Timer {
 public:
  struct Definition {
    const char* name = "";
    int interval = 0;
    bool enabled = false;
  };

  // A timer of the form: it ticks from the form's event loop.
  Timer(Form& parent, const Definition& definition);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // The interval in milliseconds. Setting it starts a new countdown; 0 or less stops the
  // ticks until another is set. Never fails.
  int Interval() const;
  void setInterval(int milliseconds);
  // The Enabled flag: the timer ticks while it is set and the interval is above 0. Never
  // fails.
  bool Enabled() const;
  void setEnabled(bool enabled);

  // Runs once per interval while enabled (and the interval is not 0).
  EventHandler Tick;

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
