// Feed parsing throughput: ParseRss on generated feeds of 100 KB and 10 MB, the same size with
// no author in any item (each item then borrows from nowhere, the case that must stay linear),
// ParseStoryList on a 10 MB list, and a full pugixml parse of the same RSS documents as yardstick.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "feed/ParseRss.h"
#include "feed/ParseStoryList.h"

#if __has_include(<pugixml.hpp>)
#include <pugixml.hpp>
#define TICKER_HAVE_PUGIXML 1
#endif

namespace {

constexpr std::size_t kSmall = 100 * 1024;
constexpr std::size_t kLarge = 10 * 1024 * 1024;

// Fixed pseudo-random words, so every run parses the same bytes.
class Words {
 public:
  std::string Next() {
    static const char* const kWords[] = {"harbour", "council",     "vote",   "bridge", "weather",
                                         "market",  "caf\xC3\xA9", "school", "rail",   "festival",
                                         "storm",   "budget",      "team",   "wins",   "opens"};
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return kWords[(state_ >> 33) % std::size(kWords)];
  }
  std::string Sentence(int words) {
    std::string out;
    for (int i = 0; i < words; ++i) {
      if (i) out += ' ';
      out += Next();
    }
    return out;
  }

 private:
  std::uint64_t state_ = 42;
};

std::string MakeRss(std::size_t size, bool withAuthors) {
  Words words;
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n"
      "<title>Tallowmere News</title>\n<link>http://www.tallowmere.example/</link>\n"
      "<description>Latest stories</description>\n";
  for (int id = 1; doc.size() < size; ++id) {
    doc += "<item>\n<title>" + words.Sentence(6) + " &amp; " + words.Sentence(2) + "</title>\n";
    doc += "<link>http://www.tallowmere.example/story.php?id=" + std::to_string(id) +
           "&amp;src=rss</link>\n";
    doc += "<description><![CDATA[<p>" + words.Sentence(30) + "</p>]]></description>\n";
    if (withAuthors) doc += "<author>" + words.Sentence(2) + "</author>\n";
    doc += "<pubDate>Mon, 06 Sep 2004 10:00:00 GMT</pubDate>\n</item>\n";
  }
  doc += "</channel>\n</rss>\n";
  return doc;
}

std::string MakeStoryList(std::size_t size) {
  Words words;
  std::string doc = "STORY \n";
  for (int id = 1; doc.size() < size; ++id) {
    doc += "HEADLINE " + words.Sentence(8) + "\n";
    doc += "URL http://www.tallowmere.example/story.php?id=" + std::to_string(id) + "\n";
  }
  return doc;
}

const std::string& RssDocument(std::size_t size, bool withAuthors) {
  static const std::string small = MakeRss(kSmall, true);
  static const std::string large = MakeRss(kLarge, true);
  static const std::string largeNoAuthor = MakeRss(kLarge, false);
  if (!withAuthors) return largeNoAuthor;
  return size == kSmall ? small : large;
}

// The same list is handed in every time, as the ticker does on every reload of its feed (the
// parser builds the new items aside and the old ones are freed when it swaps them in).
void BM_ParseRss(benchmark::State& state, std::size_t size, bool withAuthors) {
  const std::string& doc = RssDocument(size, withAuthors);
  ItemList items;
  for (auto _ : state) {
    ParseRss(doc, items);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(doc.size()));
  state.counters["items"] = double(items.size() - 1);
}

// A new list every time: the first load, with every string allocated and later freed.
void BM_ParseRssFreshList(benchmark::State& state, std::size_t size, bool withAuthors) {
  const std::string& doc = RssDocument(size, withAuthors);
  for (auto _ : state) {
    ItemList items;
    ParseRss(doc, items);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(doc.size()));
}

void BM_ParseStoryList(benchmark::State& state) {
  static const std::string doc = MakeStoryList(kLarge);
  ItemList items;
  for (auto _ : state) {
    ParseStoryList(doc, items);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(doc.size()));
  state.counters["items"] = double(items.size() - 1);
}

BENCHMARK_CAPTURE(BM_ParseRss, Rss100KB, kSmall, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ParseRss, Rss10MB, kLarge, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseRss, Rss10MBNoAuthor, kLarge, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseRssFreshList, Rss10MB, kLarge, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseRssFreshList, Rss10MBNoAuthor, kLarge, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseStoryList)->Name("BM_ParseStoryList/List10MB")->Unit(benchmark::kMillisecond);

#ifdef TICKER_HAVE_PUGIXML
// The whole document parsed into a DOM with pugixml's default options (entities decoded). The
// text is copied into a buffer kept across iterations and parsed in place there: the same work
// as load_buffer, without the fresh 10 MB allocation whose page faults would make the yardstick
// swing with the allocator's state. The items are not walked: the cheap end of an XML reader.
void BM_PugixmlParse(benchmark::State& state, std::size_t size, bool withAuthors) {
  const std::string& doc = RssDocument(size, withAuthors);
  std::string buffer(doc.size(), '\0');
  for (auto _ : state) {
    std::memcpy(buffer.data(), doc.data(), doc.size());
    pugi::xml_document dom;
    const pugi::xml_parse_result result = dom.load_buffer_inplace(buffer.data(), buffer.size());
    if (!result) state.SkipWithError(result.description());
    benchmark::DoNotOptimize(dom.first_child());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(doc.size()));
}

BENCHMARK_CAPTURE(BM_PugixmlParse, Rss100KB, kSmall, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PugixmlParse, Rss10MB, kLarge, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PugixmlParse, Rss10MBNoAuthor, kLarge, false)->Unit(benchmark::kMillisecond);

// The same DOM parse followed by the walk a real XML reader would do: one NewsItem per <item>,
// in a new list each time, for comparison with BM_ParseRssFreshList.
void BM_PugixmlParseAndExtract(benchmark::State& state, std::size_t size, bool withAuthors) {
  const std::string& doc = RssDocument(size, withAuthors);
  std::string buffer(doc.size(), '\0');
  for (auto _ : state) {
    std::memcpy(buffer.data(), doc.data(), doc.size());
    pugi::xml_document dom;
    if (!dom.load_buffer_inplace(buffer.data(), buffer.size())) state.SkipWithError("failed");
    ItemList items(1);
    for (const pugi::xml_node item : dom.child("rss").child("channel").children("item")) {
      NewsItem& entry = items.emplace_back();
      entry.strTitle = item.child_value("title");
      entry.strLink = item.child_value("link");
      entry.strToolTip = std::string("Post by ") + item.child_value("author") + " on " +
                         item.child_value("pubDate");
    }
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(doc.size()));
}

BENCHMARK_CAPTURE(BM_PugixmlParseAndExtract, Rss10MB, kLarge, true)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
