#include "platform/services/HeldDocuments.h"

#include <algorithm>
#include <utility>

namespace platform {

const HeldDocument* HeldDocuments::Find(const std::string& url) const {
  const auto found = std::find_if(held_.begin(), held_.end(),
                                  [&url](const HeldDocument& h) { return h.url == url; });
  return found == held_.end() ? nullptr : &*found;
}

void HeldDocuments::Remember(const std::string& url, const std::string& etag,
                             const std::string& lastModified, const std::string& document,
                             std::chrono::steady_clock::time_point freshUntil) {
  std::erase_if(held_, [&url](const HeldDocument& h) { return h.url == url; });
  HeldDocument entry{url, etag, lastModified, document, freshUntil};
  if ((!entry.HasValidators() && freshUntil == std::chrono::steady_clock::time_point{}) ||
      document.size() > kMaxDocument) {
    return;
  }
  held_.push_front(std::move(entry));
  if (held_.size() > kMost) held_.pop_back();
}

FetchResult HeldDocuments::Reuse(const std::string& url, const std::string& etag,
                                 const std::string& lastModified,
                                 std::chrono::steady_clock::time_point freshUntil) {
  const auto found = std::find_if(held_.begin(), held_.end(),
                                  [&url](const HeldDocument& h) { return h.url == url; });
  if (found == held_.end()) return FailedFetch(FetchFailure::HttpStatus, kNotModified);
  HeldDocument entry = std::move(*found);
  held_.erase(found);
  if (!etag.empty()) entry.etag = etag;
  if (!lastModified.empty()) entry.lastModified = lastModified;
  entry.freshUntil = freshUntil;
  FetchResult result;
  result.ok = true;
  result.status = kNotModified;
  result.document = entry.document;
  held_.push_front(std::move(entry));
  return result;
}

void HeldDocuments::MakeStale(const std::string& url) {
  for (HeldDocument& held : held_) {
    if (held.url == url) held.freshUntil = {};
  }
}

}  // namespace platform
