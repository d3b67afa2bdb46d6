#include "feed/AsciiSearch.h"
#include "feed/FieldDecoding.h"
#include "feed/ParseRss.h"

namespace feed {

void AppendReplacedWithAmpersand(std::string& out, std::string_view text,
                                 std::string_view lowerNeedle) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = FindLowerNeedle(text, lowerNeedle, from);
    if (at == std::string_view::npos) break;
    out.append(text.substr(from, at - from));
    out.push_back('&');
    from = at + lowerNeedle.size();
  }
  out.append(text.substr(from));
}

}  // namespace feed

std::string DecodeAmpersands(std::string_view text) {
  // The second pass runs on the first one's output, so "&amp;amp;amp;" ends as "&".
  std::string once;
  once.reserve(text.size());
  feed::AppendReplacedWithAmpersand(once, text, "&amp;amp;");
  std::string twice;
  twice.reserve(once.size());
  feed::AppendReplacedWithAmpersand(twice, once, "&amp;");
  return twice;
}
