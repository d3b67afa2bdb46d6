// What the settings-file code asks the file system: what is where, who may write it, and new
// folders. Paths are UTF-8.
#pragma once

#include <string>

namespace platform {

// True when anything is at path (a file, a folder, a link even if it leads nowhere).
bool PathExists(const std::string& path);

// True when path names an existing folder.
bool IsFolder(const std::string& path);

// True when the user may write the existing file at path; false when it is not there.
bool MayWriteFile(const std::string& path);

// True when the user may create new files in the existing folder; false when it is not there.
bool FolderTakesNewFiles(const std::string& folder);

// Whether folder is, or lies in, one of the system's shared program folders (/usr/bin and
// the like; the Program Files folders on Windows), links resolved; false when it is not there.
bool IsSharedProgramFolder(const std::string& folder);

// The path by which the system knows what path names, for telling two paths to one file
// apart from paths to two files: with symbolic links resolved in the part of it that exists
// (the rest appended as it is); on Windows absolute, with long names and in lower case
// instead. path itself when none of it can be resolved.
std::string ResolvedPath(const std::string& path);

// Creates one folder, entered by the user alone where the system has such permissions. False,
// with the system's reason in why, when it cannot (an existing folder is a failure too).
bool MakeFolder(const std::string& folder, std::string& why);

}  // namespace platform
