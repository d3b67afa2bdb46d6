#include "platform/win32/WinInetDownload.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/Inet.h"
#include "platform/win32/Redirect.h"
#include "platform/win32/WideText.h"
#include "text/Ascii.h"

namespace platform::win32 {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr DWORD kReadChunk = 64 * 1024;
// Documents kept to answer a 304 Not Modified: the last few URLs, none larger than this.
constexpr std::size_t kHeldDocuments = 4;
constexpr std::size_t kMaxHeldDocument = 8 * 1024 * 1024;
constexpr int kNotModified = 304;
// A packed body that does not unpack (not in every SDK's wininet.h).
constexpr DWORD kDecodingFailed = 12175;

FetchResult Failure(FetchFailure failure, int status = 0) {
  FetchResult result;
  result.failure = failure;
  result.error = FailureText(failure, status);
  result.status = status;
  return result;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The scheme of an absolute URL in lower case; "" for text that does not start with one.
std::string SchemeOf(const std::string& url) {
  const std::size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0 || !IsLetter(url[0])) return {};
  for (std::size_t i = 1; i < colon; ++i) {
    const char c = url[i];
    if (!IsLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
      return {};
    }
  }
  return text::AsciiLowered(url.substr(0, colon));
}

FetchFailure FailureOfError(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
      return FetchFailure::ConnectionRefused;
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_INTERNET_FORCE_RETRY:
      return FetchFailure::ConnectionClosed;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return FetchFailure::HostNotFound;
    case ERROR_INTERNET_DISCONNECTED:
    case ERROR_INTERNET_NO_DIRECT_ACCESS:
      return FetchFailure::NoConnection;
    case ERROR_INTERNET_TIMEOUT:
      return FetchFailure::TimedOut;
    case ERROR_INTERNET_OPERATION_CANCELLED:
      return FetchFailure::Cancelled;
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT:
      return FetchFailure::TlsHandshakeFailed;
    case ERROR_INTERNET_PROXY_SERVER_UNREACHABLE:
    case ERROR_INTERNET_BAD_AUTO_PROXY_SCRIPT:
    case ERROR_INTERNET_UNABLE_TO_DOWNLOAD_SCRIPT:
      return FetchFailure::ProxyFailed;
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
      return FetchFailure::UnsupportedScheme;
    case ERROR_INTERNET_INVALID_URL:
      return FetchFailure::MalformedUrl;
    case kDecodingFailed:
      return FetchFailure::BadContent;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
    case ERROR_HTTP_HEADER_NOT_FOUND:
    case ERROR_HTTP_INVALID_HEADER:
      return FetchFailure::ProtocolError;
    default:
      return FetchFailure::DownloadFailed;
  }
}

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

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

std::string QueryHeader(HINTERNET request, DWORD what) {
  std::wstring value(256, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    DWORD index = 0;
    if (::HttpQueryInfoW(request, what, value.data(), &bytes, &index)) {
      value.resize(bytes / sizeof(wchar_t));
      return Narrow(value);
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
  }
  return {};
}

// The parts of an absolute URL as WinINet reads them, pointing into url.
struct UrlParts {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
};

bool CrackUrl(const std::wstring& url, UrlParts& parts) {
  URL_COMPONENTSW components{};
  components.dwStructSize = sizeof components;
  components.dwSchemeLength = 1;
  components.dwHostNameLength = 1;
  components.dwUrlPathLength = 1;
  components.dwExtraInfoLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) {
    return false;
  }
  parts.scheme = components.nScheme;
  parts.host.assign(components.lpszHostName != nullptr ? components.lpszHostName : L"",
                    components.dwHostNameLength);
  parts.port = components.nPort;
  parts.object.assign(components.lpszUrlPath != nullptr ? components.lpszUrlPath : L"",
                      components.dwUrlPathLength);
  if (components.lpszExtraInfo != nullptr) {
    parts.object.append(components.lpszExtraInfo, components.dwExtraInfoLength);
  }
  if (parts.object.empty() || parts.object.front() != L'/') parts.object.insert(0, L"/");
  return !parts.host.empty();
}

constexpr std::size_t kUnknownLength = static_cast<std::size_t>(-1);

