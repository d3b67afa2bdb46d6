// Hands a link to the system's opener for its type (the web browser for a web address).
#pragma once

#include <string>

namespace platform {

// Starts the system's opener (xdg-open) with the link as its one argument, unchanged, without
// a shell and without waiting for it. Returns false when the opener could not be started (not
// installed, not executable); a link the opener then fails to open is not reported.
bool ShellOpen(const std::string& link);

}  // namespace platform
