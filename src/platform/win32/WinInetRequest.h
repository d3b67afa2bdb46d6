// The request a download hands its worker thread, and the state the two share while it runs:
// internal to WinInetDownload.cpp and WinInetRequest.cpp.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "platform/services/Inet.h"

namespace platform::win32::wininet {

using SteadyClock = std::chrono::steady_clock;

// The scheme of an absolute URL in lower case; "" for text that does not start with one.
std::string SchemeOf(const std::string& url);

FetchFailure FailureOfError(DWORD error);

// The parts of an absolute URL as WinINet reads them, pointing into url.
struct UrlParts {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
};

bool CrackUrl(const std::wstring& url, UrlParts& parts);

// What the worker is asked to fetch.
struct Request {
  std::wstring url;
  std::wstring headers;  // extra request headers, each ending in CRLF
  std::size_t maxBytes = 0;
};

// What the worker found.
struct Answer {
  FetchFailure failure = FetchFailure::None;
  int status = 0;
  std::string body;
  std::string contentType;
  std::string etag;
  std::string lastModified;
};

// Shared by the calling thread and the worker; it lives as long as the longer of the two.
// A caller that gives up (a time limit, the program quitting) closes the session, which ends
// whatever the worker is blocked in, and leaves; the worker then only closes what is still its
// own and ends.
struct FetchState {
  FetchState() : done(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) { Progress(); }
  ~FetchState() {
    if (done != nullptr) ::CloseHandle(done);
  }
  FetchState(const FetchState&) = delete;
  FetchState& operator=(const FetchState&) = delete;

  void Progress() { lastProgress = SteadyClock::now().time_since_epoch().count(); }
  SteadyClock::time_point LastProgress() const {
    return SteadyClock::time_point(SteadyClock::duration(lastProgress.load()));
  }

  // Closes a handle the worker opened, unless the caller has closed the session (and with it
  // every handle under it) already.
  void CloseChild(HINTERNET handle) {
    if (handle == nullptr) return;
    std::lock_guard lock(mutex);
    if (!abandoned) ::InternetCloseHandle(handle);
  }

  void Abandon() {
    std::lock_guard lock(mutex);
    abandoned = true;
    if (session != nullptr) ::InternetCloseHandle(session);
    session = nullptr;
  }

  void CloseSession() {
    std::lock_guard lock(mutex);
    if (session != nullptr) ::InternetCloseHandle(session);
    session = nullptr;
  }

  HANDLE done;
  std::atomic<SteadyClock::rep> lastProgress{0};
  std::mutex mutex;
  HINTERNET session = nullptr;  // under mutex once the worker runs
  bool abandoned = false;       // under mutex
  Answer answer;                // written by the worker before done is set
};

// The worker thread: fetches request, leaves the answer in state and sets its done event.
void Work(std::shared_ptr<FetchState> state, Request request);

}  // namespace platform::win32::wininet
