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
#include <memory>
#include <utility>

#include "platform/services/ProfileFile.h"

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
  return ReadSettingsText(
      static_cast<unsigned long long>(info.st_size),
      [&fd, why](char* buffer, std::size_t capacity) -> long long {
        for (;;) {
          const ssize_t n = ::read(fd.get(), buffer, capacity);
          if (n >= 0) return n;
          if (errno == EINTR) continue;
          ExplainErrno(why, errno);
          return -1;
        }
      },
      text, why);
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

// The steps on one file: the folder's descriptor carries the lock, and the read keeps the
// old file's owner and permission bits for its replacement.
class PosixProfileFile final : public ProfileFile {
 public:
  PosixProfileFile(std::string folder, std::string name, std::string target)
      : folder_(std::move(folder)),
        folderFd_(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
        name_(std::move(name)),
        target_(std::move(target)) {}

  bool lockFolder() override;
  void removeLeftovers() override;
  FileState read(std::string& text, std::string* why) override {
    const FileState state = ReadSettingsFile(target_, text, info_, why);
    existing_ = state == FileState::Text;
    return state;
  }
  bool writable(std::string* why) override {
    if (::access(target_.c_str(), W_OK) == 0) return true;
    ExplainErrno(why, errno);
    return false;
  }
  bool replace(std::string_view text, bool& noRoom, std::string* why) override;
  bool rewriteInPlace(std::string_view text, std::string* why) override;

 private:
  std::string folder_;
  FileDescriptor folderFd_;
  std::string name_;
  std::string target_;
  struct stat info_ {};
  bool existing_ = false;  // read found the file: its replacement keeps info_
};

// Without read access to the folder there is no lock.
bool PosixProfileFile::lockFolder() {
  if (folderFd_.get() < 0) return false;
  int result;
  while ((result = ::flock(folderFd_.get(), LOCK_EX)) != 0 && errno == EINTR) {
  }
  return result == 0;
}

// A writer killed between creating its temporary file and the rename leaves that file behind.
void PosixProfileFile::removeLeftovers() {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder_, error);
  if (error) return;
  for (const auto& entry : entries) {
    if (!IsTemporaryName(entry.path().filename().string(), name_)) continue;
    if (entry.is_regular_file(error) && !entry.is_symlink(error)) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

bool PosixProfileFile::replace(std::string_view text, bool& noRoom, std::string* why) {
  std::string tempPath;
  FileDescriptor fd(CreateTempFile(folder_, name_, tempPath));
  if (fd.get() < 0) {
    noRoom = errno == EACCES || errno == EPERM || errno == EROFS;
    ExplainErrno(why, errno);
    return false;
  }
  bool ok = WriteAll(fd.get(), text);
  if (ok && existing_) {
    // Ownership is kept where allowed; the permission bits always.
    [[maybe_unused]] const int owned = ::fchown(fd.get(), info_.st_uid, info_.st_gid);
    ok = ::fchmod(fd.get(), info_.st_mode & 07777) == 0;
  }
  ok = ok && ::fsync(fd.get()) == 0;
  ok = ::close(fd.release()) == 0 && ok;
  ok = ok && ::rename(tempPath.c_str(), target_.c_str()) == 0;
  if (!ok) {
    ExplainErrno(why, errno);
    ::unlink(tempPath.c_str());
    return false;
  }
  if (folderFd_.get() >= 0) ::fsync(folderFd_.get());
  return true;
}

bool PosixProfileFile::rewriteInPlace(std::string_view text, std::string* why) {
  FileDescriptor fd(::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
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

}  // namespace

std::unique_ptr<ProfileFile> ProfileFileAt(const std::string& path, std::string* why) {
  std::filesystem::path target(path);
  std::error_code error;
  if (std::filesystem::is_symlink(target, error)) {
    target = std::filesystem::canonical(target, error);
    if (error) {
      Explain(why, error.message());
      return nullptr;
    }
  }
  std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..") {
    Explain(why, "not a file name");
    return nullptr;
  }
  std::string folder = target.parent_path().string();
  if (folder.empty()) folder = ".";
  return std::make_unique<PosixProfileFile>(std::move(folder), std::move(name), target.string());
}

FileState Read(const std::string& path, std::string& text, std::string* why) {
  struct stat info {};
  return ReadSettingsFile(path, text, info, why);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace platform::profile_storage
