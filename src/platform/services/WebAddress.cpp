#include "platform/services/WebAddress.h"

#include <algorithm>

#include "text/Ascii.h"

namespace platform {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A URL or reference cut into its five components; has* tell an empty one from a missing one.
struct Components {
  std::string scheme;
  bool hasAuthority = false;
  std::string authority;
  std::string path;
  bool hasQuery = false;
  std::string query;
  bool hasFragment = false;
  std::string fragment;
};

Components Split(std::string_view url) {
  Components parts;
  parts.scheme = SchemeOf(url);
  if (!parts.scheme.empty()) url.remove_prefix(parts.scheme.size() + 1);
  if (url.starts_with("//")) {
    parts.hasAuthority = true;
    const std::size_t end = url.find_first_of("/?#", 2);
    parts.authority = url.substr(2, end == std::string_view::npos ? end : end - 2);
    url.remove_prefix(std::min(url.size(), end));
  }
  if (const std::size_t hash = url.find('#'); hash != std::string_view::npos) {
    parts.hasFragment = true;
    parts.fragment = url.substr(hash + 1);
    url = url.substr(0, hash);
  }
  if (const std::size_t mark = url.find('?'); mark != std::string_view::npos) {
    parts.hasQuery = true;
    parts.query = url.substr(mark + 1);
    url = url.substr(0, mark);
  }
  parts.path = url;
  return parts;
}

// "a/b/../c/./d" becomes "a/c/d": the segments "." and ".." are steps, not names.
std::string RemoveDotSegments(std::string_view in) {
  std::string out;
  while (!in.empty()) {
    if (in.starts_with("../") || in.starts_with("./")) {
      in.remove_prefix(in.find('/') + 1);
    } else if (in.starts_with("/./") || in == "/.") {
      in = in == "/." ? std::string_view("/") : in.substr(2);
    } else if (in.starts_with("/../") || in == "/..") {
      in = in == "/.." ? std::string_view("/") : in.substr(3);
      const std::size_t slash = out.rfind('/');
      out.erase(slash == std::string::npos ? 0 : slash);
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const std::size_t next = in.find('/', 1);
      out += in.substr(0, next);
      in.remove_prefix(std::min(in.size(), next));
    }
  }
  return out;
}

std::string Join(const Components& parts) {
  std::string url = parts.scheme + ":";
  if (parts.hasAuthority) url += "//" + parts.authority;
  url += parts.path;
  if (parts.hasQuery) url += "?" + parts.query;
  if (parts.hasFragment) url += "#" + parts.fragment;
  return url;
}

}  // namespace

std::string SchemeOf(std::string_view url) {
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0 || !IsLetter(url[0])) return {};
  for (std::size_t i = 1; i < colon; ++i) {
    const char c = url[i];
    if (!IsLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return {};
  }
  return text::AsciiLowered(url.substr(0, colon));
}

std::string HostOf(std::string_view url) {
  const Components parts = Split(url);
  std::string_view host = parts.authority;
  if (const std::size_t at = host.rfind('@'); at != std::string_view::npos) {
    host.remove_prefix(at + 1);
  }
  if (host.starts_with("[")) {
    const std::size_t close = host.find(']');
    return close == std::string_view::npos ? std::string() : std::string(host.substr(0, close + 1));
  }
  return std::string(host.substr(0, host.find(':')));
}

std::string ResolveReference(std::string_view base, std::string_view reference) {
  const Components from = Split(base);
  if (from.scheme.empty()) return {};
  Components to = Split(reference);
  if (to.scheme.empty()) {
    to.scheme = from.scheme;
    if (!to.hasAuthority) {
      to.hasAuthority = from.hasAuthority;
      to.authority = from.authority;
      if (to.path.empty()) {
        to.path = from.path;
        if (!to.hasQuery) {
          to.hasQuery = from.hasQuery;
          to.query = from.query;
        }
      } else if (!to.path.starts_with('/')) {
        // Merged with the base's folder: everything up to its last slash.
        const std::size_t slash = from.path.rfind('/');
        to.path = slash == std::string::npos ? (from.hasAuthority ? "/" + to.path : to.path)
                                             : from.path.substr(0, slash + 1) + to.path;
      }
    }
  }
  to.path = RemoveDotSegments(to.path);
  return Join(to);
}

}  // namespace platform
