#include "platform/Profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <utility>

#include "text/Ascii.h"

namespace platform {
namespace {

// Anything larger is not a settings file: it reads as empty and is never rewritten.
constexpr std::size_t kMaxFileSize = std::size_t{1} << 20;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

using text::IsBlank;
using text::Trim;

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && value.front() == value.back() &&
         (value.front() == '"' || value.front() == '\'');
}

std::string_view Unquote(std::string_view value) {
  return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

enum class Kind { Blank, Comment, Section, Key, Other };

// One line of the text: its kind and, as views into the text, its name and raw value.
struct Entry {
  Kind kind = Kind::Blank;
  std::string_view name;
  std::string_view value;
};

Entry ParseLine(std::string_view content) {
  const std::string_view t = Trim(content);
  if (t.empty()) return {Kind::Blank, {}, {}};
  if (t.front() == ';') return {Kind::Comment, {}, {}};
  if (t.front() == '[') {
    const std::string_view inner = t.substr(1);
    return {Kind::Section, Trim(inner.substr(0, inner.find(']'))), {}};
  }
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return {Kind::Other, t, {}};
  return {Kind::Key, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

// Where the key is, or where it would go: the one scan shared by reading and writing.
struct Location {
  bool sectionFound = false;
  bool keyFound = false;
  std::string_view rawValue;         // the key's value as written, quotes included
  std::size_t valueBegin = 0;        // offset of the value in the text
  std::size_t lineEnd = 0;           // offset of the end of the key's line, before its line break
  std::size_t insertAt = 0;          // a new key goes here: after the section's last key line
  bool insertAfterOpenLine = false;  // insertAt ends a last line that has no line break
};

// Duplicate sections are read as one; the first of duplicate keys wins, and a new key goes
// into the first of the sections.
Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  Location loc;
  std::size_t pos = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
  bool inSection = false;
  bool inFirstSection = false;
  while (pos < text.size()) {
    const std::size_t newline = text.find('\n', pos);
    const bool terminated = newline != std::string_view::npos;
    const std::size_t next = terminated ? newline + 1 : text.size();
    std::size_t end = terminated ? newline : text.size();
    if (end > pos && text[end - 1] == '\r') --end;
    const Entry entry = ParseLine(text.substr(pos, end - pos));

    if (entry.kind == Kind::Section) {
      inSection = text::EqualsNoCase(entry.name, section);
      inFirstSection = inSection && !loc.sectionFound;
      if (inFirstSection) {
        loc.sectionFound = true;
        loc.insertAt = next;
        loc.insertAfterOpenLine = !terminated;
      }
    } else if (inSection && (entry.kind == Kind::Key || entry.kind == Kind::Other)) {
      if (entry.kind == Kind::Key && text::EqualsNoCase(entry.name, key)) {
        loc.keyFound = true;
        loc.rawValue = entry.value;
        loc.valueBegin = static_cast<std::size_t>(entry.value.data() - text.data());
        loc.lineEnd = end;
        return loc;
      }
      if (inFirstSection) {
        loc.insertAt = next;
        loc.insertAfterOpenLine = !terminated;
      }
    }
    pos = next;
  }
  return loc;
}

// A file keeps the line break style of its first line; a file without one gets LF.
std::string_view LineBreakOf(std::string_view text) {
  const std::size_t newline = text.find('\n');
  return (newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r') ? "\r\n"
                                                                                         : "\n";
}

// Line breaks (and NUL, which would make the file binary) are written as blanks; a value
// that would lose its outer blanks or quotes when read back is written in double quotes.
std::string EncodeValue(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  if (!out.empty() && (IsBlank(out.front()) || IsBlank(out.back()) || IsQuoted(out))) {
    out = '"' + out + '"';
  }
  return out;
}

// Names that could split a line or read as another section or key are refused, not mended.
bool ValidSection(std::string_view name) {
  return !name.empty() && name.find_first_of(std::string_view("\r\n\0[]", 5)) == name.npos;
}

bool ValidKey(std::string_view name) {
  return !name.empty() && name.front() != ';' &&
         name.find_first_of(std::string_view("\r\n\0[]=", 6)) == name.npos;
}

std::string EditedText(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value) {
  const std::string_view eol = LineBreakOf(text);
  const Location loc = Locate(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (loc.keyFound) {
    out.append(text.substr(0, loc.valueBegin)).append(value).append(text.substr(loc.lineEnd));
  } else if (loc.sectionFound) {
    out.append(text.substr(0, loc.insertAt));
    if (loc.insertAfterOpenLine) out.append(eol);
    out.append(key).append("=").append(value);
    if (!loc.insertAfterOpenLine) out.append(eol);
    out.append(text.substr(loc.insertAt));
  } else {
    out.append(text);
    if (!text.empty() && text != kUtf8Bom && text.back() != '\n') out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
  }
  return out;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

enum class FileState { Text, Missing, Unusable };

// Why an operation failed, when the caller wants to know.
void Explain(std::string* why, std::string_view reason) {
  if (why != nullptr && why->empty()) *why = std::string(reason);
}

void ExplainErrno(std::string* why, int error) { Explain(why, std::strerror(error)); }

// The whole file when it is a readable regular file of settings size without NUL bytes.
// O_NONBLOCK keeps a FIFO named like the file from hanging the open.
FileState ReadSettingsFile(const std::string& path, std::string& text, struct stat& info,
                           std::string* why = nullptr) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileState::Missing;
    ExplainErrno(why, errno);
    return FileState::Unusable;
  }
  if (::fstat(fd.get(), &info) != 0) {
    ExplainErrno(why, errno);
    return FileState::Unusable;
  }
  if (!S_ISREG(info.st_mode)) {
    Explain(why,
            S_ISDIR(info.st_mode) ? "a folder has the settings file's name" : "not a regular file");
    return FileState::Unusable;
  }
  if (static_cast<std::size_t>(info.st_size) > kMaxFileSize) {
    Explain(why, "too large to be a settings file");
    return FileState::Unusable;
  }
  text.clear();
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ExplainErrno(why, errno);
      return FileState::Unusable;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > kMaxFileSize) {  // grew while being read
      Explain(why, "too large to be a settings file");
      return FileState::Unusable;
    }
  }
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    Explain(why, "not a text file");
    return FileState::Unusable;
  }
  return FileState::Text;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A fresh file beside the target; O_EXCL makes the name ours alone, and mode 0666 lets the
// umask decide the permissions of a new settings file.
int CreateTempFile(const std::string& folder, const std::string& name, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    tempPath = folder + "/." + name + "." + std::to_string(::getpid()) + "." +
               std::to_string(counter++) + "." + std::to_string(ticks % 1000000007);
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Writes text to a new file in folder and renames it over target, so that readers see the
// old file or the new one, never a part. oldInfo: the file replaced, whose owner and
// permission bits the new one keeps; null for a new file. noRoom: set when the folder does
// not let the new file be created (nothing was written then).
bool ReplaceFile(int folderFd, const std::string& folder, const std::string& name,
                 const std::string& target, std::string_view text, const struct stat* oldInfo,
                 bool& noRoom, std::string* why) {
  std::string tempPath;
  FileDescriptor fd(CreateTempFile(folder, name, tempPath));
  if (fd.get() < 0) {
    noRoom = errno == EACCES || errno == EPERM || errno == EROFS;
    ExplainErrno(why, errno);
    return false;
  }
  bool ok = WriteAll(fd.get(), text);
  if (ok && oldInfo != nullptr) {
    // Ownership is kept where allowed; the permission bits always.
    [[maybe_unused]] const int owned = ::fchown(fd.get(), oldInfo->st_uid, oldInfo->st_gid);
    ok = ::fchmod(fd.get(), oldInfo->st_mode & 07777) == 0;
  }
  ok = ok && ::fsync(fd.get()) == 0;
  ok = ::close(fd.release()) == 0 && ok;
  ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    ExplainErrno(why, errno);
    ::unlink(tempPath.c_str());
    return false;
  }
  if (folderFd >= 0) ::fsync(folderFd);
  return true;
}

// For a writable file in a folder that takes no new files: the file itself is rewritten,
// whole, and flushed. Not atomic: a reader at that very moment, or a crash, can find a part.
bool RewriteInPlace(const std::string& target, std::string_view text, std::string* why) {
  FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat info {};
  bool ok = fd.get() >= 0 && ::fstat(fd.get(), &info) == 0;
  if (ok && !S_ISREG(info.st_mode)) {
    Explain(why, "not a regular file");
    return false;
  }
  // Written over the old bytes first, then cut: the file is never shorter than its text.
  ok = ok && ::lseek(fd.get(), 0, SEEK_SET) == 0 && WriteAll(fd.get(), text) &&
       ::ftruncate(fd.get(), static_cast<off_t>(text.size())) == 0 && ::fsync(fd.get()) == 0;
  if (!ok) ExplainErrno(why, errno);
  if (fd.get() >= 0 && ::close(fd.release()) != 0 && ok) {
    ExplainErrno(why, errno);
    ok = false;
  }
  return ok;
}

// A writer killed between creating its temporary file and the rename leaves that file behind.
// Writers create theirs only while holding the folder lock, so whoever holds the lock knows
// that every such file left in the folder is dead.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
  const std::string prefix = "." + name + ".";
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return;
  for (const auto& entry : entries) {
    const std::string file = entry.path().filename().string();
    if (file.size() <= prefix.size() || file.compare(0, prefix.size(), prefix) != 0) continue;
    // Only our own pattern: the writer's process id, a counter and a tick count.
    const std::string rest = file.substr(prefix.size());
    if (rest.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(rest.begin(), rest.end(), '.') != 2) {
      continue;
    }
    if (entry.is_regular_file(error) && !entry.is_symlink(error)) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

}  // namespace

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty()) return std::string(defaultValue);
  const Location loc = Locate(text, section, key);
  return std::string(loc.keyFound ? Unquote(loc.rawValue) : defaultValue);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path) {
  std::string text;
  struct stat info {};
  if (ReadSettingsFile(path, text, info) != FileState::Text) return std::string(defaultValue);
  return ProfileValue(text, section, key, defaultValue);
}

