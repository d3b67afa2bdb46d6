#include "app/SettingsLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/modGeneral.h"
#include "platform/Profile.h"

SettingsFiles ChooseSettingsFiles(const SettingsPlaces& places) {
  SettingsFiles files;
  const bool besideProgram =
      places.userFile.empty() ||
      (places.programFileExists ? places.programFileWritable : places.programFolderWritable);
  files.writeTo = besideProgram ? places.programFile : places.userFile;
  files.readOrder.push_back(files.writeTo);
  if (!besideProgram) files.readOrder.push_back(places.programFile);
  return files;
}

SettingsPlaces FindSettingsPlaces(const std::string& programFolder, const std::string& userFolder,
                                  const std::string& fileName) {
  SettingsPlaces places;
  places.programFile = AddBackslash(programFolder) + fileName;
  struct stat info {};
  places.programFileExists = ::lstat(places.programFile.c_str(), &info) == 0;
  places.programFileWritable =
      places.programFileExists && ::access(places.programFile.c_str(), W_OK) == 0;
  // A new file needs both: an entry written into the folder, and the folder searched.
  places.programFolderWritable = ::access(programFolder.c_str(), W_OK | X_OK) == 0;
  if (!userFolder.empty()) places.userFile = AddBackslash(userFolder) + fileName;
  if (IsSharedProgramFolder(programFolder)) {
    places.programFileWritable = false;
    places.programFolderWritable = false;
  }
  return places;
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

bool CreateFolders(const std::string& folder, std::string& why) {
  if (folder.empty()) {
    why = "no folder";
    return false;
  }
  std::string::size_type end = 0;
  while (end != std::string::npos) {
    end = folder.find('/', end + 1);
    const std::string part = folder.substr(0, end);
    struct stat info {};
    if (::stat(part.c_str(), &info) == 0) {
      if (S_ISDIR(info.st_mode)) continue;
      why = part + ": " + std::strerror(ENOTDIR);
      return false;
    }
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      why = part + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

std::string ReadSettingsKey(const std::vector<std::string>& files, const std::string& section,
                            const std::string& key) {
  for (const std::string& file : files) {
    if (auto value = platform::FindPrivateProfileString(section, key, file)) return *value;
  }
  return {};
}

std::string FolderOf(const std::string& file) {
  const std::string::size_type slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}
