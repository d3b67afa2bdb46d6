// Hands a link to the system's opener for its type (the web browser for a web address).
#pragma once

#include <string>

namespace platform {

// Starts the system's opener with the link as its one argument, unchanged, without a shell
// and without waiting for it. Returns false when the opener could not be started; the
// caller may ignore it.
bool ShellOpen(const std::string& link);

}  // namespace platform