// Reads the body up to the cap; false with the failure in answer otherwise. A body that ends
// before its announced length (kUnknownLength: none) was cut off: WinINet may report that
// as a plain end.
bool ReadBody(FetchState& state, HINTERNET request, std::size_t maxBytes, std::size_t announced,
              Answer& answer) {
  std::string buffer(kReadChunk, '\0');
  for (;;) {
    // A body longer than its announced length ends there: the surplus is no part of it.
    if (announced != kUnknownLength && answer.body.size() >= announced) return true;
    const std::size_t room = maxBytes - answer.body.size();
    // Reading one byte past the cap is what tells "exactly at the cap" from "over it".
    std::size_t want = std::min<std::size_t>(kReadChunk, room + 1);
    if (announced != kUnknownLength) want = std::min(want, announced - answer.body.size());
    DWORD read = 0;
    if (!::InternetReadFile(request, buffer.data(), static_cast<DWORD>(want), &read)) {
      answer.failure = FailureOfError(::GetLastError());
      return false;
    }
    if (read == 0) {
      if (announced == kUnknownLength || answer.body.size() >= announced) return true;
      answer.failure = FetchFailure::ConnectionClosed;
      return false;
    }
    state.Progress();
    if (read > room) {
      answer.failure = FetchFailure::TooLarge;
      return false;
    }
    answer.body.append(buffer.data(), read);
  }
}

// Reads and drops the short body of a redirect, so that its connection is left clean for the
// next request; a body longer than a redirect's is left, and the connection with it.
void DrainBody(HINTERNET request) {
  char buffer[4096];
  for (int chunk = 0; chunk < 16; ++chunk) {
    DWORD read = 0;
    if (!::InternetReadFile(request, buffer, sizeof buffer, &read) || read == 0) return;
  }
}

