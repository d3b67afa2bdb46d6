// The program's folder from GetModuleFileNameW.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/program/Application.h"
#include "platform/win32/WideText.h"

namespace platform {
namespace {

std::optional<std::string> appPathOverride;

}  // namespace

std::string AppPath() {
  if (appPathOverride) return *appPathOverride;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return ".";
  // The root keeps its separator ("C:\"); any other folder is given without one.
  if (separator == 2 && path[1] == L':') ++separator;
  return win32::Narrow(path.substr(0, separator));
}

void SetAppPath(const std::string& folder) {
  if (folder.empty()) {
    appPathOverride.reset();
    return;
  }
  std::string path = folder;
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  appPathOverride = path;
}

}  // namespace platform
