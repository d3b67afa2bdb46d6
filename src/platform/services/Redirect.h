// Where a redirect leads, decided by hand on every system: no toolkit's own following may take
// an https page to http, and every refusal has its own failure.
#pragma once

#include <string>

#include "platform/services/Inet.h"

namespace platform {

inline constexpr int kMaxRedirects = 10;

struct Redirect {
  std::string url;                            // the absolute URL to fetch next
  FetchFailure failure = FetchFailure::None;  // why it is not followed
};

// The redirect from the URL from with the Location header location, after followed redirects
// already: location resolved against from, or BadRedirect (no or unusable Location),
// TooManyRedirects (one more than kMaxRedirects), UnsupportedScheme (neither http nor https),
// InsecureRedirect (from https to http).
Redirect FollowRedirect(const std::string& from, const std::string& location, int followed);

}  // namespace platform
