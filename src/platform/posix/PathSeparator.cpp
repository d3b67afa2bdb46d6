#include "platform/program/Application.h"

namespace platform {

char PathSeparator() { return '/'; }

}  // namespace platform
