// A forward search for one tag that remembers its last answer, so that a run of searches from
// non-decreasing positions costs one scan of the text in all.
#pragma once

#include <string_view>

#include "feed/AsciiSearch.h"

namespace feed {

class TagCursor {
 public:
  TagCursor(std::string_view text, std::string_view lowerTag) : text_(text), tag_(lowerTag) {}

  // 0-based index of the first tag at or after from (case ignored), or npos: always the same
  // answer as a fresh search from `from`.
  std::size_t Find(std::size_t from) {
    const bool cachedAnswerHolds =
        searched_ && from >= searchedFrom_ && (found_ == std::string_view::npos || found_ >= from);
    if (!cachedAnswerHolds) {
      found_ = FindLowerNeedle(text_, tag_, from);
      searchedFrom_ = from;
      searched_ = true;
    }
    return found_;
  }

 private:
  std::string_view text_;
  std::string_view tag_;
  bool searched_ = false;
  std::size_t searchedFrom_ = 0;
  std::size_t found_ = std::string_view::npos;
};

}  // namespace feed
