#include "platform/services/Redirect.h"

#include <utility>

#include "platform/services/WebAddress.h"

namespace platform {

Redirect FollowRedirect(const std::string& from, const std::string& location, int followed) {
  Redirect next;
  if (location.empty()) {
    next.failure = FetchFailure::BadRedirect;
  } else if (followed >= kMaxRedirects) {
    next.failure = FetchFailure::TooManyRedirects;
  } else {
    std::string resolved = ResolveReference(from, location);
    const std::string scheme = SchemeOf(resolved);
    if (resolved.empty() || HostOf(from).empty()) {
      next.failure = FetchFailure::BadRedirect;
    } else if (scheme != "http" && scheme != "https") {
      next.failure = FetchFailure::UnsupportedScheme;
    } else if (HostOf(resolved).empty()) {
      next.failure = FetchFailure::BadRedirect;
    } else if (SchemeOf(from) == "https" && scheme == "http") {
      next.failure = FetchFailure::InsecureRedirect;
    } else {
      next.url = std::move(resolved);
    }
  }
  return next;
}

}  // namespace platform
