// The profile (INI) file functions: read and write one key of one section of a settings file.
// Plain C++: section and key names match without regard to case, blanks around names and
// values are ignored, a value in matching quotes is read without them, everything else in
// the file is kept byte for byte, and a write never leaves a half-written file.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// The value of key in section, whole; defaultValue when the file, section or key is missing
// or the file cannot be read (a folder, unreadable, too large).
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path);

// The value of key in section, whole; nullopt when the file, section or key is missing or
// the file cannot be read. Tells a key that is there but empty from one that is not there.
std::optional<std::string> FindPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::string& path);

// Writes the key, creating the file and the section as needed and replacing an existing
// key's value in place. Line breaks in the value are written as blanks. The new file is
// written beside the old one and renamed over it; a writable file in a folder that takes no
// new files is rewritten in place instead, whole, and flushed. Returns false on failure,
// leaving the old file untouched.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);

// One key and its value, for writing several keys of a section at once.
struct ProfileEntry {
  std::string_view key;
  std::string_view value;
};

// Writes several keys of one section as one change: the file ends up as if each key had been
// written in turn by WritePrivateProfileString (a new key goes after the ones before it), but
// it is replaced once, under the same lock, so that no reader and no other writer ever sees
// some of the keys without the others (a file rewritten in place, see above, is the
// exception for readers). Nothing is written, and false returned, when any name is refused or
// the list is empty; why, when given, then receives a short reason ("Permission denied").
bool WritePrivateProfileStrings(std::string_view section, std::span<const ProfileEntry> entries,
                                const std::string& path, std::string* why = nullptr);

// Parses profile text already in memory (the reader's core, also used by the fuzz target).
std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultValue);

// True when path names an existing regular file.
bool FileExists(const std::string& path);

}  // namespace platform
