// How the program names itself to the desktop.
#pragma once

#include <string>

namespace platform {

// Sets the application name (the class in every window's WM_CLASS, which the desktop entry's
// StartupWMClass repeats), the organisation domain and the desktop entry's id, and gives every
// window without an icon of its own the program's icon. No application display name: on X11
// the toolkit would append it to every window title. Called once, after the application
// object exists and before the first window. Never fails; an icon size missing from the
// program's resources is left out.
void SetProgramIdentity(const std::string& applicationName, const std::string& domain,
                        const std::string& desktopId);

}  // namespace platform
