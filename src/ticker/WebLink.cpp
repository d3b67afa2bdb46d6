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

bool IsWebLink(std::string_view link) {
  const auto first = link.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  link.remove_prefix(first);
  return StartsWithNoCase(link, "http://") || StartsWithNoCase(link, "https://");
}
