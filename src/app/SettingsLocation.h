// Where the settings file lives: beside the program when its folder takes files (a copy in a
// home folder or on a stick carries its settings along), else in the user's configuration
// folder. A file beside the program is read in any case, so that an administrator can put
// defaults there; the user's own values win key by key.
#pragma once

#include <string>
#include <vector>

// What start-up finds out about the two places.
struct SettingsPlaces {
  std::string programFile;  // the settings file beside the executable
  bool programFileExists = false;
  bool programFileWritable = false;
  bool programFolderWritable = false;
  std::string userFile;  // the settings file in the user's configuration folder; "" if none
};

struct SettingsFiles {
  // The file the save writes.
  std::string writeTo;
  // The files start-up reads, the first holding a key giving its value.
  std::vector<std::string> readOrder;
};

// The decision, from the facts alone: an existing file beside the program is written when it
// is writable; a missing one is created there when the folder is writable; otherwise the
// user's file is written (beside the program still, when there is no user folder).
SettingsFiles ChooseSettingsFiles(const SettingsPlaces& places);

// Whether folder is one of the system's shared program folders (/usr/bin and the like, or the
// folder this build installs the program into), symbolic links resolved.
bool IsSharedProgramFolder(const std::string& folder);

// Looks at the file system: fileName beside the program in programFolder, and in userFolder
// (which need not exist yet; "" when the user has no configuration folder). A shared program
// folder counts as one that takes no files, even for the administrator: a settings file there
// holds defaults for every user and is only read.
SettingsPlaces FindSettingsPlaces(const std::string& programFolder, const std::string& userFolder,
                                  const std::string& fileName);

// The value of key in section from the first of files that holds the key; "" when none does.
std::string ReadSettingsKey(const std::vector<std::string>& files, const std::string& section,
                            const std::string& key);

// The folder part of a file's path ("/" for a file at the root, "." for a bare name).
std::string FolderOf(const std::string& file);

// Creates folder and the folders above it that are missing, each readable by the user alone.
// False, with the reason in why, when it cannot.
bool CreateFolders(const std::string& folder, std::string& why);
