#include "platform/services/FileSystem.h"

#include <windows.h>

#include <cwctype>
#include <string_view>

#include "platform/win32/FullPath.h"
#include "platform/win32/WideText.h"

namespace platform {
namespace {

using win32::Widen;

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesW(Widen(path).c_str()); }

// The full path with links resolved, in the form Win32 gives it; "" when it is not there.
std::wstring RealPath(const std::wstring& path) {
  HANDLE handle =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::wstring out(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(handle, out.data(), static_cast<DWORD>(out.size()), 0);
  if (length >= out.size()) {
    out.resize(length + 1);
    length = ::GetFinalPathNameByHandleW(handle, out.data(), static_cast<DWORD>(out.size()), 0);
  }
  ::CloseHandle(handle);
  out.resize(length < out.size() ? length : 0);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
  while (!out.empty() && out.back() == L'\\') out.pop_back();
  return out;
}

std::wstring EnvironmentFolder(const wchar_t* name) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

// The long form of a full path ("PROGRA~1" becomes "Program Files"); "" when it is not there.
std::wstring LongPath(const std::wstring& path) {
  std::wstring out(MAX_PATH, L'\0');
  DWORD length = ::GetLongPathNameW(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
  if (length >= out.size()) {
    out.resize(length + 1);
    length = ::GetLongPathNameW(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
  }
  out.resize(length < out.size() ? length : 0);
  return out;
}

}  // namespace

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The read-only attribute says no by itself (the administrator could open the file anyway);
// opening for writing asks the file's access rules. The file is left as it was.
bool MayWriteFile(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return false;
  }
  HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(handle);
  return true;
}

// Asked by creating a file that vanishes when closed.
bool FolderTakesNewFiles(const std::string& folder) {
  if (!IsFolder(folder)) return false;
  std::wstring probe = Widen(folder);
  if (!probe.empty() && probe.back() != L'\\' && probe.back() != L'/') probe += L'\\';
  probe += L".ticker-probe-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(::GetTickCount64());
  HANDLE handle = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(handle);
  return true;
}

bool IsSharedProgramFolder(const std::string& folder) {
  const std::wstring real = RealPath(Widen(folder));
  if (real.empty()) return false;
  for (const wchar_t* name :
       {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"}) {
    const std::wstring shared = RealPath(EnvironmentFolder(name));
    if (shared.empty()) continue;
    if (real == shared ||
        (real.size() > shared.size() && real.compare(0, shared.size(), shared) == 0 &&
         real[shared.size()] == L'\\')) {
      return true;
    }
  }
  return false;
}

// No link is followed: Windows names the ones that matter here (a program folder, the user's
// profile) by their own paths.
std::string ResolvedPath(const std::string& path) {
  std::wstring full = win32::FullPath(Widen(path));
  if (full.empty()) return path;
  std::wstring resolved = LongPath(full);
  if (resolved.empty()) {
    // A file not written yet: its folder's long form, and its own name.
    const std::size_t separator = full.find_last_of(L"\\/");
    const std::wstring folder =
        separator == std::wstring::npos ? std::wstring() : LongPath(full.substr(0, separator));
    resolved = folder.empty() ? full : folder + full.substr(separator);
  }
  // Names that differ in letter case alone name one file.
  ::CharLowerBuffW(resolved.data(), static_cast<DWORD>(resolved.size()));
  return win32::Narrow(resolved);
}

// The new folder inherits the access rules of the one above it, which in the user's profile
// already admit the user alone.
bool MakeFolder(const std::string& folder, std::string& why) {
  if (::CreateDirectoryW(Widen(folder).c_str(), nullptr)) return true;
  why = win32::ErrorText(::GetLastError());
  return false;
}

namespace win32 {

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length =
      ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    // Too long for MAX_PATH: length is the size it needs.
    full.resize(length + 1);
    length =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return {};
  full.resize(length);
  return full;
}

}  // namespace win32
}  // namespace platform
