// The user's own folders, as the desktop names them.
#pragma once

#include <string>

namespace platform {

// The user's configuration folder ($XDG_CONFIG_HOME, else .config in the home folder),
// whether it exists yet or not; "" when the system names none.
std::string UserConfigFolder();

}  // namespace platform
