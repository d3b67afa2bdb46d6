// feeddump: prints the item list that a feed leaves after parsing, one JSON object a line.
//
//   feeddump [--rss | --story] SOURCE
//
// SOURCE is an http(s):// URL, fetched as the ticker fetches it, or a file. The format is
// chosen from SOURCE as the ticker chooses it from its URL ("ticker" anywhere, in any letter
// case: story list; else RSS) unless --rss or --story forces one.
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "feed/FeedUrl.h"
#include "feed/NewsItem.h"
#include "feed/ReadFeed.h"
#include "platform/services/Inet.h"

namespace {

// Any scheme counts, so that "ftp://..." is refused as a URL rather than looked up as a file.
bool IsUrl(std::string_view source) { return source.find("://") != std::string_view::npos; }

std::string Json(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

int Usage() {
  std::cerr << "usage: feeddump [--rss | --story] SOURCE (an http(s):// URL or a file)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);

  std::optional<feed::FeedFormat> forced;
  std::string source;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--rss") {
      forced = feed::FeedFormat::Rss;
    } else if (arg == "--story") {
      forced = feed::FeedFormat::StoryList;
    } else if (arg.starts_with("--") || !source.empty()) {
      return Usage();
    } else {
      source = arg;
    }
  }
  if (source.empty()) return Usage();

  std::string document;
  if (IsUrl(source)) {
    platform::Inet inet(platform::Inet::Definition{});
    const platform::FetchResult result = inet.OpenURL(source);
    if (!result.ok) {
      std::cerr << "feeddump: " << source << ": " << result.error << "\n";
      return 1;
    }
    document = result.document;
  } else {
    std::error_code error;
    std::ifstream file;
    if (!std::filesystem::is_directory(source, error)) file.open(source, std::ios::binary);
    std::string bytes;
    if (file.is_open()) bytes.assign(std::istreambuf_iterator<char>(file), {});
    if (!file.is_open() || file.bad()) {
      std::cerr << "feeddump: " << source << ": cannot read the file\n";
      return 1;
    }
    document = platform::DecodeDocument(bytes, "");
  }

  const feed::FeedFormat format = forced.value_or(feed::FormatOfUrl(source));
  ItemList arrItems;
  feed::ParseFeed(format, document, arrItems);

  for (std::size_t i = 0; i < arrItems.size(); ++i) {
    std::cout << "{\"index\":" << i << ",\"title\":" << Json(arrItems[i].strTitle)
              << ",\"link\":" << Json(arrItems[i].strLink)
              << ",\"tooltip\":" << Json(arrItems[i].strToolTip) << "}\n";
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}
