#include "feed/ReadFeed.h"

#include "feed/ParseRss.h"
#include "feed/ParseStoryList.h"

namespace feed {

void ParseFeed(FeedFormat format, const std::string& document, ItemList& items) {
  if (format == FeedFormat::Rss) {
    ParseRss(document, items);
  } else {
    ParseStoryList(document, items);
  }
}

}  // namespace feed
