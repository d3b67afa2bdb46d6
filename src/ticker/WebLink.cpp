#include "ticker/WebLink.h"

#include <algorithm>
#include <cctype>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

std::string_view TrimLink(std::string_view link) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const auto first = link.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = link.find_last_not_of(kBlanks);
  return link.substr(first, last - first + 1);
}

bool IsWebLink(std::string_view link) {
  link = TrimLink(link);
  return StartsWithNoCase(link, "http://") || StartsWithNoCase(link, "https://");
}
