// The form engine's way into the parts of a control that its public header keeps private.
// Each control's header names EngineAccess a friend; only the file that defines a control's
// Impl can use it for that control.
#pragma once

namespace platform {

struct EngineAccess {
  template <class Control>
  static auto& Impl(const Control& control) {
    return *control.d;
  }
};

}  // namespace platform
