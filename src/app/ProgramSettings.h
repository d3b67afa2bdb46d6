// The program's own settings file, "RSS_settings.ini": where start-up finds it (beside the
// program or in the user's configuration folder), and the key of the one running copy that
// writes it.
#pragma once

#include <string>

#include "app/SettingsLocation.h"

// The files start-up reads and the one the save writes, as ChooseSettingsFiles decides from
// what the file system says now. Only looks; writes nothing.
SettingsFiles ProgramSettingsFiles();

// The running-copy key (platform/services/RunningCopy.h) of the file the save writes: two starts
// that would write one file, by whatever path, get the same key.
std::string ProgramRunningCopyKey();
