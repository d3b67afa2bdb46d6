// Fuzzes ParseStoryList: it never throws, the empty element is always last, tooltips stay empty,
// no value spans a line feed, and it agrees with the step-by-step reference.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "../unit/support/NaiveFeedParsers.h"
#include "feed/ParseStoryList.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  ItemList items{{"stale", "stale", "stale"}};
  ParseStoryList(document, items);

  Check(!items.empty());
  Check(items.back() == NewsItem{});
  for (const NewsItem& item : items) {
    Check(item.strToolTip.empty());
    Check(item.strTitle.view().find('\n') == std::string::npos);
    Check(item.strLink.view().find('\n') == std::string::npos);
  }
  if (items.size() > 1) Check(document.find("STORY ") != std::string_view::npos);

  Check(items == naive::ParseStoryList(document));
  return 0;
}
