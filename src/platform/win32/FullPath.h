// The absolute form of a path as Windows makes it (GetFullPathNameW: the current folder and
// drive applied, "." and ".." taken out, separators made backslashes), at any length.
#pragma once

#include <string>

namespace platform::win32 {

// "" when the system cannot make one; GetLastError tells why.
std::wstring FullPath(const std::wstring& path);

}  // namespace platform::win32
