#include "feed/ParseRss.h"

#include <array>
#include <string>

#include "feed/AsciiSearch.h"
#include "feed/ByteScanner.h"
#include "feed/FieldDecoding.h"
#include "feed/RssTags.h"
#include "feed/TagCursor.h"

// Every field of an item is the first occurrence of its tag at or after the item's "<item>",
// wherever that lies. Searching afresh per field and item would make a feed whose items lack a
// field quadratic, so the document is read in one forward pass over its '<' bytes: the item's
// own span, "<item>" to "</item>", is scanned once for all eight field tags, and only a field
// that is not complete inside that span is looked up beyond it, through cursors whose searches
// move forward only. The answers are those of the fresh searches.

namespace feed {
namespace {

using text::SharedText;

constexpr auto npos = std::string_view::npos;

struct Span {
  std::size_t open = npos;   // the field's opening tag
  std::size_t close = npos;  // the first closing tag after it
};

struct ItemScan {
  std::array<Span, kFieldCount> fields;
  std::size_t end = npos;  // the item's "</item>", npos when it is never closed
};

// Scans from the item's "<item>" at p to its "</item>", noting each field's first opening tag
// and the first closing tag after that.
ItemScan ScanItem(std::string_view document, std::size_t p) {
  ItemScan scan;
  ByteScanner angles(document, '<', p + kItemOpen.size());
  for (std::size_t i = angles.Next(); i != npos; i = angles.Next()) {
    const Tag tag = ClassifyTag(document, i);
    if (tag.kind == TagKind::kItemClose) {
      scan.end = i;
      break;
    }
    Span& span = scan.fields[tag.field];
    if (tag.kind == TagKind::kFieldOpen && span.open == npos) {
      span.open = i;
    } else if (tag.kind == TagKind::kFieldClose && span.open != npos && span.close == npos) {
      span.close = i;
    }
  }
  return scan;
}

// Finds the fields that an item's own span does not complete. Each cursor is asked from
// non-decreasing positions only: the openings and the closes of borrowed fields from the
// item's end on, the closes of borrowed openings from just after those openings.
class FieldLookup {
 public:
  explicit FieldLookup(std::string_view document)
      : document_(document),
        open_{Cursors(document, &FieldTags::open)},
        closeAfterEnd_{Cursors(document, &FieldTags::close)},
        closeAfterOpen_{Cursors(document, &FieldTags::close)} {}

  std::string_view Value(Field field, const ItemScan& scan) {
    const std::size_t openSize = kFieldTags[field].open.size();
    Span span = scan.fields[field];
    if (span.open == npos) {
      // An item never closed was scanned to the end of the document: nothing lies beyond.
      if (scan.end == npos) return {};
      span.open = open_[field].Find(scan.end);
      if (span.open == npos) return {};
      span.close = closeAfterOpen_[field].Find(span.open + openSize);
    } else if (span.close == npos && scan.end != npos) {
      span.close = closeAfterEnd_[field].Find(scan.end);
    }
    if (span.close == npos) return {};
    const std::size_t content = span.open + openSize;
    return document_.substr(content, span.close - content);
  }

 private:
  using CursorSet = std::array<TagCursor, kFieldCount>;

  static CursorSet Cursors(std::string_view document, std::string_view FieldTags::*which) {
    return {TagCursor(document, kFieldTags[kTitle].*which),
            TagCursor(document, kFieldTags[kLink].*which),
            TagCursor(document, kFieldTags[kAuthor].*which),
            TagCursor(document, kFieldTags[kPubDate].*which)};
  }

  std::string_view document_;
  CursorSet open_;
  CursorSet closeAfterEnd_;
  CursorSet closeAfterOpen_;
};

// One field's value for consecutive items. Items that lack a field take it from the same later
// tag, so their raw texts are the very same bytes of the document: those items share one
// buffer, decoded once. A value equal to the previous item's (every item's tooltip when no item
// names an author or date) is shared as well.
class FieldValues {
 public:
  // The shared value for raw, built by decode(raw, scratch) unless raw is the previous raw text.
  template <typename Decode>
  const SharedText& Value(std::string_view raw, Decode&& decode) {
    if (known_ && raw.data() == raw_.data() && raw.size() == raw_.size()) return value_;
    raw_ = raw;
    known_ = true;
    scratch_.clear();
    decode(raw, scratch_);
    if (value_.view() != scratch_) value_ = SharedText(std::string_view(scratch_));
    return value_;
  }

 private:
  bool known_ = false;
  std::string_view raw_;
  std::string scratch_;
  SharedText value_;
};

void DecodeTitle(std::string_view raw, std::string& title) {
  AppendTitleReferencesDecoded(title, StripCDataView(raw));
}

// The tooltip depends on two raw fields; it is rebuilt only when one of them changes.
struct ToolTips {
  std::string_view author;
  std::string_view date;
  bool known = false;
  std::string scratch;
  SharedText value;

  const SharedText& Value(std::string_view rawAuthor, std::string_view rawDate) {
    if (known && rawAuthor.data() == author.data() && rawAuthor.size() == author.size() &&
        rawDate.data() == date.data() && rawDate.size() == date.size()) {
      return value;
    }
    author = rawAuthor;
    date = rawDate;
    known = true;
    scratch.assign("Post by ")
        .append(StripCDataView(rawAuthor))
        .append(" on ")
        .append(StripCDataView(rawDate));
    if (value.view() != scratch) value = SharedText(std::string_view(scratch));
    return value;
  }
};

// An upper bound of the items: every item starts with an "<item>".
std::size_t CountItemTags(std::string_view document) {
  std::size_t count = 0;
  for (std::size_t p = FindLowerNeedle(document, kItemOpen, 0); p != npos;
       p = FindLowerNeedle(document, kItemOpen, p + kItemOpen.size())) {
    ++count;
  }
  return count;
}

void ReadItems(std::string_view document, ItemList& items) {
  FieldLookup lookup(document);
  FieldValues titles;
  FieldValues links;
  ToolTips tips;
  std::size_t p = FindLowerNeedle(document, kItemOpen, 0);
  while (p != npos) {
    const ItemScan scan = ScanItem(document, p);
    NewsItem& entry = items.emplace_back();

    entry.strTitle = titles.Value(lookup.Value(kTitle, scan), DecodeTitle);

    // Inside a CDATA section an "&" is literal; outside it the link is XML-escaped text.
    entry.strLink =
        links.Value(lookup.Value(kLink, scan), [](std::string_view raw, std::string& out) {
          if (HasCDataMarker(raw)) {
            out.assign(StripCDataView(raw));
          } else {
            AppendXmlEscapesDecoded(out, raw, true);
          }
        });

    entry.strToolTip = tips.Value(lookup.Value(kAuthor, scan), lookup.Value(kPubDate, scan));

    // An item left open gives no place to look for the next one, so the scan ends with it.
    if (scan.end == npos) break;
    p = FindLowerNeedle(document, kItemOpen, scan.end);
  }
}

}  // namespace
}  // namespace feed

// The new list is built aside and takes the place of the old one only when it is complete: a
// document too large to hold leaves the previous items as they were.
void ParseRss(std::string_view document, ItemList& arrItems) {
  ItemList items;
  items.reserve(feed::CountItemTags(document) + 1);
  items.emplace_back();  // element 0 stays empty
  feed::ReadItems(document, items);
  if (items.capacity() / 2 > items.size()) items.shrink_to_fit();
  arrItems.swap(items);
}
