// The request on the worker thread: opening the connection, sending the GET and reporting the
// answer's head and body as they come.
#include "platform/win32/WinInetRequest.h"

#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/WideText.h"
#include "text/Ascii.h"

namespace platform::win32 {
namespace wininet {
namespace {

constexpr DWORD kReadChunk = 64 * 1024;
// A packed body that does not unpack (not in every SDK's wininet.h).
constexpr DWORD kDecodingFailed = 12175;

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

// The status line and headers of the answer to a request that was sent; a status of 0 when
// none could be read.
AnswerHead HeadOf(HINTERNET request) {
  AnswerHead head;
  DWORD status = 0;
  DWORD size = sizeof status;
  DWORD index = 0;
  if (::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       &index)) {
    head.status = static_cast<int>(status);
  }
  const std::string lines = QueryHeader(request, HTTP_QUERY_RAW_HEADERS_CRLF);
  // The first line is the status line.
  std::size_t start = lines.find('\n');
  while (start != std::string::npos) {
    const std::size_t end = lines.find('\n', start + 1);
    const std::string_view line = std::string_view(lines).substr(start + 1, end - start - 1);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
      head.headers.emplace_back(text::Trim(line.substr(0, colon), " \t\r"),
                                text::Trim(line.substr(colon + 1), " \t\r"));
    }
    start = end;
  }
  return head;
}

// Hands the body to the receiver as it comes, until it ends or the receiver wants no more.
FetchFailure ReadBody(FetchState& state, HINTERNET request) {
  std::string buffer(kReadChunk, '\0');
  for (;;) {
    DWORD read = 0;
    if (!::InternetReadFile(request, buffer.data(), kReadChunk, &read)) {
      return FailureOfError(::GetLastError());
    }
    if (read == 0) return FetchFailure::None;
    state.Progress();
    if (!state.Body(std::string_view(buffer.data(), read))) return FetchFailure::None;
  }
}

// Reads and drops the short body of an answer that is complete without it (a redirect), so
// that its connection is left clean; a longer body is left, and the connection with it.
void DrainBody(HINTERNET request) {
  char buffer[4096];
  for (int chunk = 0; chunk < 16; ++chunk) {
    DWORD read = 0;
    if (!::InternetReadFile(request, buffer, sizeof buffer, &read) || read == 0) return;
  }
}

// Sends the GET on a request handle and reports its answer.
FetchFailure Exchange(FetchState& state, HINTERNET handle, const std::wstring& extraHeaders) {
  BOOL decode = TRUE;
  ::InternetSetOptionW(handle, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);
  // One document every few minutes gains nothing from a kept connection, and a server that
  // closes one WinINet means to reuse makes it wait.
  const std::wstring headers = L"Accept-Encoding: gzip\r\nConnection: close\r\n" + extraHeaders;
  if (!::HttpSendRequestW(handle, headers.c_str(), static_cast<DWORD>(headers.size()), nullptr,
                          0)) {
    return FailureOfError(::GetLastError());
  }
  state.Progress();
  AnswerHead head = HeadOf(handle);
  if (head.status == 0) return FetchFailure::ProtocolError;
  switch (state.Head(std::move(head))) {
    case BodyWanted::Read:
      return ReadBody(state, handle);
    case BodyWanted::Skip:
      DrainBody(handle);
      break;
    case BodyWanted::Stop:
      break;
  }
  return FetchFailure::None;
}

// One request and its answer. WinINet does not follow redirects: the fetch does, by its own
// rules.
FetchFailure Send(FetchState& state, const Request& request) {
  UrlParts parts;
  if (!CrackUrl(request.url, parts)) return FetchFailure::MalformedUrl;
  HINTERNET connection = nullptr;
  {
    std::lock_guard lock(state.mutex);
    if (state.abandoned) return FetchFailure::Cancelled;
    connection = ::InternetConnectW(state.session, parts.host.c_str(), parts.port, nullptr, nullptr,
                                    INTERNET_SERVICE_HTTP, 0, 0);
  }
  if (connection == nullptr) return FailureOfError(::GetLastError());
  DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD |
                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
  if (parts.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  HINTERNET handle = ::HttpOpenRequestW(connection, L"GET", parts.object.c_str(), nullptr, nullptr,
                                        nullptr, flags, 0);
  const FetchFailure failure = handle == nullptr ? FailureOfError(::GetLastError())
                                                 : Exchange(state, handle, request.headers);
  state.CloseChild(handle);
  state.CloseChild(connection);
  return failure;
}

}  // namespace

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
  const FetchFailure failure = Send(*state, request);
  {
    std::lock_guard lock(state->mutex);
    state->failure = failure;
  }
  ::SetEvent(state->done);
}

}  // namespace wininet

}  // namespace platform::win32
