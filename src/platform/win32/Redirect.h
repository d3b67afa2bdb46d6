// Where a redirect leads, decided by hand: WinINet's own following would take an https page
// to http.
#pragma once

#include <string>

#include "platform/services/Inet.h"

namespace platform::win32 {

inline constexpr int kMaxRedirects = 10;

struct Redirect {
  std::wstring url;                           // the absolute URL to fetch next
  FetchFailure failure = FetchFailure::None;  // why it is not followed
};

// The redirect from the URL from with the Location header location, after followed redirects
// already: location resolved against from, or BadRedirect (no or unusable Location),
// TooManyRedirects (one more than kMaxRedirects), UnsupportedScheme (neither http nor https),
// InsecureRedirect (from https to http).
Redirect FollowRedirect(const std::wstring& from, const std::wstring& location, int followed);

}  // namespace platform::win32
