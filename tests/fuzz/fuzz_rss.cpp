// Fuzzes ParseRss: the item list always keeps its empty element 0, every tooltip has its fixed
// frame, and the linear parser agrees with the step-by-step reference.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "../unit/support/NaiveFeedParsers.h"
#include "feed/ParseRss.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  ItemList items{{"stale", "stale", "stale"}};
  ParseRss(document, items);

  Check(!items.empty());
  Check(items.front() == NewsItem{});
  for (std::size_t i = 1; i < items.size(); ++i) {
    const NewsItem& item = items[i];
    Check(item.strToolTip.view().starts_with("Post by "));
    Check(item.strToolTip.view().find(" on ") != std::string::npos);
    Check(item.strTitle.size() <= size && item.strLink.size() <= size);
  }
  // Each item needs its own "<item>" (6 bytes) in the document.
  Check((items.size() - 1) * 6 <= size);

  Check(items == naive::ParseRss(document));
  return 0;
}
