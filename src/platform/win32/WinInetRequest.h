// The request a download hands its worker thread, and the state the two share while it runs:
// internal to WinInetDownload.cpp and WinInetRequest.cpp.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "platform/services/FetchTransport.h"
#include "platform/services/Inet.h"

namespace platform::win32::wininet {

FetchFailure FailureOfError(DWORD error);

// The parts of an absolute URL as WinINet reads them, pointing into url.
struct UrlParts {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
};

bool CrackUrl(const std::wstring& url, UrlParts& parts);

// What the worker is asked to send.
struct Request {
  std::wstring url;
  std::wstring headers;  // extra request headers, each ending in CRLF
};

// Shared by the calling thread and the worker; it lives as long as the longer of the two.
// A caller that gives up (a time limit, the program quitting) closes the session, which ends
// whatever the worker is blocked in, and leaves; the worker then only closes what is still its
// own, tells the receiver nothing more, and ends.
struct FetchState {
  FetchState(HINTERNET openSession, AnswerReceiver& answerReceiver)
      : done(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        session(openSession),
        receiver(&answerReceiver) {}
  ~FetchState() {
    if (done != nullptr) ::CloseHandle(done);
  }
  FetchState(const FetchState&) = delete;
  FetchState& operator=(const FetchState&) = delete;

  // Closes a handle the worker opened, unless the caller has closed the session (and with it
  // every handle under it) already.
  void CloseChild(HINTERNET handle) {
    if (handle == nullptr) return;
    std::lock_guard lock(mutex);
    if (!abandoned) ::InternetCloseHandle(handle);
  }

  // The receiver hears of the answer only while the caller waits for it; each call holds the
  // lock, so that once Abandon has returned none is under way.
  void Progress() {
    std::lock_guard lock(mutex);
    if (!abandoned) receiver->OnProgress();
  }
  BodyWanted Head(AnswerHead head) {
    std::lock_guard lock(mutex);
    return abandoned ? BodyWanted::Stop : receiver->OnHead(std::move(head));
  }
  bool Body(std::string_view chunk) {
    std::lock_guard lock(mutex);
    return !abandoned && receiver->OnBody(chunk);
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
  std::mutex mutex;
  HINTERNET session = nullptr;  // under mutex once the worker runs
  AnswerReceiver* receiver;     // under mutex
  bool abandoned = false;       // under mutex
  // How the request ended; written by the worker before done is set.
  FetchFailure failure = FetchFailure::None;
};

// The worker thread: sends request, reports its answer through state and sets its done event.
void Work(std::shared_ptr<FetchState> state, Request request);

}  // namespace platform::win32::wininet
