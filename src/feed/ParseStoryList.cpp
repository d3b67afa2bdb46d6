#include "feed/ParseStoryList.h"

#include "feed/ItemWriter.h"

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

void ReadStories(std::string_view document, feed::ItemWriter& items) {
  const std::size_t start = document.find(kStart);
  if (start == npos) return;
  std::size_t s = start;
  for (;;) {
    const std::size_t headline = document.find(kHeadline, s);
    if (headline == npos) return;
    NewsItem& story = items.Next();
    const Line title = RestOfLine(document, headline + kHeadline.size());
    story.strTitle.assign(title.rest);
    if (title.end == npos) return;

    // Searched from the end of the headline's line: a story without a link line takes the
    // next story's link, and that story's headline is passed over.
    const std::size_t url = document.find(kLink, title.end);
    if (url == npos) return;
    const Line link = RestOfLine(document, url + kLink.size());
    story.strLink.assign(link.rest);
    if (link.end == npos) return;
    s = link.end;
  }
}

}  // namespace

void ParseStoryList(std::string_view document, ItemList& arrItems) {
  try {
    feed::ItemWriter items(arrItems);
    ReadStories(document, items);
    items.Next();  // the empty element comes last
    items.Finish();
  } catch (...) {
    // Only allocation can fail here. clear() keeps the vector's storage, so the empty element
    // normally fits without allocating; the inner guard keeps the never-throws promise anyway.
    arrItems.clear();
    try {
      arrItems.emplace_back();
    } catch (...) {
    }
  }
}
