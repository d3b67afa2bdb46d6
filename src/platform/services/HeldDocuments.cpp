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
                             const std::string& lastModified, const std::string& document) {
  std::erase_if(held_, [&url](const HeldDocument& h) { return h.url == url; });
  if ((etag.empty() && lastModified.empty()) || document.size() > kMaxDocument) return;
  held_.push_front(HeldDocument{url, etag, lastModified, document});
  if (held_.size() > kMost) held_.pop_back();
}

FetchResult HeldDocuments::Reuse(const std::string& url, const std::string& etag,
                                 const std::string& lastModified) {
  const auto found = std::find_if(held_.begin(), held_.end(),
                                  [&url](const HeldDocument& h) { return h.url == url; });
  if (found == held_.end()) return FailedFetch(FetchFailure::HttpStatus, kNotModified);
  HeldDocument entry = std::move(*found);
  held_.erase(found);
  if (!etag.empty()) entry.etag = etag;
  if (!lastModified.empty()) entry.lastModified = lastModified;
  FetchResult result;
  result.ok = true;
  result.status = kNotModified;
  result.document = entry.document;
  held_.push_front(std::move(entry));
  return result;
}

}  // namespace platform
