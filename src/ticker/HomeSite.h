// The home site's build-time constants, as text.
#pragma once

#include <string_view>

inline constexpr std::string_view kHomeDomain = HOME_DOMAIN;
inline constexpr std::string_view kHomeSiteName = HOME_SITE_NAME;
inline constexpr std::string_view kDefaultFeedUrl = DEFAULT_FEED_URL;

#include <string>

// The title picture's tooltip.
inline std::string TitleToolTip() {
  return std::string(kHomeSiteName) + " RSS Feed - rightclick to display options";
}
