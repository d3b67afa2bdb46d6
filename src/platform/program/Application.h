// The running program: its folder and the toolkit's set-up for the form engine.
#pragma once

#include <string>

namespace platform {

// The folder that holds the program's executable, without a trailing separator unless it
// is the file system's root. Tests may set another folder with SetAppPath; an empty folder
// returns to the executable's.
std::string AppPath();
void SetAppPath(const std::string& folder);

// The platform's path separator ("/" here).
char PathSeparator();

// Loads the fonts and their substitutes; called once after the application object exists.
void InitializeFormEngine();

}  // namespace platform
