// One ticker item and the item list that the parsers fill and the strip shows.
#pragma once

#include <vector>

#include "text/SharedText.h"

// Fields are shared immutable texts: an item that takes a field from a later item holds the
// same buffer as that item, and a label showing a field holds it too.
struct NewsItem {
  text::SharedText strTitle;    // the label's caption
  text::SharedText strLink;     // opened when the label is pressed; may be empty
  text::SharedText strToolTip;  // the label's tooltip; may be empty
  friend bool operator==(const NewsItem&, const NewsItem&) = default;
};

// Lower bound 0, never empty; its upper bound is size() - 1.
using ItemList = std::vector<NewsItem>;
