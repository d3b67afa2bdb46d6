#include "feed/ParseRss.h"

#include <array>

#include "feed/AsciiSearch.h"
#include "feed/ByteScanner.h"
#include "feed/FieldDecoding.h"
#include "feed/ItemWriter.h"
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

// Scratch buffers kept across the items of one document, so decoding a title allocates at most
// the title itself.
struct TitleDecoder {
  std::string once;
  std::string twice;

  void Decode(std::string_view raw, std::string& title) {
    const std::string_view text = StripCDataView(raw);
    if (text.find('&') == npos) {
      title.assign(text);
      return;
    }
    once.clear();
    AppendReplacedWithAmpersand(once, text, "&amp;amp;");
    twice.clear();
    AppendReplacedWithAmpersand(twice, once, "&amp;");
    title.clear();
    AppendXmlEscapesDecoded(title, twice, false);
  }
};

void ReadItems(std::string_view document, ItemWriter& items) {
  FieldLookup lookup(document);
  TitleDecoder titles;
  std::size_t p = FindLowerNeedle(document, kItemOpen, 0);
  while (p != npos) {
    const ItemScan scan = ScanItem(document, p);
    NewsItem& entry = items.Next();

    titles.Decode(lookup.Value(kTitle, scan), entry.strTitle);

    // Inside a CDATA section an "&" is literal; outside it the link is XML-escaped text.
    const std::string_view link = lookup.Value(kLink, scan);
    if (HasCDataMarker(link)) {
      entry.strLink.assign(StripCDataView(link));
    } else {
      entry.strLink.clear();
      AppendXmlEscapesDecoded(entry.strLink, link, true);
    }

    const std::string_view author = StripCDataView(lookup.Value(kAuthor, scan));
    const std::string_view date = StripCDataView(lookup.Value(kPubDate, scan));
    std::string& tip = entry.strToolTip;
    tip.clear();
    tip.reserve(author.size() + date.size() + 12);
    tip.append("Post by ").append(author).append(" on ").append(date);

    // An item left open gives no place to look for the next one, so the scan ends with it.
    if (scan.end == npos) break;
    p = FindLowerNeedle(document, kItemOpen, scan.end);
  }
}

}  // namespace
}  // namespace feed

void ParseRss(std::string_view document, ItemList& arrItems) {
  feed::ItemWriter items(arrItems);
  items.Next();  // element 0 stays empty
  feed::ReadItems(document, items);
  items.Finish();
}
