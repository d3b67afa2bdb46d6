// What a feed URL decides before anything is fetched: whether it is accepted at all, which
// parser reads its document, and whether a URL saved in the settings is taken at start-up.
// Every search here ignores ASCII letter case and looks at the whole URL (host, path, query).
#pragma once

#include <string_view>

namespace feed {

enum class FeedFormat { Rss, StoryList };

// True when url contains homeDomain anywhere; any other URL is refused before it is fetched.
bool ComesFromHomeDomain(std::string_view url, std::string_view homeDomain);

// StoryList when url contains "ticker" anywhere, else Rss. Only the URL decides, never the
// document.
FeedFormat FormatOfUrl(std::string_view url);

// True when the URL saved in the settings replaces the default at start-up: it is not empty,
// it is not defaultUrl in another letter case, and it comes from homeDomain. A URL taken here
// is never refused by ComesFromHomeDomain afterwards.
bool TakesSavedUrl(std::string_view savedUrl, std::string_view defaultUrl,
                   std::string_view homeDomain);

}  // namespace feed
