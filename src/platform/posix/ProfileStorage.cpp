// The settings file on POSIX systems: plain file descriptors, a rename over the old file, and
// flock on the folder for writers taking turns.
#include "platform/services/ProfileStorage.h"

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

namespace platform::profile_storage {
namespace {

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

void ExplainErrno(std::string* why, int error) { Explain(why, std::strerror(error)); }

// The whole file when it is a readable regular file of settings size without NUL bytes.
// O_NONBLOCK keeps a FIFO named like the file from hanging the open.
FileState ReadSettingsFile(const std::string& path, std::string& text, struct stat& info,
                           std::string* why) {
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
    tempPath = folder + "/" +
               TemporaryName(name, static_cast<unsigned long long>(::getpid()), counter++,
                             static_cast<unsigned long long>(ticks));
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
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return;
  for (const auto& entry : entries) {
    if (!IsTemporaryName(entry.path().filename().string(), name)) continue;
    if (entry.is_regular_file(error) && !entry.is_symlink(error)) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

}  // namespace

FileState Read(const std::string& path, std::string& text, std::string* why) {
  struct stat info {};
  return ReadSettingsFile(path, text, info, why);
}

bool Update(const std::string& path,
            const std::function<bool(std::string& text, std::string* why)>& edit,
            std::string* why) {
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
  if (!edit(text, why)) return false;
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

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace platform::profile_storage
