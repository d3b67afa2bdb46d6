// The ten tags the RSS reader looks for, and the test of which one starts at a '<'.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace feed {

enum Field { kTitle, kLink, kAuthor, kPubDate, kFieldCount };

struct FieldTags {
  std::string_view open;
  std::string_view close;
};

constexpr std::array<FieldTags, kFieldCount> kFieldTags = {{{"<title>", "</title>"},
                                                            {"<link>", "</link>"},
                                                            {"<author>", "</author>"},
                                                            {"<pubdate>", "</pubdate>"}}};
constexpr std::string_view kItemOpen = "<item>";
constexpr std::string_view kItemClose = "</item>";

enum class TagKind { kNone, kItemOpen, kItemClose, kFieldOpen, kFieldClose };

struct Tag {
  TagKind kind = TagKind::kNone;
  Field field = kTitle;
};

// Which of the ten tags, if any, starts at document[at] == '<' (letter case ignored). No two
// of them share a start.
Tag ClassifyTag(std::string_view document, std::size_t at);

}  // namespace feed
