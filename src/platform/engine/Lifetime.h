// Whether an object is still there after a call that may have destroyed it: a handler may
// unload a form, close a window or unload a label while the object that called it is still on
// the stack. The object holds a Lifetime; a caller keeps a witness across the call (or in a
// posted call) and asks it afterwards.
#pragma once

#include <memory>

namespace platform::engine {

class Lifetime {
 public:
  class Witness {
   public:
    // True while the object lives.
    explicit operator bool() const { return *alive_; }

   private:
    friend class Lifetime;
    explicit Witness(std::shared_ptr<const bool> alive) : alive_(std::move(alive)) {}
    std::shared_ptr<const bool> alive_;
  };

  Lifetime() = default;
  ~Lifetime() { end(); }
  Lifetime(const Lifetime&) = delete;
  Lifetime& operator=(const Lifetime&) = delete;

  Witness witness() const { return Witness(alive_); }
  // The object is going: witnesses say so from now on, also while its destructor still runs.
  void end() { *alive_ = false; }

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace platform::engine
