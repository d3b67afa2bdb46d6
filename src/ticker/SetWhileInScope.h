// A flag that is true while a scope runs: set on entry, cleared when the scope ends however it
// ends (a return, an exception).
#pragma once

class SetWhileInScope {
 public:
  explicit SetWhileInScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~SetWhileInScope() { flag_ = false; }
  SetWhileInScope(const SetWhileInScope&) = delete;
  SetWhileInScope& operator=(const SetWhileInScope&) = delete;

 private:
  bool& flag_;
};
