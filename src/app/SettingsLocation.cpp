#include "app/SettingsLocation.h"

#include <cerrno>
#include <cstring>

#include "app/modGeneral.h"
#include "platform/program/Application.h"
#include "platform/services/FileSystem.h"
#include "platform/services/Profile.h"

namespace {

// A path's separators: the platform's, and "/", which Windows takes as well.
bool IsSeparator(char c) { return c == '/' || c == platform::PathSeparator(); }

// Where a path's first folder begins: after the root ("/", "C:\") when it has one.
std::string::size_type RootLength(const std::string& path) {
  if (platform::PathSeparator() != '/' && path.size() >= 2 && path[1] == ':') {
    return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  }
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

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
  places.programFileExists = platform::PathExists(places.programFile);
  places.programFileWritable =
      places.programFileExists && platform::MayWriteFile(places.programFile);
  places.programFolderWritable = platform::FolderTakesNewFiles(programFolder);
  if (!userFolder.empty()) places.userFile = AddBackslash(userFolder) + fileName;
  if (IsSharedProgramFolder(programFolder)) {
    places.programFileWritable = false;
    places.programFolderWritable = false;
  }
  return places;
}

bool IsSharedProgramFolder(const std::string& folder) {
  return platform::IsSharedProgramFolder(folder);
}

bool CreateFolders(const std::string& folder, std::string& why) {
  if (folder.empty()) {
    why = "no folder";
    return false;
  }
  std::string::size_type end = RootLength(folder);
  while (end < folder.size()) {
    while (end < folder.size() && !IsSeparator(folder[end])) ++end;
    const std::string part = folder.substr(0, end);
    ++end;
    if (platform::IsFolder(part)) continue;
    if (platform::PathExists(part)) {
      why = part + ": " + std::strerror(ENOTDIR);
      return false;
    }
    std::string reason;
    if (!platform::MakeFolder(part, reason) && !platform::IsFolder(part)) {
      why = part + ": " + reason;
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
  std::string::size_type separator = file.size();
  while (separator > 0 && !IsSeparator(file[separator - 1])) --separator;
  if (separator == 0) return ".";
  const std::string::size_type root = RootLength(file);
  return separator <= root ? file.substr(0, root) : file.substr(0, separator - 1);
}
