// Reference versions of the two parsers, written as the plain step-by-step search (every field
// searched afresh from its item's start), to check the linear parsers against.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "feed/GetBetween.h"
#include "feed/NewsItem.h"
#include "feed/ParseRss.h"

namespace naive {

inline ItemList ParseRss(std::string_view document) {
  ItemList items(1);
  std::int32_t p = 1;
  while (InStr(std::size_t(p), document, "<item>", false) != 0) {
    p = std::int32_t(InStr(std::size_t(p), document, "<item>", false));
    NewsItem& item = items.emplace_back();
    std::int32_t start = p;
    item.strTitle = DecodeTitleReferences(
        StripCData(GetBetween("<title>", "</title>", document, start, false)));
    const std::string rawLink = GetBetween("<link>", "</link>", document, start, false);
    item.strLink = InStr(1, rawLink, "[CDATA", false) != 0 ? StripCData(rawLink)
                                                           : DecodeXmlEscapes(rawLink, true);
    const std::string author =
        StripCData(GetBetween("<author>", "</author>", document, start, false));
    const std::string date =
        StripCData(GetBetween("<pubDate>", "</pubDate>", document, start, false));
    item.strToolTip = "Post by " + author + " on " + date;
    const std::size_t end = InStr(std::size_t(p), document, "</item>", false);
    if (end == 0) break;
    p = std::int32_t(end);
  }
  return items;
}

// 1-based positions as in the step-by-step description; 0 means "not found".
inline std::string LineValue(std::string_view document, std::size_t from, std::size_t lineFeed) {
  const std::size_t end = lineFeed == 0 ? document.size() + 1 : lineFeed;
  std::string value(document.substr(from - 1, end - from));
  if (!value.empty() && value.back() == '\r') value.pop_back();
  return value;
}

inline ItemList ParseStoryList(std::string_view document) {
  ItemList items(1);
  std::size_t f = InStr(1, document, "STORY ", true);
  std::size_t s = f;
  while (f != 0) {
    items.emplace_back();
    NewsItem& target = items[items.size() - 2];
    f = InStr(s, document, "HEADLINE ", true);
    if (f == 0) break;
    s = InStr(f, document, "\n", true);
    target.strTitle = LineValue(document, f + 9, s);
    if (s == 0) return items;
    f = InStr(s, document, "URL ", true);
    if (f == 0) return items;
    s = InStr(f, document, "\n", true);
    target.strLink = LineValue(document, f + 4, s);
    if (s == 0) return items;
  }
  if (items.size() > 1) items.pop_back();
  return items;
}

}  // namespace naive
