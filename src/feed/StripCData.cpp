#include <cstdint>

#include "feed/AsciiSearch.h"
#include "feed/FieldDecoding.h"
#include "feed/ParseRss.h"

namespace feed {

bool HasCDataMarker(std::string_view text) {
  return FindLowerNeedle(text, "[cdata", 0) != std::string_view::npos;
}

std::string_view StripCDataView(std::string_view text) {
  if (!HasCDataMarker(text)) return text;
  constexpr std::string_view kOpen = "<![cdata[";
  constexpr std::string_view kClose = "]]>";
  const std::size_t open = FindLowerNeedle(text, kOpen, 0);
  if (open == std::string_view::npos) return {};
  const std::size_t content = open + kOpen.size();
  const std::size_t close = FindLowerNeedle(text, kClose, content);
  if (close == std::string_view::npos) return {};
  return text.substr(content, close - content);
}

}  // namespace feed

std::string StripCData(std::string_view text) { return std::string(feed::StripCDataView(text)); }
