#include "platform/services/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace platform {

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MayWriteFile(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

// A new file needs both: an entry written into the folder, and the folder searched.
bool FolderTakesNewFiles(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool IsSharedProgramFolder(const std::string& folder) {
  static constexpr const char* kShared[] = {
      "/bin",
      "/sbin",
      "/usr/bin",
      "/usr/sbin",
      "/usr/local/bin",
      "/usr/local/sbin",
      "/usr/games",
      "/usr/local/games",
#ifdef TICKER_INSTALL_BINDIR
      TICKER_INSTALL_BINDIR,
#endif
  };
  char* resolved = ::realpath(folder.c_str(), nullptr);
  if (resolved == nullptr) return false;
  const std::string real = resolved;
  std::free(resolved);
  for (const char* shared : kShared) {
    char* other = ::realpath(shared, nullptr);
    if (other == nullptr) continue;
    const bool same = real == other;
    std::free(other);
    if (same) return true;
  }
  return false;
}

std::string ResolvedPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  return error ? path : resolved.string();
}

bool MakeFolder(const std::string& folder, std::string& why) {
  if (::mkdir(folder.c_str(), 0700) == 0) return true;
  why = std::strerror(errno);
  return false;
}

}  // namespace platform
