#include "platform/Application.h"

namespace platform {

char PathSeparator() { return '\\'; }

}  // namespace platform
