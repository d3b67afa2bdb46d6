// Forward substring search over bytes, exact or ignoring ASCII letter case: the one search
// both parsers and GetBetween are built on.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/Ascii.h"

namespace feed {

// Folding never makes a non-ASCII byte equal to a tag letter (see text/Ascii.h).
using text::AsciiLower;

// 0-based index of the first needle at or after from, or npos. An empty needle is found at
// from when from <= haystack.size().
std::size_t FindAscii(std::string_view haystack, std::string_view needle, std::size_t from,
                      bool matchCase);

// The same search ignoring case, for a needle already in lower case (saves folding it).
std::size_t FindLowerNeedle(std::string_view haystack, std::string_view lowerNeedle,
                            std::size_t from);

}  // namespace feed