std::optional<std::string> FindPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::string& path) {
  section = Trim(section);
  key = Trim(key);
  std::string text;
  struct stat info {};
  if (section.empty() || key.empty() || ReadSettingsFile(path, text, info) != FileState::Text) {
    return std::nullopt;
  }
  const Location loc = Locate(text, section, key);
  if (!loc.keyFound) return std::nullopt;
  return std::string(Unquote(loc.rawValue));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
  const ProfileEntry entry{key, value};
  return WritePrivateProfileStrings(section, std::span<const ProfileEntry>(&entry, 1), path);
}

bool WritePrivateProfileStrings(std::string_view section, std::span<const ProfileEntry> entries,
                                const std::string& path, std::string* why) {
  if (why != nullptr) why->clear();
  section = Trim(section);
  if (entries.empty() || path.empty()) {
    Explain(why, "nothing to write");
    return false;
  }
  if (!ValidSection(section)) {
    Explain(why, "invalid section name");
    return false;
  }
  for (const ProfileEntry& entry : entries) {
    if (!ValidKey(Trim(entry.key))) {
      Explain(why, "invalid key name");
      return false;
    }
  }

  // A link is followed, so that the link itself is not replaced by a file.
  std::filesystem::path target(path);
  std::error_code error;
  if (std::filesystem::is_symlink(target, error)) {
    target = std::filesystem::canonical(target, error);
    if (error) {
      Explain(why, error.message());
      return false;
    }
  }
  const std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..") {
    Explain(why, "not a file name");
    return false;
  }
  std::string folder = target.parent_path().string();
  if (folder.empty()) folder = ".";

  // Writers of this program take turns on the folder, so that two saves at the same moment
  // do not lose each other's keys; without the lock (no read access) the rename still keeps
  // the file whole.
  FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  bool locked = false;
  if (folderFd.get() >= 0) {
    int result;
    while ((result = ::flock(folderFd.get(), LOCK_EX)) != 0 && errno == EINTR) {
    }
    locked = result == 0;
  }
  if (locked) RemoveLeftovers(folder, name);

  std::string old;
  struct stat info {};
  const FileState state = ReadSettingsFile(target.string(), old, info, why);
  if (state == FileState::Unusable) return false;
  if (state == FileState::Text && ::access(target.c_str(), W_OK) != 0) {
    ExplainErrno(why, errno);
    return false;
  }

  std::string text = state == FileState::Text ? old : std::string();
  for (const ProfileEntry& entry : entries) {
    text = EditedText(text, section, Trim(entry.key), EncodeValue(entry.value));
    if (text.size() > kMaxFileSize) {
      Explain(why, "too large to be a settings file");
      return false;
    }
  }
  if (state == FileState::Text && text == old) return true;
  bool noRoom = false;
  std::string replaceWhy;
  if (ReplaceFile(folderFd.get(), folder, name, target.string(), text,
                  state == FileState::Text ? &info : nullptr, noRoom, &replaceWhy)) {
    return true;
  }
  // The folder refuses new files but the file itself may be written.
  if (noRoom && state == FileState::Text) return RewriteInPlace(target.string(), text, why);
  Explain(why, replaceWhy);
  return false;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace platform
