// The program's text is UTF-8; Win32 takes and gives UTF-16. These two convert at every call.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-16 for a Win32 call; malformed UTF-8 comes out with U+FFFD in place of the bad bytes.
std::wstring Widen(std::string_view utf8);

// UTF-8 from a Win32 result; an unpaired surrogate comes out as U+FFFD.
std::string Narrow(std::wstring_view utf16);

// The system's text for an error code (GetLastError's), without the trailing line break or
// full stop; "error N" when the system has none.
std::string ErrorText(unsigned long error);

}  // namespace platform::win32
