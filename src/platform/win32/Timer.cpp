#include "platform/Timer.h"

#include <map>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

// Thread timers, by the identifier the system gave them: their ticks arrive as WM_TIMER
// through whatever message loop runs (the program's, a message box's, a download's wait).
std::map<UINT_PTR, Timer*>& Running() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = Running().find(id);
  if (found == Running().end()) return;
  // The handler may disable or destroy its timer: it is copied first.
  try {
    if (EventHandler tick = found->second->Tick) tick();
  } catch (...) {
    win32::ReportFailure(std::current_exception());
  }
}

}  // namespace

struct Timer::Impl {
  int interval = 0;
  bool enabled = false;
  UINT_PTR id = 0;

  void stop() {
    if (id == 0) return;
    KillTimer(nullptr, id);
    Running().erase(id);
    id = 0;
  }

  // Runs while enabled with a non-zero interval; a new countdown starts only when it was not
  // running, or when asked.
  void apply(Timer* owner, bool restart) {
    if (!enabled || interval <= 0) {
      stop();
      return;
    }
    if (id != 0 && !restart) return;
    stop();
    id = SetTimer(nullptr, 0, static_cast<UINT>(interval), &OnTick);
    if (id != 0) Running()[id] = owner;
  }
};

Timer::Timer(const Definition& definition) : d(std::make_unique<Impl>()) {
  d->interval = definition.interval;
  d->enabled = definition.enabled;
  d->apply(this, false);
}

Timer::~Timer() { d->stop(); }

int Timer::Interval() const { return d->interval; }

// As the form engine's timers do, a new interval starts a new countdown.
void Timer::setInterval(int milliseconds) {
  d->interval = milliseconds;
  d->apply(this, true);
}

bool Timer::Enabled() const { return d->enabled; }

void Timer::setEnabled(bool enabled) {
  d->enabled = enabled;
  d->apply(this, false);
}

}  // namespace platform
