#include "platform/Timer.h"

#include <QObject>
#include <QTimer>

namespace platform {

struct Timer::Impl {
  QTimer timer;
  int interval = 0;
  bool enabled = false;

  bool running = false;

  // Runs while enabled with a non-zero interval; a new countdown starts only when it was
  // not running. WORKAROUND: QTimer::isActive() read right after start() in the same event
  // was seen to answer false here, restarting the countdown; our own flag is exact.
  void apply(bool restart) {
    if (!enabled || interval <= 0) {
      timer.stop();
      running = false;
      return;
    }
    if (restart || !running) {
      timer.start(interval);
      running = true;
    }
  }
};

Timer::Timer(const Definition& definition) : d(std::make_unique<Impl>()) {
  d->timer.setObjectName(QString::fromUtf8(definition.name));
  d->interval = definition.interval;
  d->enabled = definition.enabled;
  QObject::connect(&d->timer, &QTimer::timeout, &d->timer, [this] {
    if (EventHandler tick = Tick) tick();
  });
  d->apply(false);
}

Timer::~Timer() = default;

int Timer::Interval() const { return d->interval; }

// As the form engine's timers do, a new interval starts a new countdown.
void Timer::setInterval(int milliseconds) {
  d->interval = milliseconds;
  d->apply(true);
}

bool Timer::Enabled() const { return d->enabled; }

void Timer::setEnabled(bool enabled) {
  d->enabled = enabled;
  d->apply(false);
}

}  // namespace platform
