// What one system does for a change of the settings file: lock the file's folder, clear what
// killed writers left there, read, check the file may be written, replace it, or rewrite it in
// place. Update (ProfileStorage.cpp) runs these steps in their order; posix/ and win32/ each
// implement them over their own calls.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/services/ProfileStorage.h"

namespace platform::profile_storage {

// The steps for one file, for one change; it holds what the system needs between them (the
// folder's lock until destroyed, what the read found out about the old file).
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // Waits until no other writer of this program holds the file's folder, then holds it; false
  // when the folder cannot be locked (the replace still keeps the file whole then).
  virtual bool lockFolder() = 0;
  // Removes the temporary files (IsTemporaryName) left in the folder; only with the lock held.
  virtual void removeLeftovers() = 0;
  // As Read.
  virtual FileState read(std::string& text, std::string* why) = 0;
  // Whether the file that read found may be written; false, with the reason, when not.
  virtual bool writable(std::string* why) = 0;
  // Writes text to a fresh file beside the old one and moves it over it, so that readers see
  // the old file or the new one, never a part; the new file keeps the old one's owner and
  // permissions where the system keeps them apart from the folder's. noRoom: set when the
  // folder does not let the new file be created (nothing was written then).
  virtual bool replace(std::string_view text, bool& noRoom, std::string* why) = 0;
  // Writes text over the file itself, whole, and flushes it. Not atomic: a reader at that very
  // moment, or a crash, can find a part.
  virtual bool rewriteInPlace(std::string_view text, std::string* why) = 0;
};

// The steps for the file at path (a link is followed, so that the link itself is not
// replaced); null, with the reason, when path names no file.
std::unique_ptr<ProfileFile> ProfileFileAt(const std::string& path, std::string* why);

// Reads an open file of size bytes to its end through readSome (the bytes it put into buffer,
// 0 at the end, below 0 when the system failed, having explained why): Text, or Unusable when
// the file is larger than a settings file, grew past that while read, or holds a NUL byte.
FileState ReadSettingsText(
    unsigned long long size,
    const std::function<long long(char* buffer, std::size_t capacity)>& readSome, std::string& text,
    std::string* why);

}  // namespace platform::profile_storage
