// A fetched document read into the item list: the parser its format asks for, and the items
// shown kept until the new ones stand, so that a document memory cannot hold leaves the strip
// as it was. The same reading for the strip and for feeddump.
#pragma once

#include <new>
#include <string>

#include "feed/FeedUrl.h"
#include "feed/NewsItem.h"

namespace feed {

// Refills items from the document with the parser of format.
void ParseFeed(FeedFormat format, const std::string& document, ItemList& items);

// Refills items from the document (which is emptied) and has show() lay the new items out.
// When memory cannot hold the new items or their layout, the items shown before come back,
// restore() lays them out again if show() had begun, and the result is false.
template <typename Show, typename Restore>
bool ReplaceItems(FeedFormat format, std::string& document, ItemList& items, Show show,
                  Restore restore) {
  ItemList shown;
  shown.swap(items);
  bool begun = false;
  try {
    ParseFeed(format, document, items);
    document = std::string();
    begun = true;
    show();
  } catch (const std::bad_alloc&) {
    document = std::string();
    items.swap(shown);
    shown = ItemList();
    if (begun) restore();
    return false;
  }
  return true;
}

}  // namespace feed