// One request and its answer, following redirects by hand: WinINet's own following would
// take an https page to http.
Answer Fetch(FetchState& state, const Request& request) {
  Answer answer;
  std::wstring url = request.url;
  for (int redirects = 0;; ++redirects) {
    UrlParts parts;
    if (!CrackUrl(url, parts)) {
      answer.failure = redirects == 0 ? FetchFailure::MalformedUrl : FetchFailure::BadRedirect;
      return answer;
    }
    if (parts.scheme != INTERNET_SCHEME_HTTP && parts.scheme != INTERNET_SCHEME_HTTPS) {
      answer.failure = FetchFailure::UnsupportedScheme;
      return answer;
    }
    const bool secure = parts.scheme == INTERNET_SCHEME_HTTPS;

    HINTERNET connection = nullptr;
    {
      std::lock_guard lock(state.mutex);
      if (state.abandoned) return answer;
      connection = ::InternetConnectW(state.session, parts.host.c_str(), parts.port, nullptr,
                                      nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    }
    if (connection == nullptr) {
      answer.failure = FailureOfError(::GetLastError());
      return answer;
    }
    DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD |
                  INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
    if (secure) flags |= INTERNET_FLAG_SECURE;
    HINTERNET handle = ::HttpOpenRequestW(connection, L"GET", parts.object.c_str(), nullptr,
                                          nullptr, nullptr, flags, 0);
    if (handle == nullptr) {
      answer.failure = FailureOfError(::GetLastError());
      state.CloseChild(connection);
      return answer;
    }
    BOOL decode = TRUE;
    ::InternetSetOptionW(handle, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);
    // One document every few minutes gains nothing from a kept connection, and a server that
    // closes one WinINet means to reuse makes it wait.
    const std::wstring headers =
        L"Accept-Encoding: gzip\r\nConnection: close\r\n" + request.headers;
    const bool sent =
        ::HttpSendRequestW(handle, headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0);
    const DWORD sendError = sent ? ERROR_SUCCESS : ::GetLastError();
    state.Progress();
    DWORD status = 0;
    DWORD size = sizeof status;
    DWORD index = 0;
    if (sent && !::HttpQueryInfoW(handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                  &size, &index)) {
      status = 0;
    }
    if (!sent || status == 0) {
      answer.failure = sent ? FetchFailure::ProtocolError : FailureOfError(sendError);
    } else if (IsRedirect(status)) {
      answer.status = static_cast<int>(status);
      DrainBody(handle);
      const Redirect next =
          FollowRedirect(url, Widen(QueryHeader(handle, HTTP_QUERY_LOCATION)), redirects);
      answer.failure = next.failure;
      url = next.url;
      state.CloseChild(handle);
      state.CloseChild(connection);
      if (answer.failure != FetchFailure::None) return answer;
      continue;
    } else {
      answer.status = static_cast<int>(status);
      if (status >= 400) {
        answer.failure = FetchFailure::HttpStatus;
      } else if (status != kNotModified) {
        answer.contentType = QueryHeader(handle, HTTP_QUERY_CONTENT_TYPE);
        answer.etag = QueryHeader(handle, HTTP_QUERY_ETAG);
        answer.lastModified = QueryHeader(handle, HTTP_QUERY_LAST_MODIFIED);
        // The length of a packed body is not the document's: that one is only counted.
        const std::string encoding =
            text::AsciiLowered(text::Trim(QueryHeader(handle, HTTP_QUERY_CONTENT_ENCODING)));
        const std::string length = QueryHeader(handle, HTTP_QUERY_CONTENT_LENGTH);
        const bool packed = !encoding.empty() && encoding != "identity";
        std::size_t announced = kUnknownLength;
        if (!packed && !length.empty() && length.size() <= 15 &&
            length.find_first_not_of("0123456789") == std::string::npos) {
          announced = static_cast<std::size_t>(std::stoull(length));
        }
        if (!packed && !length.empty() && (length.size() > 15 || announced > request.maxBytes)) {
          answer.failure = FetchFailure::TooLarge;
        } else {
          ReadBody(state, handle, request.maxBytes, announced, answer);
        }
      } else {
        answer.etag = QueryHeader(handle, HTTP_QUERY_ETAG);
        answer.lastModified = QueryHeader(handle, HTTP_QUERY_LAST_MODIFIED);
      }
    }
    state.CloseChild(handle);
    state.CloseChild(connection);
    return answer;
  }
}

void Work(std::shared_ptr<FetchState> state, Request request) {
  Answer answer = Fetch(*state, request);
  {
    std::lock_guard lock(state->mutex);
    state->answer = std::move(answer);
  }
  ::SetEvent(state->done);
}

// The last successful answer for one URL: its validators and the document it gave.
struct HeldDocument {
  std::string url;
  std::string etag;
  std::string lastModified;
  std::string document;
};

// The calling thread's side of one fetch, on OpenURL's stack.
struct Waiting {
  bool ownerGone = false;
};

enum class WaitEnd { Done, Stalled, TookTooLong, Quit, OwnerGone };

// Dispatches the thread's messages until the worker is done or a limit or a WM_QUIT ends the
// wait. A WM_QUIT is posted again, so that the message loop it was meant for sees it too.
WaitEnd Pump(FetchState& state, const Waiting& waiting, milliseconds stall, milliseconds total) {
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
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
      if (waiting.ownerGone) return WaitEnd::OwnerGone;
    }
  }
}

}  // namespace

Redirect FollowRedirect(const std::wstring& from, const std::wstring& location, int followed) {
  Redirect next;
  if (location.empty()) {
    next.failure = FetchFailure::BadRedirect;
    return next;
  }
  if (followed >= kMaxRedirects) {
    next.failure = FetchFailure::TooManyRedirects;
    return next;
  }
  std::wstring resolved(INTERNET_MAX_URL_LENGTH, L'\0');
  const auto isWeb = [](const std::wstring& url) {
    const std::string scheme = SchemeOf(Narrow(url));
    return scheme == "http" || scheme == "https";
  };
  DWORD size = static_cast<DWORD>(resolved.size());
  UrlParts target;
  if (!::InternetCombineUrlW(from.c_str(), location.c_str(), resolved.data(), &size,
                             ICU_NO_ENCODE)) {
    next.failure = FetchFailure::BadRedirect;
    return next;
  }
  resolved.resize(size);
  UrlParts source;
  if (!isWeb(resolved)) {
    next.failure = FetchFailure::UnsupportedScheme;
  } else if (!CrackUrl(resolved, target) || !CrackUrl(from, source)) {
    next.failure = FetchFailure::BadRedirect;
  } else if (source.scheme == INTERNET_SCHEME_HTTPS && target.scheme == INTERNET_SCHEME_HTTP) {
    next.failure = FetchFailure::InsecureRedirect;
  } else {
    next.url = std::move(resolved);
  }
  return next;
}

