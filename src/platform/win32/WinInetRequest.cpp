// The request on the worker thread: opening the connection, sending the GET, following
// redirects by hand and reading the body under the size cap.
#include "platform/win32/WinInetRequest.h"

#include <algorithm>
#include <utility>

#include "platform/services/HeldDocuments.h"
#include "platform/win32/Redirect.h"
#include "platform/win32/WideText.h"
#include "text/Ascii.h"

namespace platform::win32 {
namespace wininet {
namespace {

constexpr DWORD kReadChunk = 64 * 1024;
// A packed body that does not unpack (not in every SDK's wininet.h).
constexpr DWORD kDecodingFailed = 12175;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

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
      } else if (status != HeldDocuments::kNotModified) {
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

}  // namespace

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

void Work(std::shared_ptr<FetchState> state, Request request) {
  Answer answer = Fetch(*state, request);
  {
    std::lock_guard lock(state->mutex);
    state->answer = std::move(answer);
  }
  ::SetEvent(state->done);
}

}  // namespace wininet

using wininet::CrackUrl;
using wininet::SchemeOf;
using wininet::UrlParts;

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

}  // namespace platform::win32
