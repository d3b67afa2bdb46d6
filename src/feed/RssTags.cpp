#include "feed/RssTags.h"

#include <cstdint>
#include <cstring>

#include "feed/AsciiSearch.h"

namespace feed {

namespace {

// A tag of up to 16 bytes as two overlapping 8-byte words, compared in one step each: a letter
// position ignores bit 0x20 (so either case matches, and nothing else does), other positions
// compare exactly.
struct TagPattern {
  std::size_t size = 0;
  std::uint64_t head = 0, headFold = 0, headKeep = 0;  // bytes 0 … 7
  std::uint64_t tail = 0, tailFold = 0;                // bytes size - 8 … size - 1
};

std::uint64_t Word(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

TagPattern MakePattern(std::string_view lowerTag) {
  char tag[16] = {}, fold[16] = {}, keep[16] = {};
  for (std::size_t i = 0; i < lowerTag.size(); ++i) {
    tag[i] = lowerTag[i];
    fold[i] = (lowerTag[i] >= 'a' && lowerTag[i] <= 'z') ? 0x20 : 0;
    keep[i] = char(0xFF);
  }
  TagPattern pattern;
  pattern.size = lowerTag.size();
  pattern.head = Word(tag);
  pattern.headFold = Word(fold);
  pattern.headKeep = Word(keep);
  if (lowerTag.size() > 8) {
    pattern.tail = Word(tag + lowerTag.size() - 8);
    pattern.tailFold = Word(fold + lowerTag.size() - 8);
  }
  return pattern;
}

struct FieldPatterns {
  TagPattern open;
  TagPattern close;
};

const TagPattern kItemOpenPattern = MakePattern(kItemOpen);
const TagPattern kItemClosePattern = MakePattern(kItemClose);
const std::array<FieldPatterns, kFieldCount> kFieldPatterns = {{
    {MakePattern(kFieldTags[kTitle].open), MakePattern(kFieldTags[kTitle].close)},
    {MakePattern(kFieldTags[kLink].open), MakePattern(kFieldTags[kLink].close)},
    {MakePattern(kFieldTags[kAuthor].open), MakePattern(kFieldTags[kAuthor].close)},
    {MakePattern(kFieldTags[kPubDate].open), MakePattern(kFieldTags[kPubDate].close)},
}};

bool MatchesAt(std::string_view document, std::size_t at, const TagPattern& pattern,
               std::string_view lowerTag) {
  const std::size_t left = document.size() - at;
  if (left >= 16) {
    const char* p = document.data() + at;
    if (((Word(p) | pattern.headFold) & pattern.headKeep) != pattern.head) return false;
    return pattern.size <= 8 || (Word(p + pattern.size - 8) | pattern.tailFold) == pattern.tail;
  }
  if (lowerTag.size() > left) return false;
  for (std::size_t i = 1; i < lowerTag.size(); ++i) {
    if (AsciiLower(document[at + i]) != lowerTag[i]) return false;
  }
  return true;
}

}  // namespace

Tag ClassifyTag(std::string_view document, std::size_t at) {
  if (at + 1 >= document.size()) return {};
  const bool closing = document[at + 1] == '/';
  const std::size_t nameAt = at + (closing ? 2 : 1);
  if (nameAt >= document.size()) return {};
  Field field;
  switch (AsciiLower(document[nameAt])) {
    case 'i':
      if (closing ? MatchesAt(document, at, kItemClosePattern, kItemClose)
                  : MatchesAt(document, at, kItemOpenPattern, kItemOpen))
        return {closing ? TagKind::kItemClose : TagKind::kItemOpen, kTitle};
      return {};
    case 't':
      field = kTitle;
      break;
    case 'l':
      field = kLink;
      break;
    case 'a':
      field = kAuthor;
      break;
    case 'p':
      field = kPubDate;
      break;
    default:
      return {};
  }
  const bool matches =
      closing ? MatchesAt(document, at, kFieldPatterns[field].close, kFieldTags[field].close)
              : MatchesAt(document, at, kFieldPatterns[field].open, kFieldTags[field].open);
  if (!matches) return {};
  return {closing ? TagKind::kFieldClose : TagKind::kFieldOpen, field};
}

}  // namespace feed
