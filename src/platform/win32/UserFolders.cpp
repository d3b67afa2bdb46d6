// The user's folders as Windows names them.
#include "platform/services/UserFolders.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include "platform/win32/WideText.h"

namespace platform {

// The roaming application data folder (%APPDATA%), where programs keep their settings.
std::string UserConfigFolder() {
  wchar_t path[MAX_PATH] = {};
  if (::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return {};
  }
  return win32::Narrow(path);
}

}  // namespace platform
