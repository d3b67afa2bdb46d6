// The system's wall clock.
#pragma once

#include "platform/services/Services.h"

namespace platform::win32 {

class Win32Clock final : public Clock {
 public:
  std::chrono::system_clock::time_point Now() const override;
};

}  // namespace platform::win32
