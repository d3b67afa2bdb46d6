#include "feed/ParseStoryList.h"

namespace {

constexpr std::string_view kStart = "STORY ";
constexpr std::string_view kHeadline = "HEADLINE ";
constexpr std::string_view kLink = "URL ";
constexpr auto npos = std::string_view::npos;

struct Line {
  std::string_view rest;  // the line after its marker, without the line ending
  std::size_t end;        // index of the ending line feed, npos when the document ends first
};

// The rest of the line from `from` on. A carriage return just before the line feed belongs to
// the line ending of servers that write CR LF, and so does one that ends the document.
Line RestOfLine(std::string_view document, std::size_t from) {
  const std::size_t lineFeed = document.find('\n', from);
  std::string_view rest = document.substr(from, lineFeed == npos ? npos : lineFeed - from);
  if (rest.ends_with('\r')) rest.remove_suffix(1);
  return {rest, lineFeed};
}

void ReadStories(std::string_view document, ItemList& items) {
  const std::size_t start = document.find(kStart);
  if (start == npos) return;
  std::size_t s = start;
  for (;;) {
    const std::size_t headline = document.find(kHeadline, s);
    if (headline == npos) return;
    NewsItem& story = items.emplace_back();
    const Line title = RestOfLine(document, headline + kHeadline.size());
    story.strTitle = title.rest;
    if (title.end == npos) return;

    // Searched from the end of the headline's line: a story without a link line takes the
    // next story's link, and that story's headline is passed over.
    const std::size_t url = document.find(kLink, title.end);
    if (url == npos) return;
    const Line link = RestOfLine(document, url + kLink.size());
    story.strLink = link.rest;
    if (link.end == npos) return;
    s = link.end;
  }
}

// An upper bound of the stories after the start mark: each begins with a "HEADLINE ".
std::size_t CountHeadlines(std::string_view document, std::size_t from) {
  std::size_t count = 0;
  for (std::size_t f = document.find(kHeadline, from); f != npos;
       f = document.find(kHeadline, f + kHeadline.size())) {
    ++count;
  }
  return count;
}

}  // namespace

// The new list is built aside and takes the place of the old one only when it is complete. No
// step of the reading fails; only memory can run out, and then the previous items stay as they
// were and the caller learns it from std::bad_alloc.
void ParseStoryList(std::string_view document, ItemList& arrItems) {
  ItemList items;
  const std::size_t start = document.find(kStart);
  items.reserve((start == npos ? 0 : CountHeadlines(document, start)) + 1);
  ReadStories(document, items);
  items.emplace_back();  // the empty element comes last
  if (items.capacity() / 2 > items.size()) items.shrink_to_fit();
  arrItems.swap(items);
}
