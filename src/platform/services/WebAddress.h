// The few parts of a web address a download decides on, read and resolved as the URL
// standard (RFC 3986) says, in plain C++: the same answer whichever system fetches it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The scheme of an absolute URL in lower case; "" for text that does not start with one.
std::string SchemeOf(std::string_view url);

// The host of a URL with an authority ("scheme://host:port/..."), without user information
// and port; "" when there is no authority, its host is empty or an IPv6 literal is not closed.
std::string HostOf(std::string_view url);

// reference (absolute, or relative such as "/rss.php" or "feed.xml") resolved against the
// absolute URL base, dot segments removed; "" when base has no scheme.
std::string ResolveReference(std::string_view base, std::string_view reference);

}  // namespace platform
