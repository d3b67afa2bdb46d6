// Before the application object exists: the window system the program asks for, and whether
// it can be reached (the toolkit itself would abort the program when it cannot).
#pragma once

#include <string>
#include <vector>

namespace platform {

// The arguments to hand to the application object: argv, plus a request for X11 (xcb) when
// the environment does not choose the toolkit's platform. The strip places itself, stays on
// top and is dragged through X11; under a Wayland session that means XWayland. The pointers
// refer to argv and to static text, and end with a null pointer. Also asks the X11 back end
// to send pixels without shared memory unless the environment says otherwise. Never fails.
std::vector<char*> ApplicationArguments(int argc, char** argv);

// Why no display can be opened for the chosen platform ("DISPLAY is not set", ...), or ""
// when it can be, or when another platform than X11 was chosen (the toolkit reports those
// itself).
std::string DisplayProblem();

}  // namespace platform
