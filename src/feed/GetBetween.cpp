#include "feed/GetBetween.h"

#include <stdexcept>

#include "feed/AsciiSearch.h"

std::size_t InStr(std::size_t start, std::string_view haystack, std::string_view needle,
                  bool matchCase) {
  const std::size_t from = start == 0 ? 0 : start - 1;
  const std::size_t at = feed::FindAscii(haystack, needle, from, matchCase);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string GetBetween(std::string_view strStartTag, std::string_view strEndTag,
                       std::string_view strText, std::int32_t& lngStart, bool blnMatchCase) {
  if (lngStart < 0) throw std::invalid_argument("GetBetween: negative start position");
  if (lngStart == 0) lngStart = 1;
  const std::size_t open = InStr(std::size_t(lngStart), strText, strStartTag, blnMatchCase);
  if (open == 0) return {};
  const std::size_t content = open + strStartTag.size();
  const std::size_t close = InStr(content, strText, strEndTag, blnMatchCase);
  if (close == 0) return {};
  return std::string(strText.substr(content - 1, close - content));
}
