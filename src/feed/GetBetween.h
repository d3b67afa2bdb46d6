// The general text extractor: the text between two tags, searched forward from a 1-based
// position, case-sensitive or not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Returns the text strictly between the first strStartTag at or after lngStart and the
// first strEndTag after it, or "" when either is missing. A lngStart of 0 is taken as 1 and
// written back; a negative one throws std::invalid_argument. blnMatchCase true compares
// exactly, false ignores ASCII letter case.
std::string GetBetween(std::string_view strStartTag, std::string_view strEndTag,
                       std::string_view strText, std::int32_t& lngStart, bool blnMatchCase);

// 1-based position of the first needle at or after start (1-based), 0 when not found.
// An empty needle is found at start when start lies within the text or just after it.
std::size_t InStr(std::size_t start, std::string_view haystack, std::string_view needle,
                  bool matchCase);
