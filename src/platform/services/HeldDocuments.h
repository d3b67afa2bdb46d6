// The documents kept to answer a 304 Not Modified: the last successful answer for a few URLs.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "platform/services/Inet.h"

namespace platform {

// The last successful answer for one URL: its validators and the document it gave.
struct HeldDocument {
  std::string url;
  std::string etag;
  std::string lastModified;
  std::string document;
};

class HeldDocuments final {
 public:
  // How many URLs are held at most (the least recently answered goes first), and the largest
  // document that is held.
  static constexpr std::size_t kMost = 4;
  static constexpr std::size_t kMaxDocument = 8 * 1024 * 1024;
  static constexpr int kNotModified = 304;

  // What is held for url, or nullptr when nothing is (the request then asks for the whole
  // document).
  const HeldDocument* Find(const std::string& url) const;

  // Keeps what a successful answer gives for url, replacing what was held for it. An answer
  // without validators cannot be asked for conditionally, and a document over kMaxDocument is
  // not kept: for either, nothing stays held for url.
  void Remember(const std::string& url, const std::string& etag, const std::string& lastModified,
                const std::string& document);

  // A 304 for url: the held document serves again, as the latest answer, with whichever fresh
  // validators the answer brought (an empty one keeps the held one). Fails with HttpStatus 304
  // when nothing is held for url.
  FetchResult Reuse(const std::string& url, const std::string& etag,
                    const std::string& lastModified);

 private:
  std::deque<HeldDocument> held_;  // most recent first
};

}  // namespace platform
