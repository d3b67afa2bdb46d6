#include "feed/FeedUrl.h"

#include "feed/AsciiSearch.h"
#include "text/Ascii.h"

namespace feed {

namespace {

constexpr std::string_view kStoryListMark = "ticker";

bool ContainsNoCase(std::string_view text, std::string_view part) {
  return FindAscii(text, part, 0, false) != std::string_view::npos;
}

}  // namespace

bool ComesFromHomeDomain(std::string_view url, std::string_view homeDomain) {
  return ContainsNoCase(url, homeDomain);
}

FeedFormat FormatOfUrl(std::string_view url) {
  return ContainsNoCase(url, kStoryListMark) ? FeedFormat::StoryList : FeedFormat::Rss;
}

bool TakesSavedUrl(std::string_view savedUrl, std::string_view defaultUrl,
                   std::string_view homeDomain) {
  return !savedUrl.empty() && !text::EqualsNoCase(savedUrl, defaultUrl) &&
         ComesFromHomeDomain(savedUrl, homeDomain);
}

}  // namespace feed
