// The documents kept to answer a 304 Not Modified, or to serve while the server says they are
// fresh: the last successful answer for a few URLs.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>

#include "platform/services/Inet.h"

namespace platform {

// The last successful answer for one URL: its validators, the document it gave and until when
// that serves without asking (the steady clock's epoch when it does not).
struct HeldDocument {
  std::string url;
  std::string etag;
  std::string lastModified;
  std::string document;
  std::chrono::steady_clock::time_point freshUntil{};

  bool HasValidators() const { return !etag.empty() || !lastModified.empty(); }
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
  // neither fresh nor with validators serves no later fetch, and a document over
  // kMaxDocument is not kept: for either, nothing stays held for url.
  void Remember(const std::string& url, const std::string& etag, const std::string& lastModified,
                const std::string& document, std::chrono::steady_clock::time_point freshUntil = {});

  // A 304 for url, or a fetch while its document is fresh: the held document serves again,
  // as the latest answer, with whichever validators the answer brought (an empty one keeps the
  // held one) and fresh until freshUntil. Fails with HttpStatus 304 when nothing is held.
  FetchResult Reuse(const std::string& url, const std::string& etag,
                    const std::string& lastModified,
                    std::chrono::steady_clock::time_point freshUntil = {});

  // The document held for url, if any, serves no more without asking.
  void MakeStale(const std::string& url);

 private:
  std::deque<HeldDocument> held_;  // most recent first
};

}  // namespace platform
