// The download object: hands each fetch to a worker thread and waits for it while still
// dispatching the calling thread's window messages, within the time limits.
#include "platform/win32/WinInetDownload.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/services/HeldDocuments.h"
#include "platform/services/Inet.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WinInetRequest.h"

namespace platform::win32 {
namespace {

using std::chrono::milliseconds;
using wininet::Answer;
using wininet::CrackUrl;
using wininet::FailureOfError;
using wininet::FetchState;
using wininet::Request;
using wininet::SchemeOf;
using wininet::SteadyClock;
using wininet::UrlParts;
using wininet::Work;

// The calling thread's side of one fetch, on OpenURL's stack.
struct Waiting {
  bool ownerGone = false;
};

enum class WaitEnd { Done, Stalled, TookTooLong, Quit, OwnerGone };

// Dispatches the thread's messages until the worker is done or a limit or a WM_QUIT ends the
// wait. A WM_QUIT is posted again, so that the message loop it was meant for sees it too.
WaitEnd Pump(FetchState& state, const Waiting& waiting, milliseconds stall, milliseconds total,
             const WinInetDownload::Dispatcher& dispatch) {
  const SteadyClock::time_point start = SteadyClock::now();
  for (;;) {
    if (waiting.ownerGone) return WaitEnd::OwnerGone;
    if (::WaitForSingleObject(state.done, 0) == WAIT_OBJECT_0) return WaitEnd::Done;
    const SteadyClock::time_point now = SteadyClock::now();
    milliseconds wait = milliseconds(INFINITE - 1);
    if (total.count() > 0) {
      const auto left = std::chrono::duration_cast<milliseconds>(start + total - now);
      if (left.count() <= 0) return WaitEnd::TookTooLong;
      wait = std::min(wait, left);
    }
    if (stall.count() > 0) {
      const auto left =
          std::chrono::duration_cast<milliseconds>(state.LastProgress() + stall - now);
      if (left.count() <= 0) return WaitEnd::Stalled;
      wait = std::min(wait, left);
    }
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(
        1, &state.done, static_cast<DWORD>(wait.count()) + 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) return WaitEnd::Done;
    if (woke != WAIT_OBJECT_0 + 1) continue;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return WaitEnd::Quit;
      }
      if (dispatch) {
        dispatch(message);
      } else {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
      if (waiting.ownerGone) return WaitEnd::OwnerGone;
    }
  }
}

}  // namespace

struct WinInetDownload::Impl {
  Dispatcher dispatch;
  milliseconds requestTimeout = std::chrono::seconds(60);
  milliseconds totalTimeLimit = std::chrono::minutes(5);
  std::size_t maxBytes = 32 * 1024 * 1024;
  Waiting* current = nullptr;
  HeldDocuments held;
};

WinInetDownload::WinInetDownload(Dispatcher dispatch) : d(std::make_unique<Impl>()) {
  d->dispatch = std::move(dispatch);
}

WinInetDownload::~WinInetDownload() {
  if (d->current != nullptr) d->current->ownerGone = true;
}

bool WinInetDownload::StillExecuting() const { return d->current != nullptr; }

void WinInetDownload::setRequestTimeout(milliseconds stall) { d->requestTimeout = stall; }
void WinInetDownload::setTotalTimeLimit(milliseconds total) { d->totalTimeLimit = total; }
void WinInetDownload::setMaxBytes(std::size_t bytes) { d->maxBytes = bytes; }

FetchResult WinInetDownload::OpenURL(const std::string& url) {
  if (d->current != nullptr) return FailedFetch(FetchFailure::Busy);
  const std::string scheme = SchemeOf(url);
  if (scheme.empty()) return FailedFetch(FetchFailure::MalformedUrl);
  if (scheme != "http" && scheme != "https") return FailedFetch(FetchFailure::UnsupportedScheme);
  Request request;
  request.url = Widen(url);
  request.maxBytes = d->maxBytes;
  UrlParts parts;
  if (!CrackUrl(request.url, parts)) return FailedFetch(FetchFailure::MalformedUrl);

  const HeldDocument* const held = d->held.Find(url);
  // The list cannot change while this fetch waits: a second fetch is refused as busy.
  const bool askedConditionally = held != nullptr;
  if (held != nullptr) {
    if (!held->etag.empty()) request.headers += L"If-None-Match: " + Widen(held->etag) + L"\r\n";
    if (!held->lastModified.empty()) {
      request.headers += L"If-Modified-Since: " + Widen(held->lastModified) + L"\r\n";
    }
  }

  // The system's proxy settings, as Internet Options sets them.
  HINTERNET session =
      ::InternetOpenW(Widen(USER_AGENT).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) return FailedFetch(FailureOfError(::GetLastError()));
  // Blocking calls end by themselves after a stall as well; the wait below also watches.
  if (d->requestTimeout.count() > 0) {
    DWORD timeout = static_cast<DWORD>(
        std::min<long long>(d->requestTimeout.count(), static_cast<long long>(INFINITE - 1)));
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
      ::InternetSetOptionW(session, option, &timeout, sizeof timeout);
    }
  }
  BOOL decode = TRUE;
  ::InternetSetOptionW(session, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);

  auto state = std::make_shared<FetchState>();
  state->session = session;
  Waiting waiting;
  d->current = &waiting;
  std::thread worker(Work, state, std::move(request));
  const WaitEnd end = Pump(*state, waiting, d->requestTimeout, d->totalTimeLimit, d->dispatch);
  if (end != WaitEnd::Done) {
    state->Abandon();
    worker.detach();
    // Once the download is gone, d is too.
    if (end != WaitEnd::OwnerGone) d->current = nullptr;
    switch (end) {
      case WaitEnd::Stalled:
        return FailedFetch(FetchFailure::TimedOut);
      case WaitEnd::TookTooLong:
        return FailedFetch(FetchFailure::TookTooLong);
      default:
        return FailedFetch(FetchFailure::Cancelled);
    }
  }
  worker.join();
  state->CloseSession();
  d->current = nullptr;

  Answer& answer = state->answer;
  if (answer.failure != FetchFailure::None) return FailedFetch(answer.failure, answer.status);
  if (answer.status == HeldDocuments::kNotModified) {
    // Only an answer to a conditional request can mean the document already held.
    if (!askedConditionally) return FailedFetch(FetchFailure::HttpStatus, answer.status);
    return d->held.Reuse(url, answer.etag, answer.lastModified);
  }
  FetchResult result;
  result.ok = true;
  result.status = answer.status;
  result.document = DecodeDocument(std::move(answer.body), answer.contentType);
  d->held.Remember(url, answer.etag, answer.lastModified, result.document);
  return result;
}

}  // namespace platform::win32