struct WinInetDownload::Impl {
  milliseconds requestTimeout = std::chrono::seconds(60);
  milliseconds totalTimeLimit = std::chrono::minutes(5);
  std::size_t maxBytes = 32 * 1024 * 1024;
  Waiting* current = nullptr;
  std::deque<HeldDocument> held;  // most recent first

  HeldDocument* Held(const std::string& url) {
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&url](const HeldDocument& h) { return h.url == url; });
    return found == held.end() ? nullptr : &*found;
  }

  // Keeps what a successful answer gives for url; an answer without validators cannot be
  // asked for conditionally, so nothing is kept for it.
  void Remember(const std::string& url, const Answer& answer, const std::string& document) {
    std::erase_if(held, [&url](const HeldDocument& h) { return h.url == url; });
    if ((answer.etag.empty() && answer.lastModified.empty()) ||
        document.size() > kMaxHeldDocument) {
      return;
    }
    held.push_front(HeldDocument{url, answer.etag, answer.lastModified, document});
    if (held.size() > kHeldDocuments) held.pop_back();
  }

  // A 304 for url: the held document serves again, as the latest answer, with any fresh
  // validators the answer brought.
  FetchResult Reuse(const std::string& url, const Answer& answer) {
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&url](const HeldDocument& h) { return h.url == url; });
    HeldDocument entry = std::move(*found);
    held.erase(found);
    if (!answer.etag.empty()) entry.etag = answer.etag;
    if (!answer.lastModified.empty()) entry.lastModified = answer.lastModified;
    FetchResult result;
    result.ok = true;
    result.status = kNotModified;
    result.document = entry.document;
    held.push_front(std::move(entry));
    return result;
  }
};

WinInetDownload::WinInetDownload() : d(std::make_unique<Impl>()) {}

WinInetDownload::~WinInetDownload() {
  if (d->current != nullptr) d->current->ownerGone = true;
}

bool WinInetDownload::StillExecuting() const { return d->current != nullptr; }

void WinInetDownload::setRequestTimeout(milliseconds stall) { d->requestTimeout = stall; }
void WinInetDownload::setTotalTimeLimit(milliseconds total) { d->totalTimeLimit = total; }
void WinInetDownload::setMaxBytes(std::size_t bytes) { d->maxBytes = bytes; }

FetchResult WinInetDownload::OpenURL(const std::string& url) {
  if (d->current != nullptr) return Failure(FetchFailure::Busy);
  const std::string scheme = SchemeOf(url);
  if (scheme.empty()) return Failure(FetchFailure::MalformedUrl);
  if (scheme != "http" && scheme != "https") return Failure(FetchFailure::UnsupportedScheme);
  Request request;
  request.url = Widen(url);
  request.maxBytes = d->maxBytes;
  UrlParts parts;
  if (!CrackUrl(request.url, parts)) return Failure(FetchFailure::MalformedUrl);

  const HeldDocument* const held = d->Held(url);
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
  if (session == nullptr) return Failure(FailureOfError(::GetLastError()));
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
  const WaitEnd end = Pump(*state, waiting, d->requestTimeout, d->totalTimeLimit);
  if (end != WaitEnd::Done) {
    state->Abandon();
    worker.detach();
    // Once the download is gone, d is too.
    if (end != WaitEnd::OwnerGone) d->current = nullptr;
    switch (end) {
      case WaitEnd::Stalled:
        return Failure(FetchFailure::TimedOut);
      case WaitEnd::TookTooLong:
        return Failure(FetchFailure::TookTooLong);
      default:
        return Failure(FetchFailure::Cancelled);
    }
  }
  worker.join();
  state->CloseSession();
  d->current = nullptr;

  Answer& answer = state->answer;
  if (answer.failure != FetchFailure::None) return Failure(answer.failure, answer.status);
  if (answer.status == kNotModified) {
    // Only an answer to a conditional request can mean the document already held.
    if (!askedConditionally) return Failure(FetchFailure::HttpStatus, answer.status);
    return d->Reuse(url, answer);
  }
  FetchResult result;
  result.ok = true;
  result.status = answer.status;
  result.document = DecodeDocument(std::move(answer.body), answer.contentType);
  d->Remember(url, answer, result.document);
  return result;
}

}  // namespace platform::win32
