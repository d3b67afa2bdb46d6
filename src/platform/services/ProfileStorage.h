// The settings file on disk, under the profile functions: reading it whole and replacing it
// whole, one implementation per kind of system (posix/, win32/). The text itself is handled
// by the shared profile code (Profile.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform::profile_storage {

// Anything larger is not a settings file: it reads as empty and is never rewritten.
inline constexpr std::size_t kMaxFileSize = std::size_t{1} << 20;

enum class FileState { Text, Missing, Unusable };

// Reads the file whole into text: Text for a readable regular file of settings size without
// NUL bytes, Missing when there is no file, Unusable otherwise (a folder, unreadable, too
// large, binary), with the reason in why when given and still empty.
FileState Read(const std::string& path, std::string& text, std::string* why = nullptr);

// Changes the text of a file. edit receives the current text ("" for a missing file) and
// changes it, or returns false to leave the file alone. Writers of this program take turns on
// the file's folder. The new text is written to a fresh file beside the old one and moved over
// it, so that readers see the old file or the new one, never a part; a writable file in a
// folder that takes no new files is rewritten in place instead, whole, and flushed. An
// unchanged text is not written. False, with the reason in why when given, when the file
// cannot be read or written or edit refused.
bool Update(const std::string& path,
            const std::function<bool(std::string& text, std::string* why)>& edit,
            std::string* why = nullptr);

// True when path names an existing regular file.
bool IsRegularFile(const std::string& path);

// The names of the temporary files writers create beside "name": the writer's process id, a
// counter and a tick count. IsTemporaryName tells only names of this pattern apart, so that
// whoever holds the folder's writer lock may remove those left by a killed writer.
std::string TemporaryName(std::string_view name, unsigned long long process, unsigned counter,
                          unsigned long long ticks);
bool IsTemporaryName(std::string_view file, std::string_view name);

// Fills why with reason when why is given and still empty.
void Explain(std::string* why, std::string_view reason);

}  // namespace platform::profile_storage
