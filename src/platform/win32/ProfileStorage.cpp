// The settings file on Windows: UTF-16 paths, a fresh file moved over the old one with
// MoveFileExW, and a named mutex per folder for writers taking turns.
#include "platform/services/ProfileStorage.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <memory>
#include <utility>

#include "platform/services/ProfileFile.h"
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
  return ReadSettingsText(
      static_cast<unsigned long long>(size.QuadPart),
      [&file, why](char* buffer, std::size_t capacity) -> long long {
        DWORD read = 0;
        if (::ReadFile(file.get(), buffer, static_cast<DWORD>(capacity), &read, nullptr))
          return read;
        ExplainLastError(why);
        return -1;
      },
      text, why);
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

// The steps on one file: a named mutex is the folder's lock.
class Win32ProfileFile final : public ProfileFile {
 public:
  Win32ProfileFile(std::wstring folder, std::string name, std::wstring full)
      : folder_(std::move(folder)), name_(std::move(name)), full_(std::move(full)) {}

  bool lockFolder() override {
    lock_ = std::make_unique<FolderLock>(folder_);
    return lock_->locked();
  }
  void removeLeftovers() override;
  FileState read(std::string& text, std::string* why) override {
    return ReadFileText(full_, text, why);
  }
  bool writable(std::string* why) override;
  bool replace(std::string_view text, bool& noRoom, std::string* why) override;
  bool rewriteInPlace(std::string_view text, std::string* why) override;

 private:
  std::wstring folder_;
  std::string name_;
  std::wstring full_;
  std::unique_ptr<FolderLock> lock_;
};

void Win32ProfileFile::removeLeftovers() {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder_ + L"\\." + Widen(name_) + L".*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      continue;
    if (IsTemporaryName(Narrow(found.cFileName), name_)) {
      ::DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

bool Win32ProfileFile::writable(std::string* why) {
  // The read-only attribute says no even to whoever could open the file anyway.
  if ((::GetFileAttributesW(full_.c_str()) & FILE_ATTRIBUTE_READONLY) != 0) {
    Explain(why, ErrorText(ERROR_ACCESS_DENIED));
    return false;
  }
  Handle writable(::CreateFileW(full_.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (writable.valid()) return true;
  ExplainLastError(why);
  return false;
}

bool Win32ProfileFile::replace(std::string_view text, bool& noRoom, std::string* why) {
  static std::atomic<unsigned> counter{0};
  std::wstring tempPath;
  HANDLE created = INVALID_HANDLE_VALUE;
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
    tempPath = folder_ + L"\\" +
               Widen(TemporaryName(name_, ::GetCurrentProcessId(), counter++, ::GetTickCount64()));
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
  ok = ok && MoveOver(tempPath, full_);
  if (!ok) {
    ExplainLastError(why);
    ::DeleteFileW(tempPath.c_str());
    return false;
  }
  return true;
}

bool Win32ProfileFile::rewriteInPlace(std::string_view text, std::string* why) {
  Handle file(::CreateFileW(full_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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

std::unique_ptr<ProfileFile> ProfileFileAt(const std::string& path, std::string* why) {
  std::wstring full = win32::FullPath(Widen(path));
  if (full.empty()) {
    ExplainLastError(why);
    return nullptr;
  }
  const std::size_t separator = full.find_last_of(L"\\/");
  const std::wstring name = separator == std::wstring::npos ? full : full.substr(separator + 1);
  if (name.empty() || name == L"." || name == L".." || separator == std::wstring::npos) {
    Explain(why, "not a file name");
    return nullptr;
  }
  std::wstring folder = full.substr(0, separator);
  return std::make_unique<Win32ProfileFile>(std::move(folder), Narrow(name), std::move(full));
}

FileState Read(const std::string& path, std::string& text, std::string* why) {
  return ReadFileText(Widen(path), text, why);
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace platform::profile_storage
