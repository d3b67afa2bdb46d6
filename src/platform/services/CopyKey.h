// One system's part of the one running copy: what holds the key, the ask of the copy that
// holds it, and the listening for later starts. RunningCopy::Claim decides with these.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/services/RunningCopy.h"

namespace platform {

class CopyKey {
 public:
  virtual ~CopyKey() = default;

  // Opens what holds the key (a lock file, a mutex); false when the system offers no private
  // place to meet, having said why where a person can read it.
  virtual bool open() = 0;
  enum class Lock { Taken, Held, Failed };
  // Takes the key without waiting: Taken, Held by another copy, or Failed when the system
  // says no (nothing is held then, and nothing more is asked of it).
  virtual Lock tryLock() = 0;
  // Hands the copy that holds the key the request; true once it has said it shows it.
  virtual bool ask(const LaterStart& request) = 0;
  // With the key taken: hears later starts from now on and answers each with asked().
  virtual void listen() = 0;

  void onAsked(std::function<bool(const LaterStart&)> handler) { handler_ = std::move(handler); }

 protected:
  // What this copy answers a later start: false while it has no handler.
  bool asked(const LaterStart& request) const { return handler_ && handler_(request); }

 private:
  std::function<bool(const LaterStart&)> handler_;
};

// The system's part for key (see RunningCopyKey.h); nothing is opened yet.
std::unique_ptr<CopyKey> CopyKeyFor(const std::string& key);

}  // namespace platform
