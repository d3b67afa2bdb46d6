// Refills an item list in place. The ticker reloads the same feed over and over, so the elements
// and string buffers of the previous load are overwritten rather than freed and allocated again.
#pragma once

#include <cstddef>

#include "feed/NewsItem.h"

namespace feed {

class ItemWriter {
 public:
  explicit ItemWriter(ItemList& items) : items_(items) {}
  ItemWriter(const ItemWriter&) = delete;
  ItemWriter& operator=(const ItemWriter&) = delete;

  // Also when a parser stops on an exception, no element of the previous load stays behind.
  ~ItemWriter() {
    if (used_ > 0) Truncate();
  }

  // The next element, with all fields empty; reuses an old element's storage where there is one.
  NewsItem& Next() {
    if (used_ < items_.size()) {
      NewsItem& item = items_[used_++];
      item.strTitle.clear();
      item.strLink.clear();
      item.strToolTip.clear();
      return item;
    }
    ++used_;
    return items_.emplace_back();
  }

  // Ends the list after the last element handed out (handing out an empty one if there was
  // none), dropping the elements of the previous load that were not overwritten.
  void Finish() {
    if (used_ == 0) Next();
    Truncate();
  }

 private:
  void Truncate() {
    if (items_.size() > used_) items_.erase(items_.begin() + std::ptrdiff_t(used_), items_.end());
  }

  ItemList& items_;
  std::size_t used_ = 0;
};

}  // namespace feed
