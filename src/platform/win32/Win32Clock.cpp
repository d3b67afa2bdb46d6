#include "platform/win32/Win32Clock.h"

namespace platform::win32 {

std::chrono::system_clock::time_point Win32Clock::Now() const {
  return std::chrono::system_clock::now();
}

}  // namespace platform::win32
