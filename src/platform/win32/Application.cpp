#include "platform/Application.h"

#include <optional>
#include <utility>

#include "platform/SessionEnd.h"
#include "platform/win32/Win32.h"

namespace platform {

namespace {

std::optional<std::string>& AppPathOverride() {
  static std::optional<std::string> folder;
  return folder;
}

bool& EndingFlag() {
  static bool ending = false;
  return ending;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:\" keeps its separator; any other folder loses its trailing ones.
void TrimSeparators(std::string& path) {
  while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == ':')) {
    path.pop_back();
  }
}

}  // namespace

std::string AppPath() {
  if (AppPathOverride()) return *AppPathOverride();
  std::wstring file(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
    if (length == 0) return {};
    if (length < file.size()) {
      file.resize(length);
      break;
    }
    file.resize(file.size() * 2);
  }
  std::string path = win32::Narrow(file);
  const std::size_t slash = path.find_last_of("\\/");
  path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  TrimSeparators(path);
  return path;
}

void SetAppPath(const std::string& folder) {
  std::string path = folder;
  TrimSeparators(path);
  AppPathOverride() = path;
}

void EndProgram() {
  EndingFlag() = true;
  // Every message loop, a message box's included, returns on WM_QUIT.
  PostQuitMessage(0);
}

bool Ending() { return EndingFlag(); }

void OnSessionEnd(std::function<void()> handler) { SetSessionEndHandler(std::move(handler)); }

void InitializeFormEngine() {
  static bool initialized = false;
  if (initialized) return;
  initialized = true;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
}

}  // namespace platform
