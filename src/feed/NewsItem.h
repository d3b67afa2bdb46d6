// One ticker item and the item list that the parsers fill and the strip shows.
#pragma once

#include <string>
#include <vector>

struct NewsItem {
  std::string strTitle;    // the label's caption
  std::string strLink;     // opened when the label is pressed; may be empty
  std::string strToolTip;  // the label's tooltip; may be empty
  friend bool operator==(const NewsItem&, const NewsItem&) = default;
};

// Lower bound 0, never empty; its upper bound is size() - 1.
using ItemList = std::vector<NewsItem>;
