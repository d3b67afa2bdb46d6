// The claim of the running copy, the same on every system over each one's CopyKey.
#include "platform/services/RunningCopy.h"

#include <chrono>
#include <thread>
#include <utility>

#include "platform/services/CopyKey.h"

namespace platform {

namespace {

// How long a later start keeps trying while the running copy holds the key but does not
// answer: it may be between taking the key and listening, or saving on its way out.
constexpr auto kPatience = std::chrono::seconds(5);
constexpr auto kRetry = std::chrono::milliseconds(50);

}  // namespace

RunningCopy::RunningCopy(std::unique_ptr<CopyKey> key) : d(std::move(key)) {}

RunningCopy::~RunningCopy() = default;

void RunningCopy::OnAsked(std::function<bool(const LaterStart&)> handler) {
  d->onAsked(std::move(handler));
}

std::unique_ptr<RunningCopy> RunningCopy::Claim(const std::string& key, const LaterStart& request) {
  std::unique_ptr<CopyKey> copyKey = CopyKeyFor(key);
  // This process as the one copy, or, without a place to meet, a copy that holds nothing.
  const auto run = [&copyKey] {
    return std::unique_ptr<RunningCopy>(new RunningCopy(std::move(copyKey)));
  };
  if (!copyKey->open()) return run();
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  for (;;) {
    switch (copyKey->tryLock()) {
      case CopyKey::Lock::Taken:
        copyKey->listen();
        return run();
      case CopyKey::Lock::Failed:
        return run();
      case CopyKey::Lock::Held:
        break;
    }
    if (copyKey->ask(request)) return nullptr;
    if (std::chrono::steady_clock::now() >= deadline) return nullptr;
    std::this_thread::sleep_for(kRetry);
  }
}

}  // namespace platform
