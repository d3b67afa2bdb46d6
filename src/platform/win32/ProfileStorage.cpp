// The settings file on Windows: UTF-16 paths, a fresh file moved over the old one with
// MoveFileExW, and a named mutex per folder for writers taking turns.
#include "platform/services/ProfileStorage.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwctype>

#include "platform/win32/FullPath.h"
#include "platform/win32/WideText.h"

namespace platform::profile_storage {
namespace {

using win32::ErrorText;
using win32::Narrow;
using win32::Widen;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  bool Close() {
    const bool ok = !valid() || ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

void ExplainLastError(std::string* why) { Explain(why, ErrorText(::GetLastError())); }

bool IsMissingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

FileState ReadFileText(const std::wstring& path, std::string& text, std::string* why) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (IsMissingError(::GetLastError())) return FileState::Missing;
    ExplainLastError(why);
    return FileState::Unusable;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    Explain(why, "a folder has the settings file's name");
    return FileState::Unusable;
  }
  Handle file(::CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    if (IsMissingError(::GetLastError())) return FileState::Missing;
    ExplainLastError(why);
    return FileState::Unusable;
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    Explain(why, "not a regular file");
    return FileState::Unusable;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) {
    ExplainLastError(why);
    return FileState::Unusable;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxFileSize) {
    Explain(why, "too large to be a settings file");
    return FileState::Unusable;
  }
  text.clear();
  char buffer[16384];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
      ExplainLastError(why);
      return FileState::Unusable;
    }
    if (read == 0) break;
    text.append(buffer, read);
    if (text.size() > kMaxFileSize) {  // grew while being read
      Explain(why, "too large to be a settings file");
      return FileState::Unusable;
    }
  }
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    Explain(why, "not a text file");
    return FileState::Unusable;
  }
  return FileState::Text;
}

bool WriteAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

// Writers of this program take turns on a folder through a mutex named after the folder's
// full path: folders are not locked as files are on POSIX systems.
class FolderLock {
 public:
  explicit FolderLock(const std::wstring& folder) {
    std::wstring key = folder;
    for (wchar_t& c : key)
      c = static_cast<wchar_t>(std::towlower(c) == L'/' ? L'\\' : std::towlower(c));
    unsigned long long hash = 1469598103934665603ull;  // FNV-1a
    for (wchar_t c : key) {
      hash = (hash ^ static_cast<unsigned long long>(c)) * 1099511628211ull;
    }
    const std::wstring name = L"Local\\TickerSettingsFolder-" + std::to_wstring(hash);
    mutex_ = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex_ != nullptr) {
      const DWORD result = ::WaitForSingleObject(mutex_, INFINITE);
      // An abandoned mutex is ours now: its writer was killed and left the folder.
      locked_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
  }
  ~FolderLock() {
    if (locked_) ::ReleaseMutex(mutex_);
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool locked() const { return locked_; }

 private:
  HANDLE mutex_ = nullptr;
  bool locked_ = false;
};

void RemoveLeftovers(const std::wstring& folder, const std::string& name) {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder + L"\\." + Widen(name) + L".*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      continue;
    if (IsTemporaryName(Narrow(found.cFileName), name)) {
      ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// Moves source over target in one step. A reader that opened the target without letting it
// be deleted (as the C library's fopen does) holds it for a moment: the move is tried again
// for up to two seconds before it counts as failed.
bool MoveOver(const std::wstring& source, const std::wstring& target) {
  constexpr int kAttempts = 200;
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(source.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
        attempt == kAttempts) {
      ::SetLastError(error);
      return false;
    }
    ::Sleep(10);
  }
}

// Writes text to a new file in folder and moves it over target. noRoom: set when the folder
// does not let the new file be created (nothing was written then).
bool ReplaceFile(const std::wstring& folder, const std::string& name, const std::wstring& target,
                 std::string_view text, bool& noRoom, std::string* why) {
  static std::atomic<unsigned> counter{0};
  std::wstring tempPath;
  HANDLE created = INVALID_HANDLE_VALUE;
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
    tempPath = folder + L"\\" +
               Widen(TemporaryName(name, ::GetCurrentProcessId(), counter++, ::GetTickCount64()));
    created = ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    error = created == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
  }
  Handle file(created);
  if (!file.valid()) {
    noRoom = error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
    Explain(why, ErrorText(error));
    return false;
  }
  bool ok = WriteAll(file.get(), text) && ::FlushFileBuffers(file.get());
  ok = file.Close() && ok;
  ok = ok && MoveOver(tempPath, target);
  if (!ok) {
    ExplainLastError(why);
    ::DeleteFileW(tempPath.c_str());
    return false;
  }
  return true;
}

// For a writable file in a folder that takes no new files: the file itself is rewritten,
// whole, and flushed. Not atomic: a reader at that very moment, or a crash, can find a part.
bool RewriteInPlace(const std::wstring& target, std::string_view text, std::string* why) {
  Handle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  // Written over the old bytes first, then cut: the file is never shorter than its text.
  const bool ok = file.valid() && WriteAll(file.get(), text) && ::SetEndOfFile(file.get()) &&
                  ::FlushFileBuffers(file.get());
  if (!ok) ExplainLastError(why);
  if (!file.Close() && ok) {
    ExplainLastError(why);
    return false;
  }
  return ok;
}

}  // namespace

FileState Read(const std::string& path, std::string& text, std::string* why) {
  return ReadFileText(Widen(path), text, why);
}

bool Update(const std::string& path,
            const std::function<bool(std::string& text, std::string* why)>& edit,
            std::string* why) {
  const std::wstring full = win32::FullPath(Widen(path));
  if (full.empty()) {
    ExplainLastError(why);
    return false;
  }
  const std::size_t separator = full.find_last_of(L"\\/");
  const std::wstring nameWide = separator == std::wstring::npos ? full : full.substr(separator + 1);
  if (nameWide.empty() || nameWide == L"." || nameWide == L".." ||
      separator == std::wstring::npos) {
    Explain(why, "not a file name");
    return false;
  }
  const std::wstring folder = full.substr(0, separator);
  const std::string name = Narrow(nameWide);

  FolderLock lock(folder);
  if (lock.locked()) RemoveLeftovers(folder, name);

  std::string old;
  const FileState state = ReadFileText(full, old, why);
  if (state == FileState::Unusable) return false;
  if (state == FileState::Text) {
    // The read-only attribute says no even to whoever could open the file anyway.
    if ((::GetFileAttributesW(full.c_str()) & FILE_ATTRIBUTE_READONLY) != 0) {
      Explain(why, ErrorText(ERROR_ACCESS_DENIED));
      return false;
    }
    Handle writable(::CreateFileW(full.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writable.valid()) {
      ExplainLastError(why);
      return false;
    }
  }

  std::string text = state == FileState::Text ? old : std::string();
  if (!edit(text, why)) return false;
  if (state == FileState::Text && text == old) return true;
  bool noRoom = false;
  std::string replaceWhy;
  if (ReplaceFile(folder, name, full, text, noRoom, &replaceWhy)) return true;
  // The folder refuses new files but the file itself may be written.
  if (noRoom && state == FileState::Text) return RewriteInPlace(full, text, why);
  Explain(why, replaceWhy);
  return false;
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace platform::profile_storage
