// The running program: its folder, whether it is ending, and the form engine's set-up.
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

// True once the program has been ended (Session::EndProgram of the system's services, see
// platform/services/SystemServices.h): forms no longer show. False when no application object
// exists.
bool Ending();

// Loads the fonts and their substitutes; called once after the application object exists.
void InitializeFormEngine();

}  // namespace platform
