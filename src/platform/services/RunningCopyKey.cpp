#include "platform/services/RunningCopyKey.h"

#include <cstdint>
#include <vector>

#include "platform/program/Application.h"

namespace platform {

namespace {

bool IsSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::Windows && c == '\\');
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool IsShare(std::string_view path) {
  return path.size() >= 2 && IsSeparator(path[0], PathStyle::Windows) &&
         IsSeparator(path[1], PathStyle::Windows);
}

// Where the first step after a Windows path's root begins: after "X:" or after the server and
// share of "\\server\share"; 0 for a path without either.
std::size_t WindowsRootLength(std::string_view path) {
  if (HasDrive(path)) return 2;
  if (!IsShare(path)) return 0;
  std::size_t end = 2;
  for (int step = 0; step < 2; ++step) {
    while (end < path.size() && IsSeparator(path[end], PathStyle::Windows)) ++end;
    while (end < path.size() && !IsSeparator(path[end], PathStyle::Windows)) ++end;
  }
  return end;
}

// path with currentFolder in front where it lacks a root of its own. On Windows a path rooted
// without a drive ("\dir") takes currentFolder's drive or share; one with a drive but no
// separator after it ("D:dir") is relative to currentFolder on that drive, to the drive's root
// on another (where the system would take its own current folder for that drive).
std::string Absolute(std::string_view path, std::string_view currentFolder, PathStyle style) {
  const std::string sep = style == PathStyle::Windows ? "\\" : "/";
  if (style == PathStyle::Posix) {
    if (!path.empty() && path[0] == '/') return std::string(path);
    return std::string(currentFolder) + sep + std::string(path);
  }
  if (IsShare(path)) return std::string(path);
  if (HasDrive(path)) {
    if (path.size() > 2 && IsSeparator(path[2], style)) return std::string(path);
    const bool sameDrive =
        HasDrive(currentFolder) && LowerAscii(currentFolder[0]) == LowerAscii(path[0]);
    const std::string base =
        sameDrive ? std::string(currentFolder) : std::string(path.substr(0, 2));
    return base + sep + std::string(path.substr(2));
  }
  if (!path.empty() && IsSeparator(path[0], style)) {
    return std::string(currentFolder.substr(0, WindowsRootLength(currentFolder))) +
           std::string(path);
  }
  return std::string(currentFolder) + sep + std::string(path);
}

}  // namespace

PathStyle SystemPathStyle() {
  return PathSeparator() == '/' ? PathStyle::Posix : PathStyle::Windows;
}

std::string NormalisedPath(std::string_view path, std::string_view currentFolder, PathStyle style) {
  const std::string absolute = Absolute(path, currentFolder, style);
  const std::string_view whole = absolute;
  const std::size_t rootLength = style == PathStyle::Windows ? WindowsRootLength(whole) : 0;
  const char sep = style == PathStyle::Windows ? '\\' : '/';

  std::string result;
  if (style == PathStyle::Windows && IsShare(whole)) {
    // "\\server\share": the two steps of the root keep one separator between them.
    result = std::string(2, sep);
    std::size_t at = 2;
    for (int step = 0; step < 2 && at < rootLength; ++step) {
      while (at < rootLength && IsSeparator(whole[at], style)) ++at;
      const std::size_t begin = at;
      while (at < rootLength && !IsSeparator(whole[at], style)) ++at;
      if (step == 1) result += sep;
      result.append(whole.substr(begin, at - begin));
    }
  } else {
    result = std::string(whole.substr(0, rootLength));
  }

  std::vector<std::string_view> steps;
  std::size_t at = rootLength;
  while (at < whole.size()) {
    while (at < whole.size() && IsSeparator(whole[at], style)) ++at;
    const std::size_t begin = at;
    while (at < whole.size() && !IsSeparator(whole[at], style)) ++at;
    const std::string_view step = whole.substr(begin, at - begin);
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
      continue;
    }
    steps.push_back(step);
  }
  result += sep;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) result += sep;
    result.append(steps[i]);
  }
  if (style == PathStyle::Windows) {
    for (char& c : result) c = LowerAscii(c);
  }
  return result;
}

std::string RunningCopyKey(std::string_view normalisedPath) {
  // FNV-1a: a stable 64-bit digest; a path long enough to need more than a name can hold
  // still gives a short one.
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : normalisedPath) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string key = "ticker-";
  for (int shift = 60; shift >= 0; shift -= 4) key += kDigits[(hash >> shift) & 0xF];
  return key;
}

}  // namespace platform
