#include "platform/forms/Timer.h"

#include "platform/engine/Engine.h"
#include "platform/engine/FormCore.h"
#include "platform/engine/Surface.h"

namespace platform {

struct Timer::Impl final : engine::Resting {
  explicit Impl(engine::Engine& e) : engine(e) { engine.addResting(this); }
  ~Impl() { engine.removeResting(this); }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  engine::Engine& engine;
  std::unique_ptr<engine::NativeTimer> native;
  int interval = 0;
  bool enabled = false;
  bool running = false;

  // Runs while enabled with a non-zero interval and somebody can see the screen; a new
  // countdown starts only when it was not running, or when asked.
  void apply(bool restart) {
    if (!enabled || interval <= 0 || !engine.seen()) {
      if (running) native->stop();
      running = false;
      return;
    }
    if (running && !restart) return;
    native->start(interval);
    running = true;
  }

  void seenChanged() override { apply(false); }
};

Timer::Timer(Form& parent, const Definition& definition)
    : d(std::make_unique<Impl>(engine::CoreOf(parent).engine())) {
  // The handler may disable or destroy its timer: it is copied first.
  d->native = d->engine.surface().makeTimer([this] {
    if (EventHandler tick = Tick) tick();
  });
  d->interval = definition.interval;
  d->enabled = definition.enabled;
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
